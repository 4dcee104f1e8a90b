#include <hvc_util/String.h>

#include <hvc_util/Stream.h>

#include <cctype>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace hvc_util {

const char* const String::className = "hvc_util::String";
const char String::emptyText[1] = {'\0'};

namespace {

// Texts longer than a String can describe are treated like a failed
// allocation rather than silently cut.
bool fits(std::size_t bytes) {
    return bytes < UINT_MAX;
}

} // namespace

String::String(const char* s) {
    if (s)
        *this = s;
}

String::String(unsigned int n) {
    if (n != 0 && n != UINT_MAX)
        refit(n + 1);
}

String::String(unsigned int n, char c) {
    char* p = assignArea(n);
    if (!p)
        return;
    std::memset(p, c, n);
    p[n] = '\0';
    if (c == '\0')
        length = 0;
}

String::String(const String& other) {
    *this = other.value;
}

String::~String() {
    reset();
}

void String::destroy(String* s) {
    delete s;
}

void String::reset() {
    std::free(value);
    value = nullptr;
    size = capacity = length = 0;
}

// All we know of an adopted buffer is that it holds its text; our own buffer
// handed back keeps the allocation we know it has.
void String::setValue(char* p) {
    if (p != value)
        reset();
    if (!p)
        return;
    std::size_t len = std::strlen(p);
    if (!fits(len + 1)) {
        value = nullptr;
        reset();
        std::free(p);
        return;
    }
    if (value != p)
        capacity = static_cast<unsigned int>(len + 1);
    value = p;
    size = static_cast<unsigned int>(len + 1);
    length = static_cast<unsigned int>(len);
}

unsigned int String::measure() const {
    return value ? static_cast<unsigned int>(std::strlen(value)) : 0;
}

unsigned int String::knownLength() {
    if (length == unknownLength)
        length = measure();
    return length;
}

// Each character, sign-extended, is rotated into one of 32 bit positions:
// characters 0-3 land on bytes 0-3, the next four one bit further, and so on.
unsigned int String::getHash(const char* text) {
    std::uint32_t h = 0;
    if (!text)
        return 0;
    for (std::size_t i = 0; text[i] != '\0'; ++i) {
        std::uint32_t c = static_cast<std::uint32_t>(static_cast<signed char>(text[i]));
        unsigned int shift = static_cast<unsigned int>((i / 4 + (i % 4) * 8) % 32);
        h ^= c << shift;
    }
    return h;
}

// The size becomes `n` over an allocation of `bytes` (at least `n`). Growing
// puts a terminator where the old size ended, shrinking in the last byte, so
// the text is kept as far as it fits.
bool String::setSize(unsigned int n, std::size_t bytes) {
    if (n == 0) {
        reset();
        return true;
    }
    if (bytes != capacity) {
        char* p = static_cast<char*>(std::realloc(value, bytes));
        if (p) {
            value = p;
            capacity = static_cast<unsigned int>(bytes);
        } else if (bytes > capacity) {
            reset();
            return false;
        } // a block that could not shrink serves as it is
    }
    unsigned int old = size;
    size = n;
    if (old == 0) {
        value[0] = '\0';
        length = 0;
    } else if (old < n) {
        value[old] = '\0';
    } else if (old > n) {
        value[n - 1] = '\0';
        if (length != unknownLength && length > n - 1)
            length = n - 1;
    }
    return true;
}

bool String::refit(unsigned int n) {
    if (n == size && n == capacity)
        return true;
    return setSize(n, n);
}

// Doubling keeps the copies of a text built by appends to O(n) in all; no
// malloc block is smaller than 16 bytes anyway.
bool String::grow(unsigned int n) {
    if (n <= capacity)
        return setSize(n, capacity);
    std::size_t doubled = capacity < 8 ? 16 : std::size_t{capacity} * 2;
    std::size_t most = UINT_MAX - 1;
    std::size_t bytes = doubled > n ? (doubled < most ? doubled : most) : n;
    return setSize(n, bytes);
}

