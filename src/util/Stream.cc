#include <hvc_util/Stream.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace hvc_util {

const char* const Stream::className = "hvc_util::Stream";

namespace {

char* allocate(std::size_t n) {
    char* p = static_cast<char*>(std::malloc(n));
    if (!p)
        throw std::bad_alloc();
    return p;
}

unsigned int checkedBytes(std::uint64_t bytes) {
    if (bytes > UINT_MAX)
        throw std::bad_alloc();
    return static_cast<unsigned int>(bytes);
}

} // namespace

Stream::Stream(unsigned int size, char* buffer, bool copy, bool filled) {
    setBuffer(size, buffer, copy, filled);
}

Stream::Stream(Stream& other, bool copy) {
    assign(other, copy);
}

Stream::Stream(const Stream& other) {
    copyFrom(other);
}

Stream::~Stream() {
    reset(true);
}

void Stream::setBuffer(unsigned int size, char* buffer, bool copy, bool filled) {
    char* p = nullptr;
    if (size != 0) {
        if (!buffer) {
            // Bytes that count as data are zeroed rather than left undefined.
            p = static_cast<char*>(filled ? std::calloc(size, 1) : std::malloc(size));
            if (!p)
                throw std::bad_alloc();
        } else if (copy) {
            p = allocate(size);
            std::memcpy(p, buffer, size);
        } else {
            p = buffer;
        }
    }
    // The new buffer is complete before the old one goes, so a stream may be
    // given a copy of its own bytes.
    if (p != start)
        reset(true);
    start = p;
    end = p ? p + size : nullptr;
    readPos = start;
    writePos = filled ? end : start;
    failed = false;
}

void Stream::copyFrom(const Stream& other) {
    if (&other == this)
        return;
    unsigned int capacity = other.getSize();
    char* p = nullptr;
    if (capacity != 0) {
        p = allocate(capacity);
        std::memcpy(p, other.start, other.tellWrite());
    }
    unsigned int written = other.tellWrite();
    unsigned int read = other.getRead();
    reset(true);
    start = p;
    end = p ? p + capacity : nullptr;
    writePos = p ? p + written : nullptr;
    readPos = p ? p + read : nullptr;
    failed = false;
}

Stream& Stream::assign(Stream& other, bool copy) {
    if (&other == this) {
        failed = false;
        return *this;
    }
    if (copy) {
        copyFrom(other);
    } else {
        reset(true);
        start = other.start;
        end = other.end;
        writePos = other.writePos;
        readPos = other.readPos;
        other.null();
    }
    failed = false;
    return *this;
}

Stream& Stream::operator=(const Stream& other) {
    copyFrom(other);
    failed = false;
    return *this;
}

char* Stream::getBuffer(bool release) {
    char* p = start;
    if (release)
        null();
    return p;
}

void Stream::null() {
    start = end = writePos = readPos = nullptr;
    failed = false;
}

void Stream::reset(bool release) {
    if (release) {
        std::free(start);
        start = nullptr;
    }
    failed = false;
    readPos = writePos = end = start;
}

void Stream::resize(unsigned int k) {
    std::uint64_t capacity = getSize();
    std::uint64_t c = capacity < 4 ? 4 : capacity;
    while (k > c - capacity)
        c *= 2;
    checkedBytes(c);
    std::size_t written = tellWrite();
    std::size_t read = getRead();
    char* p = static_cast<char*>(std::realloc(start, c));
    if (!p)
        throw std::bad_alloc();
    start = p;
    end = p + c;
    writePos = p + written;
    readPos = p + read;
    failed = false;
}

void Stream::setSize(unsigned int n) {
    unsigned int capacity = getSize();
    if (n > capacity) {
        resize(n - capacity);
        return;
    }
    if (n == capacity)
        return;
    std::size_t written = tellWrite();
    std::size_t read = getRead();
    if (written > n)
        written = n;
    if (read > n)
        read = n;
    if (n == 0) {
        reset(true);
        return;
    }
    char* p = allocate(n);
    std::memcpy(p, start, n);
    char* old = start;
    start = p;
    end = p + n;
    writePos = p + written;
    readPos = p + read;
    failed = false;
    std::free(old);
}

void Stream::seekRead(int offset, PositionMode mode) {
    std::int64_t base;
    switch (mode) {
    case fromStart:
        base = 0;
        break;
    case fromCurrent:
        base = getRead();
        break;
    case fromEnd:
        base = getSize();
        break;
    default:
        return;
    }
    std::int64_t target = base + offset;
    if (target < static_cast<std::int64_t>(getRead()))
        readPos = start + (target < 0 ? 0 : target);
}

Stream& Stream::operator<<(const char* text) {
    unsigned int length = text ? checkedBytes(std::strlen(text)) : 0;
    // The text may lie in this very buffer, which growing can move.
    bool inside = text && text >= start && text < end;
    std::size_t offset = inside ? static_cast<std::size_t>(text - start) : 0;
    char* p = room(checkedBytes(std::uint64_t{4} + length));
    if (inside)
        text = start + offset;
    storeLE(p, static_cast<std::uint32_t>(length));
    if (length)
        std::memmove(p + 4, text, length);
    return *this;
}

Stream& Stream::operator<<(Stream& other) {
    if (&other == this)
        return *this;
    unsigned int length = other.tellWrite();
    char* p = room(checkedBytes(std::uint64_t{4} + length));
    storeLE(p, static_cast<std::uint32_t>(length));
    if (length)
        std::memcpy(p + 4, other.start, length);
    other.reset(true);
    return *this;
}

