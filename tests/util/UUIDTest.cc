#include <hvc_util/Stream.h>
#include <hvc_util/String.h>
#include <hvc_util/UUID.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using hvc_util::Stream;
using hvc_util::String;
using hvc_util::UUID;

namespace {

const char* const sample = "6ba7b810-9dad-11d1-80b4-00c04fd430c8";

std::string textOf(const UUID& id) {
    String s;
    id.getString(s);
    return s.getValue();
}

UUID fromBytes(std::vector<unsigned char> bytes) {
    return UUID(bytes.data());
}

} // namespace

TEST(UUID, TextRoundTripsInBothForms) {
    UUID id(sample);
    EXPECT_EQ(sample, textOf(id));
    EXPECT_EQ(sample, textOf(UUID("6BA7B810-9DAD-11D1-80B4-00C04FD430C8")));
    EXPECT_TRUE(UUID(String(sample)) == id);

    String appended("id=");
    appended << id;
    EXPECT_STREQ("id=6ba7b810-9dad-11d1-80b4-00c04fd430c8", appended.getValue());
    unsigned char* bytes = id.getBytes();
    EXPECT_STREQ(sample, reinterpret_cast<char*>(bytes));
    std::free(bytes);
    EXPECT_EQ("00000000-0000-0000-0000-000000000000", textOf(UUID::nullID));

    // The old dotted form: no time_hi_and_version, eight bytes from byte 8.
    EXPECT_EQ("6ba7b810-9dad-0000-80b4-00c04fd430c8",
              textOf(UUID("6ba7b8109dad.80.b4.00.c0.4f.d4.30.c8")));
}

TEST(UUID, MalformedTextsGiveTheNullIdentifier) {
    const char* bad[] = {
        "6ba7b810-9dad-11d1-80b4-00c04fd430c",   // 35 characters
        "6ba7b810-9dad-11d1-80b4-00c04fd430c8a", // 37
        "6ba7b810-9dad-11d1-80b4-00c04fd430cg",  // not hexadecimal
        "6ba7b810-9dad-11d1-e0b4-00c04fd430c8",  // reserved variant
        "6ba7b810-9dad-11d1-f0b4-00c04fd430c8",
        "+ba7b810-9dad-11d1-80b4-00c04fd430c8", // what a lenient %x lets in
        " ba7b810-9dad-11d1-80b4-00c04fd430c8",
        "6ba7b810-0x1d-11d1-80b4-00c04fd430c8",
        "6ba7b8109dad.e0.b4.00.c0.4f.d4.30.c8", // old form, reserved
        "6ba7b8109dad.80.b4.00.c0.4f.d4.30-c8",
        "",
        nullptr,
    };
    for (const char* text : bad) {
        UUID id(sample);
        id = text;
        EXPECT_FALSE(id.isSet()) << (text ? text : "null");
    }
    EXPECT_TRUE(UUID("6ba7b810-9dad-11d1-dfb4-00c04fd430c8").isSet()) << "0xDF is valid";
}

TEST(UUID, ByteFormIsNetworkOrder) {
    const unsigned char net[16] = {0x6b, 0xa7, 0xb8, 0x10, 0x9d, 0xad, 0x11, 0xd1,
                                   0x80, 0xb4, 0x00, 0xc0, 0x4f, 0xd4, 0x30, 0xc8};
    UUID id(sample);
    Stream s;
    s << id;
    ASSERT_EQ(16u, s.tellWrite());
    EXPECT_EQ(0, std::memcmp(net, s.getBuffer(false), 16));
    UUID back;
    s >> back;
    EXPECT_TRUE(s.ok() && back == id);
    unsigned char out[16];
    id >> out;
    EXPECT_EQ(0, std::memcmp(net, out, 16));
    EXPECT_TRUE(UUID(net) == id);

    Stream shortOne(15, reinterpret_cast<char*>(out), true, true);
    shortOne >> id;
    EXPECT_TRUE(shortOne.fail());
    EXPECT_EQ(sample, textOf(id)) << "a short stream leaves the target alone";
}

TEST(UUID, ReservedVariantIsRejectedEverywhere) {
    std::vector<unsigned char> bytes(16, 0x11);
    bytes[8] = 0xE0;
    UUID reserved = fromBytes(bytes);
    UUID other(sample);
    EXPECT_TRUE(reserved.isSet());
    EXPECT_EQ("", textOf(reserved));
    EXPECT_EQ(nullptr, reserved.getBytes());
    EXPECT_FALSE(reserved == reserved);
    EXPECT_TRUE(reserved < other && other < reserved);
    EXPECT_FALSE(reserved > other || reserved >= other);
    String out("x");
    out << reserved;
    EXPECT_STREQ("x", out.getValue());

    unsigned char raw[16];
    reserved >> raw;
    EXPECT_EQ(0, std::memcmp(bytes.data(), raw, 16)) << "the byte form carries it unchecked";
}

