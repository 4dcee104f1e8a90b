// The library's in-memory binary stream.
#pragma once

#include <hvc_util/Export.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace hvc_util {

class String;

// One growable byte buffer with a write position and an independent read
// position. Values go in at the write position and come back, in the same
// order, from the read position. Numbers are little-endian except float,
// which is big-endian; texts are a 4-byte little-endian length followed by
// the bytes. The stream owns its buffer (from std::malloc, released with
// std::free) unless it is handed out with getBuffer(true). A read that wants
// more bytes than are unread sets the fail flag and takes nothing; nothing
// throws except std::bad_alloc when growing finds no memory. One stream is
// used by one thread at a time.
class HVC_UTIL_API Stream {
public:
    enum PositionMode { fromStart = 0, fromCurrent = 1, fromEnd = 2 };

    static const char* const className;

    // As setBuffer(size, buffer, copy, filled) on an empty stream.
    Stream(unsigned int size = 0, char* buffer = nullptr, bool copy = false, bool filled = false);
    // As assign(other, copy): copy false takes over other's buffer.
    Stream(Stream& other, bool copy = true);
    Stream(const Stream& other);
    virtual ~Stream();

    // Replaces the buffer. size 0 leaves the stream empty (a given buffer is
    // then not adopted). Otherwise: a null buffer gives `size` new bytes; with
    // `copy` the first `size` bytes of `buffer` are copied; without, `buffer`
    // (from std::malloc) becomes the stream's own. `filled` makes all `size`
    // bytes readable data.
    void setBuffer(unsigned int size, char* buffer, bool copy, bool filled);
    // copy true: a copy of other's written bytes at the same positions;
    // copy false: takes over other's buffer and positions, other ends empty.
    // The fail flag ends cleared. Assigning a stream to itself changes only
    // the flag.
    Stream& assign(Stream& other, bool copy);
    Stream& operator=(const Stream& other);

    // The buffer start, null when there is none. With `release` the caller
    // owns it (release with std::free) and the stream forgets it.
    char* getBuffer(bool release);
    // Forgets the buffer without releasing it.
    void null();
    // Empties the stream; with `release` the buffer is freed, without it the
    // buffer is kept at capacity 0 (freed by the next growth).
    void reset(bool release);
    // Grows by the growth rule to at least `n`, or cuts the buffer to exactly
    // `n` bytes (positions cut to `n`).
    void setSize(unsigned int n);
    void resetRead() { readPos = start; }
    // Moves the read position back only: to start + offset, read position +
    // offset, or end of buffer + offset, never before the start. A target at
    // or after the read position changes nothing.
    void seekRead(int offset, PositionMode mode);

    unsigned int getSize() const { return static_cast<unsigned int>(end - start); }
    unsigned int tellWrite() const { return static_cast<unsigned int>(writePos - start); }
    unsigned int getWritten() const { return tellWrite(); }
    unsigned int getRead() const { return static_cast<unsigned int>(readPos - start); }
    unsigned int tellRead() const { return getRead(); }
    unsigned int getUnread() const { return static_cast<unsigned int>(writePos - readPos); }
    unsigned int getFree() const { return static_cast<unsigned int>(end - writePos); }

    bool eof() const { return readPos == writePos; }
    bool fail() const { return failed; }
    bool ok() const { return !failed; }
    bool isUsed() const { return writePos != start; }

