#include "TestSupport.h"
#include "utils/Tags.h"

TEST(Tags, CountAndPositionsOfOverlappingOccurrences) {
    EXPECT_EQ(CountTags("aaa", "aa"), 2);
    EXPECT_EQ(CountTags("abc", ""), 3);
    EXPECT_EQ(CountTags("", "a"), 0);
    EXPECT_EQ(CountTags("aAa", "a"), 2);
    EXPECT_EQ(GetTagPos("aaa", "aa", 0), 1);
    EXPECT_EQ(GetTagPos("aaa", "aa", 1), 2);
    EXPECT_EQ(GetTagPos("aaa", "aa", 2), -1);
    EXPECT_EQ(GetTagPos("aaa", "aa", -1), -1);
}

TEST(Tags, GetBetweenTags) {
    struct Case { const char* text; int start; const char* expected; };
    const Case cases[] = {
        {"x(ab)y(cd)", 1, "ab"}, {"x(ab)y(cd)", 2, "ab"}, {"x(ab)y(cd)", 3, "cd"}, {"x(ab)y(cd)", 0, "ab"},
        {"x(ab)y(cd)", -4, "ab"}, {"(x)", 1, "x"}, {"(x", 1, ""}, {"()", 1, ""}, {"x(ab)", 9, ""},
        {"a)(b", 1, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetBetweenTags(c.text, "(", ")", c.start), UnicodeString(c.expected)) << c.text << " " << c.start;
    }
    EXPECT_EQ(GetBetweenTags("<b>bold</b>", "<b>", "</b>", 1), UnicodeString("bold"));
}

TEST(Tags, RemoveAllTags) {
    struct Case { const char* text; const char* open; const char* close; int max; const char* expected; };
    const Case cases[] = {
        {"a<b>c", "<", ">", 5, "ac"},
        {"x<b>y</b>z", "<b>", "</b>", 10, "xz"},
        {"<>|<b>|<br>", "<", ">", 2, "||<br>"},
        {"<aaaa<b>", "<", ">", 2, "<aaaa"},
        {"a<b>c", "<", ">", 0, "a<b>c"},
        {"a<b>c", "<", ">", -1, "a<b>c"},
        {"text <unclosed", "<", ">", 50, "text <unclosed"},  // kept as plain text
        {"ab<", "<", ">", 5, "ab<"},
        {"a<b", "<", "", 5, "ab"},  // an empty closing tag ends the span at once
        {"", "<", ">", 5, ""},
        {"plain", "<", ">", 5, "plain"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RemoveAllTags(c.text, c.open, c.close, c.max), UnicodeString(c.expected)) << c.text;
    }
}

TEST(Tags, RemoveAllTagsStopsAtTheFirstNul) {
    const UnicodeString text(std::u16string(u"a<b>c\0<d>e", 10));
    EXPECT_EQ(RemoveAllTags(text, "<", ">", 5), UnicodeString("ac"));
}