TEST(UUID, OrderIsFieldByFieldWithSignedNodeBytes) {
    EXPECT_TRUE(UUID("00000000-0000-0000-0000-800000000000") <
                UUID("00000000-0000-0000-0000-7f0000000000"));
    // Every other field is unsigned, the most significant field first.
    const char* ascending[] = {
        "00000000-0000-0000-0000-000000000000", "00000000-0000-0000-0000-000000000001",
        "00000000-0000-0000-0001-000000000000", "00000000-0000-0000-7f00-000000000000",
        "00000000-0000-0000-8000-000000000000", "00000000-0000-0001-0000-000000000000",
        "00000000-0000-8000-0000-000000000000", "00000000-ff00-0000-0000-000000000000",
        "7fffffff-0000-0000-0000-000000000000", "80000000-0000-0000-0000-000000000000",
    };
    for (std::size_t i = 0; i + 1 < std::size(ascending); ++i) {
        UUID a(ascending[i]), b(ascending[i + 1]);
        EXPECT_TRUE(a < b && b > a && a <= b && b >= a && a != b) << ascending[i];
    }
    UUID x(sample), y(sample);
    EXPECT_TRUE(x == y && x <= y && x >= y && !(x < y) && !(x > y));
}

TEST(UUID, HashExamples) {
    EXPECT_EQ(0u, UUID::nullID.getHash());
    // The hash runs over the block, where the first three fields are in host
    // order; these network bytes make the block 00 01 02 ... 0f.
    EXPECT_EQ(0x3255u, fromBytes({3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15}).getHash());
    EXPECT_EQ(0xFE01u, fromBytes(std::vector<unsigned char>(16, 0xFF)).getHash());
}

TEST(UUID, GeneratedIdentifiersAreFreshAndValid) {
    UUID a(true), b(true);
    EXPECT_TRUE(a.isSet() && b.isSet());
    EXPECT_FALSE(a == b);
    for (const UUID* id : {&a, &b}) {
        std::string text = textOf(*id);
        ASSERT_EQ(36u, text.size());
        EXPECT_NE(std::string::npos, std::string("89ab").find(text[19])) << text;
    }
}

TEST(UUID, CopiesOwnTheirBlocks) {
    UUID a(sample);
    UUID b(a);
    b = "00000000-0000-0000-0000-000000000001";
    a = a;
    EXPECT_EQ(sample, textOf(a));

    // A released block reads as the null identifier and can be refilled.
    a.freeIt();
    EXPECT_TRUE(a == UUID::nullID);
    Stream s;
    s << b;
    s >> a;
    EXPECT_TRUE(a == b);
}

// Every digit value at every position of the text, beside the text printf
// makes of the same bytes; printing replaces the whole target and appending
// keeps what was there.
TEST(UUID, TextFormMatchesTheByteFormDigitForDigit) {
    for (unsigned int k = 0; k < 256; ++k) {
        std::vector<unsigned char> bytes(16);
        for (unsigned int i = 0; i < 16; ++i)
            bytes[i] = static_cast<unsigned char>(k + i * 17);
        bytes[8] &= 0xBF; // a valid variant
        char expected[37];
        std::snprintf(expected, sizeof expected,
                      "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                      bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6],
                      bytes[7], bytes[8], bytes[9], bytes[10], bytes[11], bytes[12], bytes[13],
                      bytes[14], bytes[15]);
        UUID id = fromBytes(bytes);
        ASSERT_EQ(expected, textOf(id));
        ASSERT_TRUE(UUID(expected) == id);
        for (char& c : expected)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        ASSERT_TRUE(UUID(expected) == id);
    }

    String target;
    target << "a text longer than any identifier's, built by appends";
    UUID(sample).getString(target);
    EXPECT_STREQ(sample, target.getValue());
    EXPECT_EQ(36u, target.sizeOf());
    UUID reserved("6ba7b810-9dad-11d1-80b4-00c04fd430c8");
    unsigned char net[16];
    reserved >> net;
    net[8] = 0xE0;
    reserved << net;
    reserved.getString(target);
    EXPECT_STREQ("", target.getValue());
    EXPECT_NE(String().getValue(), target.getValue()) << "empty, not unset";

    String list;
    for (int i = 0; i < 3; ++i)
        list << UUID(sample) << ',';
    list << reserved;
    EXPECT_EQ(3u * 37u, list.lengthOf());
    EXPECT_EQ(std::string(sample) + "," + sample + "," + sample + ",", list.getValue());
}
