#include <hvc_util/UUID.h>

#include <hvc_util/Stream.h>
#include <hvc_util/String.h>

#include <uuid/uuid.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace hvc_util {

const UUID UUID::nullID;

namespace {

const unsigned char zeroBlock[16] = {};

std::uint32_t timeLow(const unsigned char* b) {
    std::uint32_t v;
    std::memcpy(&v, b, sizeof v);
    return v;
}

std::uint16_t field16(const unsigned char* b) {
    std::uint16_t v;
    std::memcpy(&v, b, sizeof v);
    return v;
}

void putBE(unsigned char* out, std::uint32_t v, unsigned int bytes) {
    for (unsigned int i = 0; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(v >> (8 * (bytes - 1 - i)));
}

std::uint32_t getBE(const unsigned char* in, unsigned int bytes) {
    std::uint32_t v = 0;
    for (unsigned int i = 0; i < bytes; ++i)
        v = v << 8 | in[i];
    return v;
}

// Network order to the host-order block layout.
void networkToBlock(const unsigned char* in, unsigned char* block) {
    std::uint32_t low = getBE(in, 4);
    std::uint16_t mid = static_cast<std::uint16_t>(getBE(in + 4, 2));
    std::uint16_t hi = static_cast<std::uint16_t>(getBE(in + 6, 2));
    std::memcpy(block, &low, 4);
    std::memcpy(block + 4, &mid, 2);
    std::memcpy(block + 6, &hi, 2);
    std::memcpy(block + 8, in + 8, 8);
}

bool isReserved(const unsigned char* block) {
    return block[8] >= 0xE0;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Exactly two hex digits; no blanks, signs or "0x" slip through.
bool hexByte(const char* p, unsigned char& out) {
    int hi = hexDigit(p[0]);
    int lo = hexDigit(p[1]);
    if (hi < 0 || lo < 0)
        return false;
    out = static_cast<unsigned char>(hi << 4 | lo);
    return true;
}

// 6ba7b810-9dad-11d1-80b4-00c04fd430c8: the hex digits spell the network
// order bytes.
bool parseCurrent(const char* text, unsigned char* block) {
    static const unsigned char offsets[16] = {0,  2,  4,  6,  9,  11, 14, 16,
                                              19, 21, 24, 26, 28, 30, 32, 34};
    if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return false;
    unsigned char net[16];
    for (unsigned int i = 0; i < 16; ++i) {
        if (!hexByte(text + offsets[i], net[i]))
            return false;
    }
    networkToBlock(net, block);
    return true;
}

// The old form, 6ba7b8109dad.80.b4.00.c0.4f.d4.30.c8: time_low, time_mid,
// then eight bytes from byte 8 on; time_hi_and_version is zero.
bool parseOld(const char* text, unsigned char* block) {
    unsigned char net[6];
    for (unsigned int i = 0; i < 6; ++i) {
        if (!hexByte(text + 2 * i, net[i]))
            return false;
    }
    unsigned char rest[8];
    for (unsigned int i = 0; i < 8; ++i) {
        const char* p = text + 12 + 3 * i;
        if (p[0] != '.' || !hexByte(p + 1, rest[i]))
            return false;
    }
    std::uint32_t low = getBE(net, 4);
    std::uint16_t mid = static_cast<std::uint16_t>(getBE(net + 4, 2));
    std::memcpy(block, &low, 4);
    std::memcpy(block + 4, &mid, 2);
    block[6] = block[7] = 0;
    std::memcpy(block + 8, rest, 8);
    return true;
}

bool parse(const char* text, unsigned char* block) {
    if (!text || *text == '\0') {
        std::memset(block, 0, 16);
        return true;
    }
    if (std::strlen(text) != 36)
        return false;
    bool parsed = text[8] == '-' ? parseCurrent(text, block) : parseOld(text, block);
    return parsed && !isReserved(block);
}

} // namespace

UUID::UUID(bool generate) {
    if (generate)
        allocate();
    else
        null();
}

UUID::UUID(const String& text) {
    *this = text;
}

UUID::UUID(const char* text) {
    *this = text;
}

UUID::UUID(const unsigned char* bytes) {
    null();
    *this << bytes;
}

UUID::UUID(const UUID& other) {
    *this = other;
}

UUID::~UUID() {
    freeIt();
}

void UUID::freeIt() {
    delete[] block;
    block = nullptr;
}

bool UUID::store(const unsigned char* block16) {
    unsigned char* fresh = new (std::nothrow) unsigned char[16];
    if (fresh)
        std::memcpy(fresh, block16, 16);
    delete[] block;
    block = fresh;
    return fresh != nullptr;
}

void UUID::null() {
    store(zeroBlock);
}

// libuuid hands out network-order bytes of the RFC 4122 variant; the loop only
// guards the promise that a generated identifier is never null or reserved.
void UUID::allocate() {
    unsigned char fresh[16];
    do {
        uuid_t generated;
        uuid_generate(generated);
        networkToBlock(generated, fresh);
    } while (isReserved(fresh) || std::memcmp(fresh, zeroBlock, 16) == 0);
    store(fresh);
}

UUID& UUID::operator=(const UUID& other) {
    if (&other != this)
        store(other.data());
    return *this;
}

UUID& UUID::operator=(const String& text) {
    return *this = text.getValue();
}

UUID& UUID::operator=(const char* text) {
    unsigned char parsed[16];
    if (parse(text, parsed))
        store(parsed);
    else
        null();
    return *this;
}

const unsigned char* UUID::data() const {
    return block ? block : zeroBlock;
}

bool UUID::reserved() const {
    return isReserved(data());
}

bool UUID::isSet() const {
    return std::memcmp(data(), zeroBlock, 16) != 0;
}

// DCE's Fletcher-style checksum over the block bytes, with 16-bit sums that
// wrap and remainders taken as integer division truncates.
unsigned short UUID::getHash() const {
    const unsigned char* b = data();
    std::int16_t c0 = 0;
    std::int16_t c1 = 0;
    for (unsigned int i = 0; i < 16; ++i) {
        c0 = static_cast<std::int16_t>(c0 + b[i]);
        c1 = static_cast<std::int16_t>(c1 + c0);
    }
    int x = -c1 % 255;
    if (x < 0)
        x += 255;
    int y = (c1 - c0) % 255;
    if (y < 0)
        y += 255;
    return static_cast<unsigned short>(y * 256 + x);
}

void UUID::toNetwork(unsigned char* out) const {
    const unsigned char* b = data();
    putBE(out, timeLow(b), 4);
    putBE(out + 4, field16(b + 4), 2);
    putBE(out + 6, field16(b + 6), 2);
    std::memcpy(out + 8, b + 8, 8);
}

void UUID::fromNetwork(const unsigned char* in) {
    unsigned char fresh[16];
    networkToBlock(in, fresh);
    store(fresh);
}

bool UUID::format(char* text) const {
    static const char digits[] = "0123456789abcdef";
    if (reserved())
        return false;
    unsigned char net[16];
    toNetwork(net);
    char* p = text;
    for (unsigned int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            *p++ = '-';
        *p++ = digits[net[i] >> 4];
        *p++ = digits[net[i] & 0xF];
    }
    *p = '\0';
    return true;
}

void UUID::getString(String& out) const {
    char text[37];
    out = format(text) ? text : "";
}

unsigned char* UUID::getBytes() const {
    char text[37];
    if (!format(text))
        return nullptr;
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(sizeof text));
    if (copy)
        std::memcpy(copy, text, sizeof text);
    return copy;
}

bool UUID::operator==(const UUID& other) const {
    return !reserved() && !other.reserved() && std::memcmp(data(), other.data(), 16) == 0;
}

int UUID::compareTo(const UUID& other) const {
    if (reserved() || other.reserved())
        return -1;
    const unsigned char* a = data();
    const unsigned char* b = other.data();
    auto order = [](auto x, auto y) { return x < y ? -1 : x > y ? 1 : 0; };
    if (int c = order(timeLow(a), timeLow(b)))
        return c;
    if (int c = order(field16(a + 4), field16(b + 4)))
        return c;
    if (int c = order(field16(a + 6), field16(b + 6)))
        return c;
    for (unsigned int i = 8; i < 10; ++i) {
        if (int c = order(a[i], b[i]))
            return c;
    }
    // DCE compares the node bytes as plain (signed) chars.
    for (unsigned int i = 10; i < 16; ++i) {
        if (int c = order(static_cast<signed char>(a[i]), static_cast<signed char>(b[i])))
            return c;
    }
    return 0;
}

UUID& UUID::operator<<(const unsigned char* bytes) {
    if (bytes)
        fromNetwork(bytes);
    return *this;
}

const UUID& UUID::operator>>(unsigned char* bytes) const {
    if (bytes)
        toNetwork(bytes);
    return *this;
}

String& operator<<(String& out, const UUID& id) {
    char text[37];
    if (id.format(text))
        out += text;
    return out;
}

Stream& operator<<(Stream& s, const UUID& id) {
    unsigned char net[16];
    id >> net;
    s.put(net, 16);
    return s;
}

Stream& operator>>(Stream& s, UUID& id) {
    unsigned char net[16];
    s.get(net, 16);
    if (s.ok())
        id << net;
    return s;
}

} // namespace hvc_util
