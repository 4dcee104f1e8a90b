// The library's owning, null-able byte string.
#pragma once

#include <hvc_util/Export.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace hvc_util {

class Stream;

// An 8-bit string that owns one heap buffer. It tells three states apart:
// unset (no buffer), empty (a buffer holding only the terminator) and set (at
// least one character). Its size (sizeOf() + 1) is fitted exactly to the text
// by every assignment and append; removal keeps it.
//
// Memory: behind the size lies an allocation the string keeps to itself.
// Assignment, copying, String(n), String(n, c), setValue and reading from a
// Stream allocate exactly the size. Appending and inserting double the
// allocation (to 16 bytes at least) when it is too small and never shrink
// it, so that a text of n characters built by appends costs O(n) time, at
// the price of up to twice its size in bytes (more only where String(n)
// or a removal left it larger). Assigning the text to a new String drops the
// spare room.
//
// The string owns its buffer and releases it when destroyed; buffers come
// from std::malloc and go back with std::free, so a buffer handed to setValue
// must come from std::malloc. One object is used by one thread at a time.
// Nothing here throws: a failed allocation leaves the string unset.
class HVC_UTIL_API String {
public:
    static const char* const className;

    String() = default;
    // Unset for a null `s`; otherwise a copy of `s` (an empty text gives an
    // empty string with a buffer of its own).
    String(const char* s);
    // 0: unset; otherwise an empty string with room for `n` characters.
    explicit String(unsigned int n);
    // `n` copies of `c`; `n` = 0 gives an empty (not unset) string.
    String(unsigned int n, char c);
    // A copy of an unset string is empty, not unset.
    String(const String& other);
    ~String();

    // Destroys and frees a String made with new; null is ignored.
    static void destroy(String* s);

    // Releases the buffer; the string becomes unset.
    void reset();
    // Adopts `p` (from std::malloc) without copying; the string then owns it.
    // A null `p` leaves the string unset.
    void setValue(char* p);

    // The buffer, or a shared static empty text when unset; never null. The
    // text stays owned by the string and is valid until it next changes.
    const char* getValue() const { return value ? value : emptyText; }
    operator const char*() const { return getValue(); }

    // The size in characters (the size less the terminator); 0 when unset.
    // String(n) and removal may leave it above lengthOf().
    unsigned int sizeOf() const { return size ? size - 1 : 0; }
    // Characters before the terminator; 0 when unset.
    unsigned int lengthOf() const { return length != unknownLength ? length : measure(); }
    // True only when there is at least one character.
    bool isSet() const { return value && value[0] != '\0'; }
    // 32-bit hash of the text; a storage format, see String.cc.
    unsigned int getHash() const { return getHash(value); }
    // The same hash of any text; null and empty texts give 0.
    static unsigned int getHash(const char* text);

    // Assignment always leaves a buffer: a null or empty source gives an
    // empty string. A source pointing into this string's own buffer works.
    String& operator=(const char* s);
    String& operator=(const String& other) { return *this = other.value; }
    String& operator=(char c);

    // Appending a null or empty text changes nothing (unset stays unset).
    // Inline while the allocation has room; `s` may lie in this string.
    String& operator+=(const char* s) {
        if (s && *s != '\0') {
            std::size_t add = std::strlen(s);
            if (std::uint64_t{length} + add + 1 <= capacity) {
                std::memmove(value + length, s, add + 1);
                length += static_cast<unsigned int>(add);
                size = length + 1;
                return *this;
            }
        }
        return appendSlow(s);
    }
    String& operator+=(const String& other) { return *this += other.value; }
    // Appends `c` and a terminator, also to an unset string. Inline while the
    // allocation has room, which is what makes building a text by single
    // characters as cheap as with std::string.
    String& operator+=(char c) {
        if (std::uint64_t{length} + 2 > capacity)
            return appendSlow(c);
        value[length] = c;
        value[length + 1] = '\0';
        size = length + 2;
        length += c != '\0';
        return *this;
    }
    void insertAtEnd(const char* s) { *this += s; }
    void insertAtStart(const char* s);
    // New strings, owned by the caller: a copy of this one with the argument
    // appended.
    String operator+(const String& other) const;
    String operator+(const char* s) const;

    String& operator<<(const String& other) { return *this += other.value; }
    String& operator<<(const char* s) { return *this += s; }
    String& operator<<(char c) { return *this += c; }
    // Numbers are appended as decimal text ("%u", "%d", "%f"), whole however
    // long the text is.
    String& operator<<(unsigned int n);
    String& operator<<(unsigned short n) { return *this << static_cast<unsigned int>(n); }
    String& operator<<(int n);
    String& operator<<(short n) { return *this << static_cast<int>(n); }
    String& operator<<(double d);
    String& operator<<(float f) { return *this << static_cast<double>(f); }

