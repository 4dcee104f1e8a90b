#include <hvc_util/Stream.h>
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

// The shared empty text that only unset strings hand out.
const char* unsetText() {
    static const String unset;
    return unset.getValue();
}

} // namespace

TEST(String, ThreeStatesAndExactFitting) {
    String empty;
    empty = "";
    EXPECT_FALSE(empty.isSet());
    EXPECT_EQ(0u, empty.lengthOf());
    EXPECT_EQ(0u, empty.sizeOf());
    EXPECT_NE(unsetText(), empty.getValue()) << "a buffer of its own";

    EXPECT_EQ(unsetText(), String(static_cast<const char*>(nullptr)).getValue());
    EXPECT_EQ(unsetText(), String(0u).getValue());
    const String unset;
    EXPECT_NE(unsetText(), String(unset).getValue()) << "a copy of an unset string is empty";
    EXPECT_NE(unsetText(), String(0u, 'x').getValue());
    EXPECT_EQ("xxx", text(String(3u, 'x')));

    String s("hello");
    s = "";
    EXPECT_EQ(0u, s.sizeOf());
    s = "hi";
    EXPECT_EQ(2u, s.sizeOf());
    s = static_cast<const char*>(nullptr);
    EXPECT_NE(unsetText(), s.getValue()) << "assignment never unsets";
    s.reset();
    EXPECT_EQ(unsetText(), s.getValue());

    String reserved(5u);
    EXPECT_EQ(5u, reserved.sizeOf());
    EXPECT_EQ(0u, reserved.lengthOf());
    reserved += "ab";
    EXPECT_EQ(2u, reserved.sizeOf());

    // Removal keeps the buffer; the next append fits it again.
    String r("abcdef");
    EXPECT_TRUE(r.removeFirst("cd"));
    EXPECT_EQ(6u, r.sizeOf());
    r += 'g';
    EXPECT_EQ("abefg", text(r));
    EXPECT_EQ(5u, r.sizeOf());

    char* p = static_cast<char*>(std::malloc(10));
    std::strcpy(p, "abc");
    s.setValue(p);
    EXPECT_EQ(p, s.getValue());
    EXPECT_EQ(3u, s.sizeOf());
    s.setValue(nullptr);
    EXPECT_EQ(unsetText(), s.getValue());
}

TEST(String, AppendingAndInserting) {
    String unset;
    unset += "";
    unset += static_cast<const char*>(nullptr);
    EXPECT_EQ(unsetText(), unset.getValue()) << "appending nothing keeps it unset";
    unset += 'c';
    EXPECT_EQ("c", text(unset));

    String n;
    n << 7u << ' ' << -3 << ' ' << 2.5;
    EXPECT_EQ("7 -3 2.500000", text(n));
    String widened;
    widened << static_cast<short>(-1) << static_cast<unsigned short>(65535) << 1.5f;
    EXPECT_EQ("-1655351.500000", text(widened));
    String big; // longer than the 31-character area, appended whole
    big << 1e30;
    EXPECT_EQ("1000000000000000019884624838656.000000", text(big));

    String s("world");
    s.insertAtStart("hello ");
    s.insertAtStart("");
    EXPECT_EQ("hello world", text(s));
    String a("ab");
    EXPECT_EQ("abcd", text(a + "cd"));
    EXPECT_EQ("abab", text(a + a));
    EXPECT_EQ("ab", text(a));
}

TEST(String, OwnTextCanBeAssignedAppendedAndInserted) {
    String s("abc");
    s += s;
    s += s.getValue() + 4;
    EXPECT_EQ("abcabcbc", text(s));
    s.insertAtStart(s.getValue() + 6);
    EXPECT_EQ("bcabcabcbc", text(s));
    s = s.getValue() + 2;
    s = s;
    EXPECT_EQ("abcabcbc", text(s));

    // A source lying behind the terminator of a shortened text.
    String t("ab_cdef");
    t[2] = '\0';
    t += t.getValue() + 3;
    EXPECT_EQ("abcdef", text(t));
}

