#include <hvc_util/String.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

using hvc_util::String;

namespace {

std::string text(const String& s) {
    return s.getValue();
}

} // namespace

TEST(String, ThreeStatesAreToldApart) {
    String unset;
    EXPECT_FALSE(unset.isSet());
    EXPECT_EQ(0u, unset.sizeOf());
    EXPECT_STREQ("", unset.getValue());

    String empty;
    empty = "";
    EXPECT_FALSE(empty.isSet());
    EXPECT_EQ(0u, empty.lengthOf());
    EXPECT_EQ(0u, empty.sizeOf());
    // A buffer of its own, not the shared empty text.
    EXPECT_NE(unset.getValue(), empty.getValue());

    String fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(unset.getValue(), fromNull.getValue());
    String copyOfUnset(unset);
    EXPECT_NE(unset.getValue(), copyOfUnset.getValue()) << "a copy of an unset string is empty";

    EXPECT_EQ(unset.getValue(), String(0u).getValue());
    EXPECT_NE(unset.getValue(), String(0u, 'x').getValue());
    EXPECT_EQ("xxx", text(String(3u, 'x')));

    String s("hello");
    s = static_cast<const char*>(nullptr);
    EXPECT_NE(unset.getValue(), s.getValue());
    EXPECT_EQ(0u, s.sizeOf());
    s.reset();
    EXPECT_EQ(unset.getValue(), s.getValue());
}

TEST(String, BuffersAreRefittedExactly) {
    String s("hello");
    EXPECT_EQ(5u, s.sizeOf());
    s = "";
    EXPECT_EQ(0u, s.sizeOf());
    s = "hi";
    EXPECT_EQ(2u, s.sizeOf());

    String reserved(5u);
    EXPECT_EQ(5u, reserved.sizeOf());
    EXPECT_EQ(0u, reserved.lengthOf());
    reserved += "ab";
    EXPECT_EQ(2u, reserved.sizeOf());
    EXPECT_EQ("ab", text(reserved));

    // Removal keeps the buffer; the next append fits it again.
    String r("abcdef");
    EXPECT_TRUE(r.removeFirst("cd"));
    EXPECT_EQ("abef", text(r));
    EXPECT_EQ(6u, r.sizeOf());
    r += 'g';
    EXPECT_EQ("abefg", text(r));
    EXPECT_EQ(5u, r.sizeOf());
}

TEST(String, AppendingAndInserting) {
    String unset;
    unset += "";
    unset += static_cast<const char*>(nullptr);
    EXPECT_EQ(String().getValue(), unset.getValue()) << "appending nothing keeps it unset";
    unset += 'c';
    EXPECT_EQ("c", text(unset));

    String n;
    n << 7u << ' ' << -3 << ' ' << 2.5;
    EXPECT_EQ("7 -3 2.500000", text(n));
    String widened;
    widened << static_cast<short>(-1) << static_cast<unsigned short>(65535) << 1.5f;
    EXPECT_EQ("-1655351.500000", text(widened));

    // Numbers whose text exceeds the 31-character area are appended whole.
    String big;
    big << 1e30;
    EXPECT_EQ("1000000000000000019884624838656.000000", text(big));

    String s("world");
    s.insertAtStart("hello ");
    EXPECT_EQ("hello world", text(s));
    s.insertAtStart("");
    EXPECT_EQ("hello world", text(s));

    String a("ab");
    String b = a + "cd";
    EXPECT_EQ("abcd", text(b));
    EXPECT_EQ("ab", text(a));
    EXPECT_EQ("abab", text(a + a));
    EXPECT_EQ("", text(String() + String()));
}

TEST(String, OwnTextCanBeAssignedAppendedAndInserted) {
    String s("abc");
    s += s;
    EXPECT_EQ("abcabc", text(s));
    s += s.getValue() + 4;
    EXPECT_EQ("abcabcbc", text(s));
    s.insertAtStart(s.getValue() + 6);
    EXPECT_EQ("bcabcabcbc", text(s));
    s = s.getValue() + 2;
    EXPECT_EQ("abcabcbc", text(s));
    s = s;
    EXPECT_EQ("abcabcbc", text(s));
    s << s;
    EXPECT_EQ("abcabcbcabcabcbc", text(s));

    // A source lying behind the terminator of a shortened text.
    String t("ab_cdef");
    t[2] = '\0';
    t += t.getValue() + 3;
    EXPECT_EQ("abcdef", text(t));
}

