#include <hvc_util/UUID.h>

#include <hvc_util/Stream.h>
#include <hvc_util/String.h>

#include <uuid/uuid.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hvc_util {

const UUID UUID::nullID;

namespace {

const unsigned char zeroBlock[16] = {};

// Where the hex digits of each network-order byte stand in the text form.
constexpr unsigned char textOffsets[16] = {0,  2,  4,  6,  9,  11, 14, 16,
                                           19, 21, 24, 26, 28, 30, 32, 34};

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

// The host-order block layout to network order.
void blockToNetwork(const unsigned char* block, unsigned char* out) {
    putBE(out, timeLow(block), 4);
    putBE(out + 4, field16(block + 4), 2);
    putBE(out + 6, field16(block + 6), 2);
    std::memcpy(out + 8, block + 8, 8);
}

bool isReserved(const unsigned char* block) {
    return block[8] >= 0xE0;
}

// The 32 lower-case hex digits of a block's bytes in network order, two per
// byte, most significant first: every nibble is spread into a byte of its
// own and turned into its digit at once, sixteen at a time with SSE2 (which
// every x86-64 has), else eight at a time in a 64-bit word.
#if defined(__SSE2__)
// x86 is little-endian: the network order of the three numbers of the block
// is their bytes reversed. The bytes go straight into a register; storing
// them first would make the wide load wait for the narrow stores.
void hexDigits(const unsigned char* block, char* digits) {
    std::uint64_t numbers = std::uint64_t{__builtin_bswap32(timeLow(block))} |
                            std::uint64_t{__builtin_bswap16(field16(block + 4))} << 32 |
                            std::uint64_t{__builtin_bswap16(field16(block + 6))} << 48;
    std::uint64_t bytes;
    std::memcpy(&bytes, block + 8, 8);
    __m128i in = _mm_set_epi64x(static_cast<long long>(bytes), static_cast<long long>(numbers));
    const __m128i nibble = _mm_set1_epi8(0x0F);
    __m128i high = _mm_and_si128(_mm_srli_epi16(in, 4), nibble);
    __m128i low = _mm_and_si128(in, nibble);
    __m128i halves[2] = {_mm_unpacklo_epi8(high, low), _mm_unpackhi_epi8(high, low)};
    for (unsigned int i = 0; i < 2; ++i) {
        __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(halves[i], _mm_set1_epi8(9)),
                                        _mm_set1_epi8('a' - '0' - 10));
        __m128i text = _mm_add_epi8(_mm_add_epi8(halves[i], _mm_set1_epi8('0')), letters);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(digits + 16 * i), text);
    }
}
#else
void hexDigits(const unsigned char* block, char* digits) {
    unsigned char net[16];
    blockToNetwork(block, net);
    for (unsigned int i = 0; i < 4; ++i) {
        const unsigned char* p = net + 4 * i;
        std::uint64_t x =
            std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
        x = (x & 0xFFFF0000u) << 16 | (x & 0x0000FFFFu);
        x = (x & 0x0000FF000000FF00u) << 8 | (x & 0x000000FF000000FFu);
        x = (x & 0x00F000F000F000F0u) << 4 | (x & 0x000F000F000F000Fu);
        std::uint64_t letters = ((x + 0x0606060606060606u) >> 4) & 0x0101010101010101u;
        x += 0x3030303030303030u + letters * ('a' - '0' - 10);
        for (unsigned int j = 0; j < 8; ++j)
            digits[8 * i + j] = static_cast<char>(x >> (8 * (7 - j)));
    }
}
#endif

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
    if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return false;
    unsigned char net[16];
    for (unsigned int i = 0; i < 16; ++i) {
        if (!hexByte(text + textOffsets[i], net[i]))
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
    blockToNetwork(data(), out);
}

void UUID::fromNetwork(const unsigned char* in) {
    unsigned char fresh[16];
    networkToBlock(in, fresh);
    store(fresh);
}

// 8-4-4-4-12 digits of the network-order bytes.
void UUID::format(char* text) const {
    char digits[32];
    hexDigits(data(), digits);
    std::memcpy(text, digits, 8);
    text[8] = '-';
    std::memcpy(text + 9, digits + 8, 4);
    text[13] = '-';
    std::memcpy(text + 14, digits + 12, 4);
    text[18] = '-';
    std::memcpy(text + 19, digits + 16, 4);
    text[23] = '-';
    std::memcpy(text + 24, digits + 20, 12);
    text[36] = '\0';
}

void UUID::getString(String& out) const {
    if (reserved())
        out = "";
    else if (char* text = out.assignArea(36))
        format(text);
}

unsigned char* UUID::getBytes() const {
    if (reserved())
        return nullptr;
    char* text = static_cast<char*>(std::malloc(37));
    if (text)
        format(text);
    return reinterpret_cast<unsigned char*>(text);
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

void UUID::appendTo(String& out) const {
    if (!reserved()) {
        if (char* text = out.appendArea(36))
            format(text);
    }
}

String& operator<<(String& out, const UUID& id) {
    id.appendTo(out);
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