TEST(String, ComparisonsAreAsymmetricAtUnsetAndEmpty) {
    String unset, empty(""), abc("abc");
    EXPECT_TRUE(unset == empty);
    EXPECT_TRUE(unset == static_cast<const char*>(nullptr));
    EXPECT_FALSE(empty == unset);
    EXPECT_TRUE(empty != unset);
    EXPECT_TRUE(empty > unset);
    EXPECT_FALSE(unset > empty);
    EXPECT_FALSE(unset < "");
    EXPECT_TRUE(unset <= "" && unset >= empty);
    EXPECT_TRUE(abc > static_cast<const char*>(nullptr));
    EXPECT_FALSE(abc == unset);

    EXPECT_FALSE(abc > "abd");
    EXPECT_TRUE(abc < "abd" && abc <= "abd" && !(abc >= "abd"));
    EXPECT_TRUE(String("ab") < "abc");
    EXPECT_TRUE(abc == String("abc"));
    EXPECT_TRUE(String("\xe9") > "z") << "bytes compare as unsigned";
}

TEST(String, SearchFindsOverlapsAndHonoursBounds) {
    String s("aaaa");
    EXPECT_EQ(s.getValue() + 2, s.findLast("aa"));
    EXPECT_TRUE(s.removeLast("aa"));
    EXPECT_EQ("aa", text(s));
    EXPECT_FALSE(s.removeFirst("b"));
    EXPECT_FALSE(s.removeLast(""));

    String hello("hello");
    EXPECT_EQ(nullptr, hello.findFrom("lo", 5));
    EXPECT_EQ(nullptr, hello.findFrom("lo", 6));
    EXPECT_EQ(hello.getValue() + 3, hello.findFrom("lo", 3));
    EXPECT_EQ(nullptr, hello.findFirst(""));
    EXPECT_EQ(nullptr, hello.findFirst(nullptr));
    EXPECT_EQ(nullptr, String().findFirst("a"));
    EXPECT_EQ(nullptr, String("").findLast("a"));

    EXPECT_EQ("llo", text(hello.subString(2, 100)));
    for (const String& e :
         {hello.subString(5, 9), hello.subString(3, 3), String().subString(0, 4)}) {
        EXPECT_EQ("", text(e));
        EXPECT_NE(unsetText(), e.getValue()) << "empty, never unset";
    }
    EXPECT_TRUE(hello.startsWith(String("he")));
    EXPECT_FALSE(hello.startsWith(String("hello!")));
    EXPECT_TRUE(hello.startsWith(String("")));
    EXPECT_FALSE(hello.startsWith(String()));
}

TEST(String, NumericReadingWrapsAt32Bits) {
    EXPECT_EQ(1, String("4294967297").toInt64());
    EXPECT_EQ(-5, String("-5").toInt64());
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFull, String("-1").toUInt64());
    EXPECT_EQ(44, String("300").toInt8());
    EXPECT_EQ(4464, String("70000").toUInt16());
    EXPECT_EQ(12, String("12abc").toInt32());
    EXPECT_EQ(-2147483648, String("2147483648").toInt32());
    EXPECT_EQ(42, String(" \t+42").toInt32());
    EXPECT_EQ(0, String().toInt32());
    EXPECT_DOUBLE_EQ(2500.0, String("2.5e3").toDouble());
    EXPECT_DOUBLE_EQ(0.0, String().toDouble());
}

TEST(String, CaseAsciiAndIndexing) {
    String s("aBc\xe9");
    s.toUpper();
    EXPECT_EQ("ABC\xe9", text(s));
    s.toAscii();
    EXPECT_EQ("ABCi", text(s));

    String m("abc");
    EXPECT_EQ('c', static_cast<const String&>(m)[10]);
    m[1] = 'X';
    m[99] = 'Z';
    EXPECT_EQ("aXZ", text(m));

    // No character to give: reads give '\0', writes land in scratch.
    EXPECT_EQ('\0', static_cast<const String&>(String())[0]);
    String empty("");
    empty[0] = 'q';
    EXPECT_EQ("", text(empty));
    String none;
    none[3] = 'q';
    EXPECT_STREQ("", unsetText()) << "the shared empty text is never written";
}

TEST(String, HashIsTheStoredRotation) {
    EXPECT_EQ(0u, String().getHash());
    EXPECT_EQ(0u, String("").getHash());
    EXPECT_EQ(0x6261u, String("ab").getHash());
    EXPECT_EQ(0x04030201u, String("\x01\x02\x03\x04").getHash());
    // Characters 4-7 move one bit further than 0-3; negative ones are
    // sign-extended first.
    EXPECT_EQ(0x08060402u ^ 0x04030201u, String("\x01\x02\x03\x04\x01\x02\x03\x04").getHash());
    EXPECT_EQ(0xFFFF8000u ^ 1u, String("\x01\x80").getHash());

    // Character 32 is shifted by 8, character 35 by 0 (32 taken modulo 32).
    const std::string base(36, 'A');
    for (auto [index, shift] : {std::pair{32, 8}, std::pair{35, 0}}) {
        std::string changed = base;
        changed[index] = 'B';
        EXPECT_EQ(String(base.c_str()).getHash() ^ ((0x41u ^ 0x42u) << shift),
                  String(changed.c_str()).getHash());
    }
}