TEST(String, SetValueAdoptsTheBuffer) {
    char* p = static_cast<char*>(std::malloc(10));
    std::strcpy(p, "abc");
    String s;
    s.setValue(p);
    EXPECT_EQ(p, s.getValue());
    EXPECT_EQ(3u, s.sizeOf());
    s.setValue(nullptr);
    EXPECT_EQ(String().getValue(), s.getValue());

    String* heap = new String("x");
    String::destroy(heap);
    String::destroy(nullptr);
}

TEST(String, EqualityAndOrderAreAsymmetricAtUnsetAndEmpty) {
    String unset;
    String empty("");
    String abc("abc");

    EXPECT_TRUE(unset == empty);
    EXPECT_TRUE(unset == static_cast<const char*>(nullptr));
    EXPECT_FALSE(empty == unset);
    EXPECT_TRUE(empty != unset);
    EXPECT_TRUE(empty > unset);
    EXPECT_FALSE(unset > empty);
    EXPECT_FALSE(unset > "a");
    EXPECT_FALSE(unset < "");
    EXPECT_TRUE(unset <= "");
    EXPECT_TRUE(unset >= empty);
    EXPECT_TRUE(abc > static_cast<const char*>(nullptr));
    EXPECT_FALSE(abc == unset);
    EXPECT_TRUE(empty == "");

    EXPECT_FALSE(abc > "abd");
    EXPECT_TRUE(abc < "abd");
    EXPECT_TRUE(abc <= "abd");
    EXPECT_FALSE(abc >= "abd");
    EXPECT_TRUE(String("ab") < "abc");
    EXPECT_TRUE(String("abc") > "ab");
    EXPECT_TRUE(abc == String("abc"));
    EXPECT_TRUE(String("\xe9") > "z") << "bytes compare as unsigned";
    EXPECT_TRUE(String("z") < String("\x80"));
}

TEST(String, SearchFindsOverlapsAndHonoursBounds) {
    String s("aaaa");
    EXPECT_EQ(s.getValue() + 2, s.findLast("aa"));
    EXPECT_EQ(s.getValue(), s.findFirst("aa"));
    EXPECT_TRUE(s.removeLast("aa"));
    EXPECT_EQ("aa", text(s));
    EXPECT_TRUE(s.removeFirst("a"));
    EXPECT_EQ("a", text(s));
    EXPECT_FALSE(s.removeFirst("b"));
    EXPECT_FALSE(s.removeLast(""));

    String hello("hello");
    EXPECT_EQ(nullptr, hello.findFrom("lo", 5));
    EXPECT_EQ(nullptr, hello.findFrom("lo", 6));
    EXPECT_EQ(hello.getValue() + 3, hello.findFrom("lo", 3));
    EXPECT_EQ(hello.getValue() + 3, hello.findFrom("lo", 0));
    EXPECT_EQ(nullptr, hello.findFirst(""));
    EXPECT_EQ(nullptr, hello.findFirst(nullptr));
    EXPECT_EQ(nullptr, hello.findLast("x"));
    EXPECT_EQ(nullptr, String().findFirst("a"));
    EXPECT_EQ(nullptr, String("").findLast("a"));
    EXPECT_EQ(nullptr, String().findFrom("a", 0));
}

TEST(String, SubStringAndStartsWith) {
    String hello("hello");
    EXPECT_EQ("llo", text(hello.subString(2, 100)));
    EXPECT_EQ("el", text(hello.subString(1, 3)));
    for (String empty : {hello.subString(5, 9), hello.subString(3, 3), hello.subString(3, 1),
                         String().subString(0, 4)}) {
        EXPECT_EQ("", text(empty));
        EXPECT_NE(String().getValue(), empty.getValue()) << "empty, never unset";
    }

    EXPECT_TRUE(hello.startsWith(String("he")));
    EXPECT_TRUE(hello.startsWith(String("hello")));
    EXPECT_FALSE(hello.startsWith(String("hello!")));
    EXPECT_FALSE(hello.startsWith(String("el")));
    EXPECT_TRUE(hello.startsWith(String("")));
    EXPECT_FALSE(hello.startsWith(String()));
    EXPECT_TRUE(String().startsWith(String("")));
}