char* String::assignArea(std::size_t n) {
    if (!fits(n + 1)) {
        reset();
        return nullptr;
    }
    if (!refit(static_cast<unsigned int>(n + 1)))
        return nullptr;
    length = static_cast<unsigned int>(n);
    return value;
}

char* String::appendArea(std::size_t n) {
    std::size_t len = knownLength();
    if (!fits(len + n + 1)) {
        reset();
        return nullptr;
    }
    if (!grow(static_cast<unsigned int>(len + n + 1)))
        return nullptr;
    length = static_cast<unsigned int>(len + n);
    return value + len;
}

String& String::operator=(const char* s) {
    if (s && pointsIntoBuffer(s)) {
        String copy(s);
        return *this = copy.value;
    }
    std::size_t len = s ? std::strlen(s) : 0;
    if (char* p = assignArea(len))
        std::memcpy(p, s ? s : emptyText, len + 1);
    return *this;
}

String& String::operator=(char c) {
    if (char* p = assignArea(1)) {
        p[0] = c;
        p[1] = '\0';
        if (c == '\0')
            length = 0;
    }
    return *this;
}

// The inline operator+= comes here when the allocation is too small or the
// length has to be measured again.
String& String::appendSlow(const char* s) {
    if (!s || *s == '\0')
        return *this;
    if (pointsIntoBuffer(s)) {
        String copy(s);
        return *this += copy.value;
    }
    std::size_t add = std::strlen(s);
    if (char* p = appendArea(add))
        std::memcpy(p, s, add + 1);
    return *this;
}

String& String::appendSlow(char c) {
    if (char* p = appendArea(1)) {
        p[0] = c;
        p[1] = '\0';
        if (c == '\0')
            --length;
    }
    return *this;
}

void String::insertAtStart(const char* s) {
    if (!s || *s == '\0')
        return;
    if (pointsIntoBuffer(s)) {
        String copy(s);
        insertAtStart(copy.value);
        return;
    }
    std::size_t len = knownLength();
    std::size_t add = std::strlen(s);
    if (!appendArea(add))
        return;
    std::memmove(value + add, value, len);
    std::memcpy(value, s, add);
    value[len + add] = '\0';
}

String String::operator+(const String& other) const {
    return *this + other.value;
}

// Made at its final size at once: a copy of this string with `s` behind it.
String String::operator+(const char* s) const {
    String result;
    std::size_t len = lengthOf();
    std::size_t add = s ? std::strlen(s) : 0;
    if (char* p = result.assignArea(len + add)) {
        std::memcpy(p, getValue(), len);
        std::memcpy(p + len, s ? s : emptyText, add);
        p[len + add] = '\0';
    }
    return result;
}

// Formats into a 32-byte area, the size that holds every integer text; longer
// texts (large doubles) get an area of their own and are appended whole.
String& String::appendNumber(const char* format, ...) {
    char area[32];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(area, sizeof area, format, args);
    va_end(args);
    if (n >= 0 && static_cast<std::size_t>(n) < sizeof area) {
        va_end(again);
        return *this += area;
    }
    if (n > 0) {
        char* text = static_cast<char*>(std::malloc(static_cast<std::size_t>(n) + 1));
        if (text) {
            std::vsnprintf(text, static_cast<std::size_t>(n) + 1, format, again);
            *this += text;
            std::free(text);
        }
    }
    va_end(again);
    return *this;
}

String& String::operator<<(unsigned int n) {
    return appendNumber("%u", n);
}
String& String::operator<<(int n) {
    return appendNumber("%d", n);
}
String& String::operator<<(double d) {
    return appendNumber("%f", d);
}

const char* String::findFirst(const char* s) const {
    if (!s || *s == '\0' || !value || *value == '\0')
        return nullptr;
    return std::strstr(value, s);
}

const char* String::findFrom(const char* s, unsigned int pos) const {
    if (!s || *s == '\0' || !value)
        return nullptr;
    if (::strnlen(value, static_cast<std::size_t>(pos) + 1) <= pos)
        return nullptr;
    return std::strstr(value + pos, s);
}

