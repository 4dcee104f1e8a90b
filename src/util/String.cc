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
        resize(n + 1);
}

String::String(unsigned int n, char c) {
    if (n == UINT_MAX)
        return;
    resize(n + 1);
    if (value) {
        std::memset(value, c, n);
        value[n] = '\0';
    }
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
    size = 0;
}

void String::setValue(char* p) {
    if (p != value)
        reset();
    if (!p)
        return;
    std::size_t len = std::strlen(p);
    if (!fits(len + 1)) {
        std::free(p);
        return;
    }
    value = p;
    size = static_cast<unsigned int>(len + 1);
}

unsigned int String::lengthOf() const {
    return value ? static_cast<unsigned int>(std::strlen(value)) : 0;
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

// realloc keeps the old bytes and can often grow the block where it lies,
// which keeps exact fitting cheap for strings built by repeated appends.
void String::resize(unsigned int n) {
    if (n == size)
        return;
    if (n == 0) {
        reset();
        return;
    }
    unsigned int old = size;
    char* p = static_cast<char*>(std::realloc(value, n));
    if (!p) {
        reset();
        return;
    }
    value = p;
    size = n;
    if (old == 0)
        p[0] = '\0';
    else if (old < n)
        p[old] = '\0';
    else
        p[n - 1] = '\0';
}

String& String::operator=(const char* s) {
    if (s && pointsIntoBuffer(s)) {
        String copy(s);
        return *this = copy.value;
    }
    std::size_t len = s ? std::strlen(s) : 0;
    if (!fits(len + 1)) {
        reset();
        return *this;
    }
    resize(static_cast<unsigned int>(len + 1));
    if (value) {
        std::memcpy(value, s ? s : emptyText, len);
        value[len] = '\0';
    }
    return *this;
}

String& String::operator=(char c) {
    resize(2);
    if (value) {
        value[0] = c;
        value[1] = '\0';
    }
    return *this;
}

String& String::operator+=(const char* s) {
    if (!s || *s == '\0')
        return *this;
    if (pointsIntoBuffer(s)) {
        String copy(s);
        return *this += copy.value;
    }
    std::size_t len = lengthOf();
    std::size_t add = std::strlen(s);
    if (!fits(len + add + 1)) {
        reset();
        return *this;
    }
    resize(static_cast<unsigned int>(len + add + 1));
    if (value)
        std::memcpy(value + len, s, add + 1);
    return *this;
}

String& String::operator+=(char c) {
    std::size_t len = lengthOf();
    if (!fits(len + 2)) {
        reset();
        return *this;
    }
    resize(static_cast<unsigned int>(len + 2));
    if (value) {
        value[len] = c;
        value[len + 1] = '\0';
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
    std::size_t len = lengthOf();
    std::size_t add = std::strlen(s);
    if (!fits(len + add + 1)) {
        reset();
        return;
    }
    resize(static_cast<unsigned int>(len + add + 1));
    if (!value)
        return;
    std::memmove(value + add, value, len);
    std::memcpy(value, s, add);
    value[len + add] = '\0';
}

String String::operator+(const String& other) const {
    return *this + other.value;
}

String String::operator+(const char* s) const {
    String result(*this);
    result += s;
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

bool removeAt(char* p, const char* s) {
    if (!p)
        return false;
    std::size_t n = std::strlen(s);
    std::memmove(p, p + n, std::strlen(p + n) + 1);
    return true;
}

} // namespace

bool String::removeFirst(const char* s) {
    return removeAt(const_cast<char*>(findFirst(s)), s);
}

bool String::removeLast(const char* s) {
    return removeAt(const_cast<char*>(findLast(s)), s);
}

String String::subString(unsigned int start, unsigned int end) const {
    String result("");
    unsigned int len = lengthOf();
    if (start >= len || end <= start)
        return result;
    unsigned int stop = end < len ? end : len;
    result.resize(stop - start + 1);
    if (result.value) {
        std::memcpy(result.value, value + start, stop - start);
        result.value[stop - start] = '\0';
    }
    return result;
}

bool String::startsWith(const String& prefix) const {
    return subString(0, prefix.lengthOf()) == prefix.value;
}

void String::toUpper() {
    for (char* p = value; p && *p; ++p)
        *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
}

void String::toLower() {
    for (char* p = value; p && *p; ++p)
        *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
}

void String::toAscii() {
    for (char* p = value; p && *p; ++p)
        *p = static_cast<char>(*p & 0x7F);
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

char& String::operator[](unsigned int i) {
    static thread_local char scratch;
    std::size_t len = value ? ::strnlen(value, static_cast<std::size_t>(i) + 1) : 0;
    if (len == 0) {
        scratch = '\0';
        return scratch;
    }
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
    s.resize(length + 1);
    if (!s.value)
        return stream;
    if (length > 0)
        stream.get(s.value, length);
    s.value[length] = '\0';
    return stream;
}

} // namespace hvc_util
