// The library's 128-bit identifier.
#pragma once

#include <hvc_util/Export.h>

namespace hvc_util {

class String;
class Stream;

// A DCE-style UUID: 16 bytes in an owned block laid out as time_low (32 bits),
// time_mid and time_hi_and_version (16 bits each), all three in host order,
// then clock_seq_hi_and_reserved (whose top bits are the variant),
// clock_seq_low and six node bytes. Each UUID owns its block; copies copy the
// bytes. A block byte 8 of 0xE0 or above is the reserved variant, which the
// text, equality and ordering operations reject. A UUID whose block could not
// be allocated behaves as the null identifier. Nothing throws. Not
// thread-safe for changes: one object is changed by one thread at a time;
// generating identifiers and reading shared constants (nullID) is safe from
// any thread.
class HVC_UTIL_API UUID {
public:
    // The null identifier (all zero), built at load time.
    static const UUID nullID;

    // A new identifier (never null, of a valid variant) when `generate` is
    // true, else the null identifier.
    explicit UUID(bool generate = false);
    // Parsed from text as operator= does.
    explicit UUID(const String& text);
    explicit UUID(const char* text);
    // From 16 bytes in network order.
    explicit UUID(const unsigned char* bytes);
    UUID(const UUID& other);
    ~UUID();

    // Releases the block.
    void freeIt();
    // Becomes the null identifier.
    void null();
    // Becomes a newly generated identifier.
    void allocate();

    UUID& operator=(const UUID& other);
    // Parses the 36-character text form (either case; "%08x-%04x-%04x-%04x-
    // %012x") or the old dotted form (12 digits, then eight ".xx" bytes). A
    // null or empty text gives the null identifier; anything else that does
    // not parse, or parses to the reserved variant, also gives null.
    UUID& operator=(const String& text);
    UUID& operator=(const char* text);

    // False only for the null identifier.
    bool isSet() const;
    // The 16-bit DCE hash of the block bytes.
    unsigned short getHash() const;
    // `out` becomes the 36-character lower-case text form, or empty for the
    // reserved variant.
    void getString(String& out) const;
    // The text form as a new 37-byte std::malloc buffer owned by the caller
    // (release with std::free); null for the reserved variant.
    unsigned char* getBytes() const;

    // Equal bytes and neither of the reserved variant.
    bool operator==(const UUID& other) const;
    bool operator!=(const UUID& other) const { return !(*this == other); }
    // Field by field: time_low, time_mid, time_hi_and_version, the two clock
    // bytes as unsigned numbers, then the node bytes as signed bytes. With a
    // reserved-variant UUID on either side, `<` is true and `>` false.
    bool operator<(const UUID& other) const { return compareTo(other) < 0; }
    bool operator>(const UUID& other) const { return compareTo(other) > 0; }
    bool operator>=(const UUID& other) const { return !(*this < other); }
    bool operator<=(const UUID& other) const { return !(*this > other); }

    // Reads the identifier from 16 bytes in network order (null is ignored).
    UUID& operator<<(const unsigned char* bytes);
    // Writes the 16 bytes in network order into the caller's `bytes`.
    const UUID& operator>>(unsigned char* bytes) const;

private:
    friend String& operator<<(String& out, const UUID& id);

    // -1, 0 or +1; -1 whenever either side is of the reserved variant.
    int compareTo(const UUID& other) const;
    const unsigned char* data() const;
    bool reserved() const;
    void toNetwork(unsigned char* out) const;
    // Replaces the block by one holding `block16`; false if none could be had.
    bool store(const unsigned char* block16);
    void fromNetwork(const unsigned char* in);
    // The 36-character text form and a terminator into `text`.
    void format(char* text) const;
    void appendTo(String& out) const;

    unsigned char* block = nullptr;
};

// Appends the text form (nothing for the reserved variant).
HVC_UTIL_API String& operator<<(String& out, const UUID& id);
// Writes the 16 bytes in network order.
HVC_UTIL_API Stream& operator<<(Stream& s, const UUID& id);
// Reads 16 bytes in network order; a short stream sets its fail flag and
// leaves `id` as it was.
HVC_UTIL_API Stream& operator>>(Stream& s, UUID& id);

} // namespace hvc_util