const char* String::findLast(const char* s) const {
    const char* last = nullptr;
    for (const char* p = findFirst(s); p; p = std::strstr(p + 1, s))
        last = p;
    return last;
}

namespace {

// Moves the text behind the occurrence `p` of `s` over it; `length` is the
// text's known length or the unknown mark, which stays.
bool removeAt(char* p, const char* s, unsigned int& length, unsigned int unknown) {
    if (!p)
        return false;
    std::size_t n = std::strlen(s);
    std::memmove(p, p + n, std::strlen(p + n) + 1);
    if (length != unknown)
        length -= static_cast<unsigned int>(n);
    return true;
}

} // namespace

bool String::removeFirst(const char* s) {
    return removeAt(const_cast<char*>(findFirst(s)), s, length, unknownLength);
}

bool String::removeLast(const char* s) {
    return removeAt(const_cast<char*>(findLast(s)), s, length, unknownLength);
}

String String::subString(unsigned int start, unsigned int end) const {
    String result("");
    unsigned int len = lengthOf();
    if (start >= len || end <= start)
        return result;
    unsigned int stop = end < len ? end : len;
    if (char* p = result.assignArea(stop - start)) {
        std::memcpy(p, value + start, stop - start);
        p[stop - start] = '\0';
    }
    return result;
}

bool String::startsWith(const String& prefix) const {
    return subString(0, prefix.lengthOf()) == prefix.value;
}

// A locale may map a byte to 0, and toAscii maps 0x80 to it, so the length
// is measured again after each.
void String::toUpper() {
    for (char* p = value; p && *p; ++p)
        *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    length = measure();
}

void String::toLower() {
    for (char* p = value; p && *p; ++p)
        *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    length = measure();
}

void String::toAscii() {
    for (char* p = value; p && *p; ++p)
        *p = static_cast<char>(*p & 0x7F);
    length = measure();
}

double String::toDouble() const {
    return value ? std::atof(value) : 0.0;
}

// atol's reading, but always 32 bits wide and wrapping instead of saturating,
// whatever the width of long.
int String::toInt32() const {
    if (!value)
        return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(value);
    while (std::isspace(*p))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    std::uint32_t n = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        n = n * 10u + static_cast<std::uint32_t>(*p - '0');
    if (negative)
        n = 0u - n;
    return static_cast<std::int32_t>(n);
}

// The caller may write a terminator through the reference, so the length is
// unknown from here on.
char& String::operator[](unsigned int i) {
    static thread_local char scratch;
    std::size_t len = 0;
    if (value)
        len = length != unknownLength ? length : ::strnlen(value, std::size_t{i} + 1);
    if (len == 0) {
        scratch = '\0';
        return scratch;
    }
    length = unknownLength;
    return value[len > i ? i : len - 1];
}

char String::operator[](unsigned int i) const {
    std::size_t len = value ? ::strnlen(value, static_cast<std::size_t>(i) + 1) : 0;
    if (len == 0)
        return '\0';
    return value[len > i ? i : len - 1];
}

bool String::operator==(const char* s) const {
    if (!value)
        return !s || *s == '\0';
    return s && std::strcmp(value, s) == 0;
}

bool String::operator>(const char* s) const {
    if (!value)
        return false;
    return !s || std::strcmp(value, s) > 0;
}

Stream& operator<<(Stream& stream, const String& s) {
    return stream << s.getValue();
}

Stream& operator>>(Stream& stream, String& s) {
    unsigned int length = 0;
    stream >> length;
    // The length is checked before anything is allocated, so a corrupt
    // length cannot ask for gigabytes.
    if (stream.fail() || length > stream.getUnread()) {
        stream.failed = true;
        s = "";
        return stream;
    }
    if (length == 0 && !s.value)
        return stream;
    if (!s.refit(length + 1))
        return stream;
    if (length > 0)
        stream.get(s.value, length);
    s.value[length] = '\0';
    // The bytes may hold a terminator of their own.
    s.length = s.measure();
    return stream;
}

} // namespace hvc_util
