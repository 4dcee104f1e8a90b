#include <hvc_util/Stream.h>
#include <hvc_util/String.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

using hvc_util::Stream;
using hvc_util::String;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(Stream& s) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s.getBuffer(false));
    return Bytes(p, p + s.tellWrite());
}

template <class T, class = void> struct Writable : std::false_type {};
template <class T>
struct Writable<T, std::void_t<decltype(std::declval<Stream&>() << std::declval<T>())>>
    : std::true_type {};

// A pointer that is not a text must not slip through as a bool.
static_assert(!Writable<const unsigned char*>::value && !Writable<int*>::value);
static_assert(Writable<char*>::value);

} // namespace

TEST(Stream, NumbersAreLittleEndianExceptFloat) {
    Stream s;
    s << 1 << static_cast<short>(-2) << 1.0f << 1.0 << true << false
      << static_cast<std::int64_t>(0x0102030405060708);
    EXPECT_EQ((Bytes{1, 0, 0,    0,    0xFE, 0xFF, 0x3F, 0x80, 0, 0, 0, 0, 0, 0,
                     0, 0, 0xF0, 0x3F, 1,    0,    8,    7,    6, 5, 4, 3, 2, 1}),
              bytesOf(s));

    // Arrays: each element as its single form, no count; floats reversed.
    Stream a;
    const float floats[] = {1.0f, -2.0f};
    const int ints[] = {1, -1};
    const bool bools[] = {true, false};
    a.put(floats, 2);
    a.put(ints, 2);
    a.put(bools, 2);
    a.put(static_cast<const int*>(nullptr), 4);
    a.put(ints, 0);
    EXPECT_EQ((Bytes{0x3F, 0x80, 0, 0, 0xC0, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0}),
              bytesOf(a));
    float fo[2];
    int io[2];
    a.get(fo, 2);
    a.get(io, 2);
    EXPECT_TRUE(a.ok() && fo[1] == -2.0f && io[1] == -1);
}

TEST(Stream, BoolsReadBackDifferentlyOneByOneAndAsArrays) {
    char raw[] = {1, 2, 2};
    Stream s(3, raw, true, true);
    bool b[2] = {false, true};
    s.get(b, 2);
    EXPECT_TRUE(b[0]);
    EXPECT_FALSE(b[1]) << "only exactly 1 is true in an array";
    bool one = false;
    s >> one;
    EXPECT_TRUE(one);
    one = false;
    s >> one;
    EXPECT_TRUE(s.fail());
    EXPECT_FALSE(one) << "target left alone on failure";
}

TEST(Stream, TextsAreLengthPrefixed) {
    Stream s;
    s << "abc" << static_cast<const char*>(nullptr) << String() << String("") << String("de");
    EXPECT_EQ((Bytes{3, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0,   0,  0,
                     0, 0, 0, 0, 0,   0,   2,   0, 0, 0, 'd', 'e'}),
              bytesOf(s));

    char* text = nullptr;
    s >> text;
    EXPECT_STREQ("abc", text);
    s >> text;
    EXPECT_STREQ("", text);
    String unset, wasSet("old"), de;
    s >> unset >> wasSet >> de;
    EXPECT_EQ(String().getValue(), unset.getValue()) << "an empty text keeps an unset string unset";
    EXPECT_STREQ("", wasSet.getValue());
    EXPECT_NE(String().getValue(), wasSet.getValue());
    EXPECT_STREQ("de", de.getValue());
    EXPECT_EQ(2u, de.sizeOf());
    EXPECT_TRUE(s.ok() && s.eof());

    // Failed reads leave empty texts and the flag set.
    s >> text;
    EXPECT_TRUE(s.fail());
    EXPECT_STREQ("", text);
    std::free(text);
    String target("keep?");
    s >> target;
    EXPECT_TRUE(s.fail());
    EXPECT_STREQ("", target.getValue());
}

TEST(Stream, ShortReadsTakeNothingAndSetTheFlag) {
    char raw[] = {1, 2, 3};
    Stream s(3, raw, true, true);
    int i = 77;
    s >> i;
    EXPECT_TRUE(s.fail() && !s.ok());
    EXPECT_EQ(77, i);
    EXPECT_EQ(0u, s.getRead());
    char c = 0;
    s.get(c);
    EXPECT_TRUE(s.ok()) << "a successful read clears the flag";
    EXPECT_EQ(1, c);

    short arr[2] = {9, 9};
    s.get(arr, 2);
    EXPECT_TRUE(s.fail());
    EXPECT_EQ(9, arr[0]);
    EXPECT_EQ(1u, s.getRead());
    s.get(arr, 0);
    EXPECT_TRUE(s.fail()) << "an empty request leaves the flag";
    s.get(arr, 1);
    EXPECT_TRUE(s.ok() && s.eof());
    EXPECT_EQ(0x0302, arr[0]);
}