TEST(String, NumericReadingWrapsAt32Bits) {
    EXPECT_EQ(1, String("4294967297").toInt64());
    EXPECT_EQ(-5, String("-5").toInt64());
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFull, String("-1").toUInt64());
    EXPECT_EQ(44, String("300").toInt8());
    EXPECT_EQ(4464, String("70000").toUInt16());
    EXPECT_EQ(-25536, String("40000").toInt16());
    EXPECT_EQ(200, String("-56").toUInt8());
    EXPECT_EQ(12, String("12abc").toInt32());
    EXPECT_EQ(-2147483648, String("2147483648").toInt32());
    EXPECT_EQ(4294967295u, String("-1").toUInt32());
    EXPECT_EQ(42, String(" \t+42").toInt32());
    EXPECT_EQ(0, String("x1").toInt32());
    EXPECT_EQ(0, String().toInt32());
    EXPECT_EQ(0, String().toInt64());
    EXPECT_DOUBLE_EQ(2500.0, String("2.5e3").toDouble());
    EXPECT_FLOAT_EQ(0.25f, String("0.25").toFloat());
    EXPECT_DOUBLE_EQ(0.0, String().toDouble());
}

TEST(String, CaseAsciiAndIndexing) {
    String s("aBc\xe9");
    s.toUpper();
    EXPECT_EQ("ABC\xe9", text(s));
    s.toLower();
    EXPECT_EQ("abc\xe9", text(s));
    s.toAscii();
    EXPECT_EQ("abci", text(s));
    String().toUpper();

    const String abc("abc");
    EXPECT_EQ('a', abc[0]);
    EXPECT_EQ('c', abc[2]);
    EXPECT_EQ('c', abc[10]);
    String m("abc");
    m[1] = 'X';
    m[99] = 'Z';
    EXPECT_EQ("aXZ", text(m));

    // No character to give: reads give '\0' and writes land in scratch.
    const String unset;
    EXPECT_EQ('\0', unset[0]);
    String empty("");
    empty[0] = 'q';
    EXPECT_EQ("", text(empty));
    EXPECT_EQ('\0', empty[0]);
    String none;
    none[3] = 'q';
    EXPECT_EQ(String().getValue(), none.getValue());
    EXPECT_STREQ("", String().getValue()) << "the shared empty text is never written";
}

TEST(String, HashIsTheStoredRotation) {
    EXPECT_EQ(0u, String().getHash());
    EXPECT_EQ(0u, String("").getHash());
    EXPECT_EQ(0x6261u, String("ab").getHash());
    EXPECT_EQ(0x04030201u, String("\x01\x02\x03\x04").getHash());
    // Characters 4-7 move one bit further than 0-3.
    EXPECT_EQ(0x08060402u ^ 0x04030201u, String("\x01\x02\x03\x04\x01\x02\x03\x04").getHash());
    // A negative character is sign-extended before it is shifted.
    EXPECT_EQ(0xFFFFFF80u, String("\x80").getHash());
    EXPECT_EQ(0xFFFF8000u, String("\x01\x80").getHash() ^ 1u);

    // Character 32 is shifted by 8, character 35 by 0 (32 taken modulo 32).
    String zero(std::string(36, 'A').c_str());
    std::string withHigh(36, 'A');
    withHigh[32] = 'B';
    EXPECT_EQ(zero.getHash() ^ ((0x41u ^ 0x42u) << 8), String(withHigh.c_str()).getHash());
    withHigh = std::string(36, 'A');
    withHigh[35] = 'B';
    EXPECT_EQ(zero.getHash() ^ (0x41u ^ 0x42u), String(withHigh.c_str()).getHash());
}