// Encodes `n` elements of T as little-endian U each, with a plain copy
// where the host order already is the stream's.
template <class U, class T> void Stream::encode(char* out, const T* in, unsigned int n) {
    if (hostIsLittleEndian) {
        std::memmove(out, in, sizeof(T) * n);
        return;
    }
    for (unsigned int i = 0; i < n; ++i, out += sizeof(U)) {
        U v;
        std::memcpy(&v, in + i, sizeof v);
        storeLE(out, v);
    }
}

template <class U, class T> void Stream::decode(T* out, const char* in, unsigned int n) {
    if (hostIsLittleEndian) {
        std::memcpy(out, in, sizeof(T) * n);
        return;
    }
    for (unsigned int i = 0; i < n; ++i, in += sizeof(U)) {
        U v = loadLE<U>(in);
        std::memcpy(out + i, &v, sizeof v);
    }
}

#define HVC_STREAM_ARRAY(T, U)                                                                     \
    void Stream::put(const T* p, unsigned int n) {                                                 \
        if (!p || n == 0)                                                                          \
            return;                                                                                \
        const char* raw = reinterpret_cast<const char*>(p);                                        \
        bool inside = raw >= start && raw < end;                                                   \
        std::size_t offset = inside ? static_cast<std::size_t>(raw - start) : 0;                   \
        char* out = room(checkedBytes(std::uint64_t{sizeof(T)} * n));                              \
        if (inside)                                                                                \
            p = reinterpret_cast<const T*>(start + offset);                                        \
        encode<U>(out, p, n);                                                                      \
    }                                                                                              \
    void Stream::get(T* p, unsigned int n) {                                                       \
        if (!p || n == 0)                                                                          \
            return;                                                                                \
        if (const char* in = take(std::uint64_t{sizeof(T)} * n))                                   \
            decode<U>(p, in, n);                                                                   \
    }

HVC_STREAM_ARRAY(char, std::uint8_t)
HVC_STREAM_ARRAY(unsigned char, std::uint8_t)
HVC_STREAM_ARRAY(short, std::uint16_t)
HVC_STREAM_ARRAY(unsigned short, std::uint16_t)
HVC_STREAM_ARRAY(int, std::uint32_t)
HVC_STREAM_ARRAY(unsigned int, std::uint32_t)
HVC_STREAM_ARRAY(std::int64_t, std::uint64_t)
HVC_STREAM_ARRAY(std::uint64_t, std::uint64_t)
HVC_STREAM_ARRAY(double, std::uint64_t)

#undef HVC_STREAM_ARRAY

void Stream::put(const bool* p, unsigned int n) {
    if (!p || n == 0)
        return;
    char* out = room(n);
    for (unsigned int i = 0; i < n; ++i)
        out[i] = p[i] ? 1 : 0;
}

void Stream::put(const float* p, unsigned int n) {
    if (!p || n == 0)
        return;
    const char* raw = reinterpret_cast<const char*>(p);
    bool inside = raw >= start && raw < end;
    std::size_t offset = inside ? static_cast<std::size_t>(raw - start) : 0;
    char* out = room(checkedBytes(std::uint64_t{4} * n));
    if (inside)
        raw = start + offset;
    for (unsigned int i = 0; i < n; ++i) {
        float f;
        std::memcpy(&f, raw + 4 * std::size_t{i}, sizeof f);
        storeFloat(out + 4 * std::size_t{i}, f);
    }
}

// Single bytes are read out of line, as they always were: inline, a caller's
// compiler would see that a failed read leaves the target and warn of every
// char read into a variable that has no value yet.
Stream& Stream::operator>>(char& c) {
    return read(c);
}

Stream& Stream::operator>>(unsigned char& c) {
    return read(c);
}

Stream& Stream::operator>>(bool& b) {
    return read(b);
}

void Stream::get(bool* p, unsigned int n) {
    if (!p || n == 0)
        return;
    if (const char* in = take(n)) {
        for (unsigned int i = 0; i < n; ++i)
            p[i] = in[i] == 1;
    }
}

void Stream::get(float* p, unsigned int n) {
    if (!p || n == 0)
        return;
    if (const char* in = take(std::uint64_t{4} * n)) {
        for (unsigned int i = 0; i < n; ++i)
            p[i] = loadFloat(in + 4 * std::size_t{i});
    }
}

bool Stream::getBuff(const char*& data, unsigned int& length) {
    data = nullptr;
    length = 0;
    const char* p = take(4);
    if (!p)
        return false;
    std::uint32_t l = loadLE<std::uint32_t>(p);
    const char* body = take(l);
    if (!body)
        return false;
    data = body;
    length = l;
    return true;
}

Stream& Stream::operator>>(char*& text) {
    std::free(text);
    text = nullptr;
    const char* data;
    unsigned int length;
    // The length is checked against the unread bytes before anything is
    // allocated; a failed read leaves an empty text.
    if (!getBuff(data, length)) {
        text = allocate(1);
        text[0] = '\0';
        return *this;
    }
    text = allocate(std::size_t{length} + 1);
    std::memcpy(text, data, length);
    text[length] = '\0';
    return *this;
}

void Stream::getString(char*& text, unsigned int max) {
    if (max == 0)
        return;
    const char* data;
    unsigned int length;
    if (!getBuff(data, length))
        return;
    std::size_t m = std::size_t{length} + 1 < max ? std::size_t{length} + 1 : max;
    if (!text)
        text = allocate(m);
    std::memcpy(text, data, m - 1);
    text[m - 1] = '\0';
}

Stream& Stream::operator>>(Stream& other) {
    const char* data;
    unsigned int length;
    if (!getBuff(data, length))
        return *this;
    char* copy = nullptr;
    if (length != 0) {
        copy = allocate(length);
        std::memcpy(copy, data, length);
    }
    other.setBuffer(length, copy, false, true);
    return *this;
}

} // namespace hvc_util