TEST(Stream, CorruptLengthsFailWithoutAllocating) {
    // A length of 4 GB - 1 over three bytes of body.
    char raw[] = {'\xff', '\xff', '\xff', '\xff', 'a', 'b', 'c'};
    Stream s(7, raw, true, true);
    char* text = nullptr;
    s >> text;
    EXPECT_TRUE(s.fail());
    EXPECT_STREQ("", text);
    EXPECT_EQ(4u, s.getRead()) << "the length has been consumed";
    std::free(text);

    s.resetRead();
    String str("x");
    s >> str;
    EXPECT_TRUE(s.fail());
    EXPECT_STREQ("", str.getValue());

    s.resetRead();
    char* kept = nullptr;
    s.getString(kept, 10);
    EXPECT_TRUE(s.fail());
    EXPECT_EQ(nullptr, kept);

    s.resetRead();
    Stream inner(2, nullptr, false, true);
    s >> inner;
    EXPECT_TRUE(s.fail());
    EXPECT_EQ(2u, inner.getSize()) << "target untouched";
}

TEST(Stream, GrowthDoublesFromFourAndSetSizeCuts) {
    Stream s;
    s << 1;
    EXPECT_EQ(4u, s.getSize());
    s << 2;
    EXPECT_EQ(8u, s.getSize());
    s << 3 << 4;
    EXPECT_EQ(16u, s.getSize());
    EXPECT_EQ(0u, s.getFree());

    Stream big;
    char block[100] = {};
    big.put(block, 100);
    EXPECT_EQ(128u, big.getSize());

    // Free room is reckoned against the old capacity: 8 of 8 written, 4 more
    // wanted, one doubling.
    Stream t(8, nullptr, false, true);
    t << 1;
    EXPECT_EQ(16u, t.getSize());

    Stream f;
    int i;
    f >> i;
    f << 'a';
    EXPECT_TRUE(f.ok()) << "growing clears the fail flag";

    Stream z;
    z.setSize(10);
    EXPECT_EQ(16u, z.getSize());
    z << 1 << 2;
    z >> i;
    z.setSize(3);
    EXPECT_EQ(3u, z.getSize());
    EXPECT_EQ(3u, z.tellWrite());
    EXPECT_EQ(3u, z.getRead());
    z.setSize(0);
    EXPECT_EQ(nullptr, z.getBuffer(false));
}

TEST(Stream, SeekReadOnlyMovesBack) {
    Stream s;
    s << 1 << 2 << 3;
    int i;
    s >> i >> i;
    s.seekRead(4, Stream::fromCurrent);
    EXPECT_EQ(8u, s.getRead());
    s.seekRead(-4, Stream::fromCurrent);
    EXPECT_EQ(4u, s.getRead());
    s.seekRead(-100, Stream::fromCurrent);
    EXPECT_EQ(0u, s.getRead()) << "clamped to the start";
    s >> i >> i;
    s.seekRead(0, Stream::fromStart);
    EXPECT_EQ(0u, s.getRead());
    s >> i >> i;
    // From the end of the buffer (capacity 16), not of the data (12).
    s.seekRead(-10, Stream::fromEnd);
    EXPECT_EQ(6u, s.getRead());
    s.seekRead(-5, Stream::fromEnd);
    EXPECT_EQ(6u, s.getRead());
}

TEST(Stream, GetStringCutsButConsumesTheWholeText) {
    Stream s;
    s << "hello" << 'x';
    char* text = nullptr;
    s.getString(text, 3);
    EXPECT_STREQ("he", text);
    EXPECT_EQ(9u, s.getRead());
    std::free(text);

    s.resetRead();
    char area[16];
    std::memset(area, '#', sizeof area);
    char* into = area;
    s.getString(into, sizeof area);
    EXPECT_EQ(area, into);
    EXPECT_STREQ("hello", area);

    s.resetRead();
    s.getString(into, 0);
    EXPECT_EQ(0u, s.getRead());
}

TEST(Stream, StreamInStreamConsumesTheInserted) {
    Stream b;
    b << 5 << 'q';
    int v;
    b >> v; // the read position does not matter: all written bytes go
    Stream a;
    a << b;
    EXPECT_EQ(0u, b.getSize());
    EXPECT_EQ((Bytes{5, 0, 0, 0, 5, 0, 0, 0, 'q'}), bytesOf(a));
    a << a;
    EXPECT_EQ(9u, a.tellWrite()) << "a stream written into itself is left as it is";

    Stream c;
    a >> c;
    EXPECT_TRUE(a.ok());
    EXPECT_EQ(5u, c.getSize());
    EXPECT_EQ(5u, c.getUnread());
    char q;
    c >> v >> q;
    EXPECT_TRUE(v == 5 && q == 'q');

    Stream empty, holder, target(8, nullptr, false, true);
    holder << empty;
    holder >> target;
    EXPECT_EQ(0u, target.getSize()) << "an empty block leaves the target empty";

    // A block read into the stream it comes from.
    Stream self, inner;
    inner << 42;
    self << inner;
    self >> self;
    self >> v;
    EXPECT_EQ(42, v);
    EXPECT_TRUE(self.eof());
}