// Appends keep spare room behind the text; none of it may show. Every check
// below is made on strings that have such room.
TEST(String, AppendsReportTheExactSizeWhateverTheyAllocate) {
    String s;
    std::string expected;
    for (int i = 0; i < 100000; ++i) {
        s += static_cast<char>('a' + i % 26);
        expected += static_cast<char>('a' + i % 26);
        if (i % 7 == 0) {
            s += "xyz";
            expected += "xyz";
        }
        if (i % 9973 == 0) {
            ASSERT_EQ(expected.size(), s.lengthOf());
            ASSERT_EQ(expected.size(), s.sizeOf()) << "appending fits the size to the text";
        }
    }
    EXPECT_EQ(expected, text(s));
    EXPECT_EQ(expected.size(), s.sizeOf());

    s = "hi";
    EXPECT_EQ(2u, s.sizeOf()) << "assignment fits it again";
    s += 'c';
    s += '\0';
    EXPECT_EQ(3u, s.lengthOf());
    EXPECT_EQ(4u, s.sizeOf()) << "a terminator appended counts in the size only";
    s += "d";
    EXPECT_EQ("hicd", text(s));
    EXPECT_EQ(4u, s.sizeOf());

    String reserved(100u);
    reserved << 'a' << "bc";
    EXPECT_EQ(3u, reserved.sizeOf()) << "String(n) keeps its size only until the next append";
    reserved.insertAtStart("__");
    EXPECT_EQ("__abc", text(reserved));
    EXPECT_EQ(5u, reserved.sizeOf());
    EXPECT_EQ("__abc!", text(reserved + "!"));
    EXPECT_EQ(6u, (reserved + "!").sizeOf());
}

TEST(String, LengthFollowsTerminatorsWrittenFromOutside) {
    // Texts built by appends (so with spare room), changed by other means,
    // then appended to again.
    struct Case {
        const char* first;
        const char* second;
        void (*change)(String&);
        unsigned int length, size;
        char then;
        const char* text;
    };
    const Case cases[] = {
        {"abc", "def", [](String& s) { s[2] = '\0'; }, 2, 6, 'x', "abx"},
        {"a\x80", "b", [](String& s) { s.toAscii(); }, 1, 3, 'c', "ac"}, // 0x80 became 0
        {"hello", " world", [](String& s) { s.removeFirst("lo w"); }, 7, 11, '!', "helorld!"},
    };
    for (const Case& c : cases) {
        String s;
        s << c.first << c.second;
        c.change(s);
        EXPECT_EQ(c.length, s.lengthOf()) << c.text;
        EXPECT_EQ(c.size, s.sizeOf()) << "changing characters does not refit";
        s += c.then;
        EXPECT_EQ(c.text, text(s));
        EXPECT_EQ(std::strlen(c.text), s.sizeOf());
    }

    // Own text appended while the room suffices, and after a reallocation.
    String own;
    own << "abc"
        << "d";
    own += own.getValue() + 1;
    EXPECT_EQ("abcdbcd", text(own));
    own += own;
    EXPECT_EQ("abcdbcdabcdbcd", text(own));
}

TEST(String, AdoptionAndStreamsSeeOnlyTheText) {
    String s;
    s << "spare" << 'x';
    char* p = static_cast<char*>(std::malloc(4));
    std::strcpy(p, "xyz");
    s.setValue(p);
    EXPECT_EQ(p, s.getValue());
    EXPECT_EQ(3u, s.sizeOf());
    s += "123456789";
    EXPECT_EQ("xyz123456789", text(s));

    hvc_util::Stream stream;
    stream << s;
    EXPECT_EQ(4u + 12u, stream.tellWrite()) << "the length and the characters, no spare room";
    String back;
    back << "longer than the text read back";
    stream >> back;
    EXPECT_EQ("xyz123456789", text(back));
    EXPECT_EQ(12u, back.sizeOf());

    // A text holding a terminator reads back as the part before it.
    hvc_util::Stream raw;
    raw << 3;
    raw.put("a\0b", 3);
    String cut("abc");
    cut += "def";
    raw >> cut;
    EXPECT_EQ(1u, cut.lengthOf());
    EXPECT_EQ(3u, cut.sizeOf());
    cut += 'c';
    EXPECT_EQ("ac", text(cut));
}