    // Single values are written inline: a room check and one copy each.
    Stream& operator<<(char c) { return write(static_cast<std::uint8_t>(c)); }
    Stream& operator<<(unsigned char c) { return write(static_cast<std::uint8_t>(c)); }
    void put(char c) { *this << c; }
    Stream& operator<<(bool b) { return write(static_cast<std::uint8_t>(b ? 1 : 0)); }
    Stream& operator<<(short n) { return write(static_cast<std::uint16_t>(n)); }
    Stream& operator<<(unsigned short n) { return write(static_cast<std::uint16_t>(n)); }
    Stream& operator<<(int n) { return write(static_cast<std::uint32_t>(n)); }
    Stream& operator<<(unsigned int n) { return write(static_cast<std::uint32_t>(n)); }
    Stream& operator<<(std::int64_t n) { return write(static_cast<std::uint64_t>(n)); }
    Stream& operator<<(std::uint64_t n) { return write(n); }
    Stream& operator<<(const double& d) {
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        return write(bits);
    }
    // Big-endian: the bits' bytes reversed, then written as the others are.
    Stream& operator<<(const float& f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        return write(swapBytes(bits));
    }
    // Length-prefixed; a null text is written as length 0.
    Stream& operator<<(const char* text);
    // Any other pointer would silently be written as a bool.
    Stream& operator<<(const void*) = delete;
    // Writes other's written bytes, length-prefixed, then empties `other`
    // (reset(true)). A stream written into itself is left as it is.
    Stream& operator<<(Stream& other);

    // Arrays: `n` elements back to back, no count; null or 0 writes nothing.
    void put(const char* p, unsigned int n);
    void put(const unsigned char* p, unsigned int n);
    void put(const bool* p, unsigned int n);
    void put(const short* p, unsigned int n);
    void put(const unsigned short* p, unsigned int n);
    void put(const int* p, unsigned int n);
    void put(const unsigned int* p, unsigned int n);
    void put(const std::int64_t* p, unsigned int n);
    void put(const std::uint64_t* p, unsigned int n);
    void put(const double* p, unsigned int n);
    void put(const float* p, unsigned int n);

    // Each read sets the fail flag when too few bytes are unread (and then
    // leaves the target and the read position alone) and clears it otherwise.
    // Numbers are read inline: a length check and one copy each.
    Stream& operator>>(char& c);
    Stream& operator>>(unsigned char& c);
    void get(char& c) { *this >> c; }
    Stream& operator>>(bool& b);
    Stream& operator>>(short& n) { return read(n); }
    Stream& operator>>(unsigned short& n) { return read(n); }
    Stream& operator>>(int& n) { return read(n); }
    Stream& operator>>(unsigned int& n) { return read(n); }
    Stream& operator>>(std::int64_t& n) { return read(n); }
    Stream& operator>>(std::uint64_t& n) { return read(n); }
    Stream& operator>>(double& d) { return read(d); }
    Stream& operator>>(float& f) { return read(f); }
    // Releases *text (std::free), then reads a length-prefixed text into a new
    // std::malloc buffer owned by the caller. After a failed read *text is a
    // new empty text.
    Stream& operator>>(char*& text);
    // Reads a length-prefixed text and copies at most max - 1 of its bytes,
    // terminated, into `text`: into a new std::malloc buffer owned by the
    // caller when `text` is null, else into the caller's `max` bytes. The
    // whole text is consumed. max 0 does nothing; on failure `text` is left.
    void getString(char*& text, unsigned int max);
    // Reads a length-prefixed block into `other` as its readable data
    // (a copy). On failure `other` is left.
    Stream& operator>>(Stream& other);

    // All or nothing; null or 0 does nothing and leaves the flag.
    void get(char* p, unsigned int n);
    void get(unsigned char* p, unsigned int n);
    // A byte gives true only when it is exactly 1.
    void get(bool* p, unsigned int n);
    void get(short* p, unsigned int n);
    void get(unsigned short* p, unsigned int n);
    void get(int* p, unsigned int n);
    void get(unsigned int* p, unsigned int n);
    void get(std::int64_t* p, unsigned int n);
    void get(std::uint64_t* p, unsigned int n);
    void get(double* p, unsigned int n);
    void get(float* p, unsigned int n);

private:
    friend Stream& operator>>(Stream& stream, String& s);