TEST(Stream, BuffersAreCopiedAdoptedAndHandedOver) {
    Stream empty(10, nullptr, false, false);
    EXPECT_EQ(10u, empty.getSize());
    EXPECT_FALSE(empty.isUsed());

    char raw[] = {1, 2, 3, 4};
    Stream copied(4, raw, true, true);
    EXPECT_NE(raw, copied.getBuffer(false));
    EXPECT_EQ(4u, copied.getUnread());

    char* mine = static_cast<char*>(std::malloc(4));
    std::memcpy(mine, raw, 4);
    Stream adopted(4, mine, false, true);
    EXPECT_EQ(mine, adopted.getBuffer(false));
    int i;
    adopted >> i;

    // Copies keep positions; a move leaves the source empty.
    Stream copy(adopted);
    EXPECT_NE(mine, copy.getBuffer(false));
    EXPECT_EQ(4u, copy.getRead());
    Stream moved(adopted, false);
    EXPECT_EQ(mine, moved.getBuffer(false));
    EXPECT_EQ(nullptr, adopted.getBuffer(false));
    EXPECT_EQ(4u, moved.getRead());
    Stream assigned;
    assigned = moved;
    assigned = assigned;
    assigned.resetRead();
    assigned >> i;
    EXPECT_EQ(0x04030201, i);
    char* out = moved.getBuffer(true);
    EXPECT_EQ(mine, out);
    EXPECT_EQ(0u, moved.getSize());
    std::free(out);

    // A kept buffer has capacity 0 and is replaced by the next growth.
    Stream kept;
    kept << 1;
    kept.reset(false);
    EXPECT_EQ(0u, kept.getSize());
    kept << 2;
    EXPECT_EQ(4u, kept.getSize());
    // Given its own bytes again, a stream copies them before it lets go.
    kept.setBuffer(4, kept.getBuffer(false), true, true);
    kept >> i;
    EXPECT_EQ(2, i);
}

namespace {

// A single-value read at the edge: one byte short fails and leaves the target
// and the read position; enough bytes succeed and take exactly the value.
template <class T> void checkEdge(T written) {
    Stream s;
    s << written;
    s.setSize(sizeof(T) - 1);
    T target = T(7);
    s >> target;
    EXPECT_TRUE(s.fail()) << sizeof(T);
    EXPECT_EQ(T(7), target);
    EXPECT_EQ(0u, s.getRead());
    Stream whole;
    whole << written;
    whole.put(static_cast<char>(0x55));
    whole >> target;
    EXPECT_TRUE(whole.ok());
    EXPECT_EQ(written, target);
    EXPECT_EQ(sizeof(T), whole.getRead());
    EXPECT_EQ(1u, whole.getUnread());
}

} // namespace

TEST(Stream, SingleValuesFailAtTheEdgeAndRoundTrip) {
    checkEdge<short>(-12345);
    checkEdge<unsigned short>(54321);
    checkEdge<int>(-123456789);
    checkEdge<unsigned int>(4000000000u);
    checkEdge<std::int64_t>(-1234567890123456789);
    checkEdge<std::uint64_t>(0xFEDCBA9876543210u);
    checkEdge<double>(-0.1);
    checkEdge<float>(3.25f);

    // Many values through the inline paths, growing the buffer on the way.
    Stream s;
    for (int i = 0; i < 1000; ++i)
        s << i * -7 << static_cast<double>(i) / 3 << static_cast<short>(i) << (i % 3 == 0)
          << static_cast<char>(i) << static_cast<float>(i) * 0.5f;
    EXPECT_EQ(1000u * (4 + 8 + 2 + 1 + 1 + 4), s.tellWrite());
    for (int i = 0; i < 1000; ++i) {
        int n = 0;
        double d = 0;
        short h = 0;
        bool b = false;
        char c = 0;
        float f = 0;
        s >> n >> d >> h >> b >> c >> f;
        ASSERT_TRUE(s.ok());
        ASSERT_TRUE(n == i * -7 && d == static_cast<double>(i) / 3 && h == i && b == (i % 3 == 0) &&
                    c == static_cast<char>(i) && f == i * 0.5f)
            << i;
    }
    EXPECT_TRUE(s.eof());
}