    // Search results point into this string's buffer and are valid until the
    // buffer next changes; null when there is no match, when `s` is null or
    // empty, or when this string is unset or empty.
    const char* findFirst(const char* s) const;
    // As findFirst from character `pos`; null when `pos` >= length.
    const char* findFrom(const char* s, unsigned int pos) const;
    // The last occurrence; occurrences may overlap.
    const char* findLast(const char* s) const;
    // Removal moves the rest of the text forward; the buffer keeps its size.
    bool removeFirst(const char* s);
    bool removeLast(const char* s);
    // Characters [start, min(end, length)) as a new string; empty (with a
    // buffer) when nothing is in range.
    String subString(unsigned int start, unsigned int end) const;
    // True when the text begins with `prefix`; an empty prefix matches, an
    // unset one does not.
    bool startsWith(const String& prefix) const;

    // Case conversion under the current C locale.
    void toUpper();
    void toLower();
    // Clears the top bit of every byte.
    void toAscii();

    // The text read as by atof; 0 when unset.
    double toDouble() const;
    float toFloat() const { return static_cast<float>(toDouble()); }
    // The text read as a 32-bit signed decimal number (leading blanks, a sign,
    // digits; overflow wraps modulo 2^32), then cut to the result's width.
    // Wider types get the 32-bit value widened with sign. 0 when unset.
    char toInt8() const { return static_cast<char>(toInt32()); }
    short toInt16() const { return static_cast<short>(toInt32()); }
    int toInt32() const;
    std::int64_t toInt64() const { return toInt32(); }
    unsigned char toUInt8() const { return static_cast<unsigned char>(toInt32()); }
    unsigned short toUInt16() const { return static_cast<unsigned short>(toInt32()); }
    unsigned int toUInt32() const { return static_cast<unsigned int>(toInt32()); }
    std::uint64_t toUInt64() const { return static_cast<std::uint64_t>(toInt64()); }

    // Character `i`, or the last character when `i` is past the end. On an
    // unset or empty string the const form gives '\0' and the modifiable one
    // a scratch byte that is not part of any string. The reference is valid
    // until the string next changes; a terminator written through it shortens
    // the text.
    char& operator[](unsigned int i);
    char operator[](unsigned int i) const;

    // With `s` null standing for an unset string. An unset string equals a
    // null or empty text; a string with a buffer never equals null and is
    // greater than it. Otherwise bytes are compared as unsigned values.
    bool operator==(const char* s) const;
    bool operator>(const char* s) const;
    bool operator!=(const char* s) const { return !(*this == s); }
    bool operator>=(const char* s) const { return *this == s || *this > s; }
    bool operator<=(const char* s) const { return !(*this > s); }
    bool operator<(const char* s) const { return !(*this == s) && !(*this > s); }
    bool operator==(const String& s) const { return *this == s.value; }
    bool operator>(const String& s) const { return *this > s.value; }
    bool operator!=(const String& s) const { return *this != s.value; }
    bool operator>=(const String& s) const { return *this >= s.value; }
    bool operator<=(const String& s) const { return *this <= s.value; }
    bool operator<(const String& s) const { return *this < s.value; }

private:
    friend Stream& operator>>(Stream& stream, String& s);
    // Prints its text forms straight into the buffer.
    friend class UUID;

    // Stands in `length` for a text a caller may have changed through
    // operator[]; the next change measures it again.
    static constexpr unsigned int unknownLength = 0xFFFFFFFFu;

    // Makes the size exactly `n` bytes, keeping the text that fits, with an
    // allocation of exactly `n` bytes (refit) or, for appends, of at least
    // `n` bytes grown geometrically (grow). False when the allocation failed,
    // which leaves the string unset.
    bool refit(unsigned int n);
    bool grow(unsigned int n);
    bool setSize(unsigned int n, std::size_t bytes);
    // strlen of the text, 0 when unset.
    unsigned int measure() const;
    // The length, measured again if it is unknown.
    unsigned int knownLength();
    bool pointsIntoBuffer(const char* s) const {
        return value && s >= value && s < value + capacity;
    }
    // Room for `n` characters as the whole text, fitted exactly (assignArea),
    // or behind the text, grown (appendArea). The length already counts them;
    // the caller writes n characters other than '\0' and a terminator. Null
    // when the text would be too long or the allocation failed, which leaves
    // the string unset.
    char* assignArea(std::size_t n);
    char* appendArea(std::size_t n);
    String& appendSlow(char c);
    String& appendSlow(const char* s);
    String& appendNumber(const char* format, ...);

    static const char emptyText[1];

    // The size the string reports (sizeOf() + 1) and its text.
    unsigned int size = 0;
    char* value = nullptr;
    // The bytes allocated at `value`, at least `size`.
    unsigned int capacity = 0;
    // strlen(value), 0 when unset, or unknownLength.
    unsigned int length = 0;
};

// Writes a 4-byte little-endian length (0 when unset) and the characters.
HVC_UTIL_API Stream& operator<<(Stream& stream, const String& s);
// Reads a length-prefixed text into `s`. An unset `s` stays unset when the
// text is empty; after a failed read `s` holds an empty text and the stream's
// fail flag is set.
HVC_UTIL_API Stream& operator>>(Stream& stream, String& s);

} // namespace hvc_util