    // Makes room for `k` more bytes: doubles from max(capacity, 4) until
    // k bytes more than the old capacity fit.
    void resize(unsigned int k);
    char* room(unsigned int k) {
        if (static_cast<unsigned int>(end - writePos) < k)
            resize(k);
        char* p = writePos;
        writePos += k;
        return p;
    }
    // Single values go in and out through these two. `this` is restrict:
    // while one value is copied, nothing reaches the stream's members but
    // through `this` (its buffer never holds the stream itself), so that the
    // compiler may keep the positions and the flag of a loop of reads or
    // writes in registers instead of storing them for every value.
    //
    // One number as little-endian bytes.
    template <class U> Stream& write(U bits) __restrict__ {
        storeLE(room(sizeof(U)), bits);
        return *this;
    }
    // One value of sizeof(T) bytes. The read position is written whether or
    // not the read succeeds, which lets the compiler carry it from one read
    // to the next.
    template <class T> Stream& read(T& target) __restrict__ {
        static_assert(sizeof(bool) == 1, "a bool is one byte of the stream");
        char* p = readPos;
        bool ok = static_cast<std::size_t>(writePos - p) >= sizeof(T);
        failed = !ok;
        if (ok)
            decode(p, target);
        readPos = ok ? p + sizeof(T) : p;
        return *this;
    }
    // Checks that `bytes` are unread, sets the flag accordingly, and takes
    // them; null on failure.
    const char* take(std::uint64_t bytes) {
        if (bytes > static_cast<std::uint64_t>(writePos - readPos)) {
            failed = true;
            return nullptr;
        }
        failed = false;
        const char* p = readPos;
        readPos += bytes;
        return p;
    }

    // Byte order of the stream, whatever the host's: little-endian numbers,
    // and floats most significant byte first. One plain copy each, with the
    // bytes swapped where the host's order is the other.
    static constexpr bool hostIsLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
    static std::uint8_t swapBytes(std::uint8_t v) { return v; }
    static std::uint16_t swapBytes(std::uint16_t v) { return __builtin_bswap16(v); }
    static std::uint32_t swapBytes(std::uint32_t v) { return __builtin_bswap32(v); }
    static std::uint64_t swapBytes(std::uint64_t v) { return __builtin_bswap64(v); }
    template <class U> static void storeLE(char* p, U v) {
        if (!hostIsLittleEndian)
            v = swapBytes(v);
        std::memcpy(p, &v, sizeof v);
    }
    template <class U> static U loadLE(const char* p) {
        U v;
        std::memcpy(&v, p, sizeof v);
        return hostIsLittleEndian ? v : swapBytes(v);
    }
    static void storeFloat(char* p, float f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        if (hostIsLittleEndian)
            bits = swapBytes(bits);
        std::memcpy(p, &bits, sizeof bits);
    }
    // One value from its bytes: numbers little-endian (their bits as the
    // unsigned number of their width), a bool true unless 0, a float
    // big-endian.
    template <std::size_t N> struct Bits;
    template <class T> static void decode(const char* p, T& v) {
        typename Bits<sizeof(T)>::type bits = loadLE<typename Bits<sizeof(T)>::type>(p);
        // Written as a T (a memcpy would write plain bytes), which the
        // compiler knows cannot be the stream's own members.
        v = __builtin_bit_cast(T, bits);
    }
    static void decode(const char* p, bool& b) { b = *p != 0; }
    static void decode(const char* p, float& f) { f = loadFloat(p); }
    // Arrays of n elements of T, each as the little-endian U of its bits.
    template <class U, class T> static void encode(char* out, const T* in, unsigned int n);
    template <class U, class T> static void decode(T* out, const char* in, unsigned int n);
    static float loadFloat(const char* p) {
        std::uint32_t bits;
        std::memcpy(&bits, p, sizeof bits);
        if (hostIsLittleEndian)
            bits = swapBytes(bits);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // The bytes of a length-prefixed block, still inside this buffer.
    bool getBuff(const char*& data, unsigned int& length);
    void copyFrom(const Stream& other);

    char* start = nullptr;
    char* end = nullptr;
    char* writePos = nullptr;
    char* readPos = nullptr;
    bool failed = false;
};

template <> struct Stream::Bits<1> { using type = std::uint8_t; };
template <> struct Stream::Bits<2> { using type = std::uint16_t; };
template <> struct Stream::Bits<4> { using type = std::uint32_t; };
template <> struct Stream::Bits<8> { using type = std::uint64_t; };

} // namespace hvc_util
