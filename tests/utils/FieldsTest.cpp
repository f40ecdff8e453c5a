#include "TestSupport.h"
#include "platform/Exception.h"
#include "utils/Fields.h"

TEST(GetFieldFromString, FieldsOfTheWorkedExamples) {
    struct Case { const char* text; const char* delimiter; Lines fields; };
    const Case cases[] = {
        {"a\t\tb\t", "\t", {"a", "", "b", "", ""}},
        {"\tx", "\t", {"", "x", "", "", ""}},
        {"a,,b,,c", ",,", {"a", "b", "c", "", ""}},
        {"a;;;b", ";;", {"a", ";b", "b", "", ""}},
        {"no delimiter", "\t", {"no delimiter", "", "", "", ""}},
        {"a\tb", "", {"", "", "", "", ""}},
        {"", "\t", {"", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(getFieldFromString(i, c.text, c.delimiter), c.fields[i]) << c.text << " field " << i;
        }
        EXPECT_EQ(getFieldFromString(-1, c.text, c.delimiter), UnicodeString());
    }
}

TEST(GetFieldFromString, CutsARecordLineAtTabs) {
    const UnicodeString line = "12\tФильм\tРежиссёр\tРоссия\t2001\t5400\tдрама\tактёры";
    EXPECT_EQ(getFieldFromString(1, line, "\t"), UnicodeString("Фильм"));
    EXPECT_EQ(getFieldFromString(7, line, "\t"), UnicodeString("актёры"));
    EXPECT_EQ(getFieldFromString(8, line, "\t"), UnicodeString());
}

TEST(SplittingAndJoining, DelimitersAreTriedInListOrderAndConsumedWhole) {
    TStringList delimiters, fields;
    fill(delimiters, {",", ",,"});
    EXPECT_EQ(getFieldsFromString("a,,b", &delimiters, &fields), 3);
    EXPECT_EQ(items(fields), (Lines{"a", "", "b"}));
    fill(delimiters, {",,", ","});
    EXPECT_EQ(getFieldsFromString("a,,b", &delimiters, &fields), 2);
    EXPECT_EQ(items(fields), (Lines{"a", "b"}));
    EXPECT_EQ(getFieldsFromString("", &delimiters, &fields), 1);
    EXPECT_EQ(items(fields), Lines{""});
    // An empty delimiter would never move the scan on; it is passed over.
    fill(delimiters, {"", ";"});
    EXPECT_EQ(getFieldsFromString("x;y", &delimiters, &fields), 2);
}

TEST(SplittingAndJoining, ExplodeAndImplode) {
    TStringList fields;
    fields.Add("old");
    EXPECT_EQ(explode(";", "a;b;;c;", &fields), 5);
    EXPECT_EQ(items(fields), (Lines{"a", "b", "", "c", ""}));
    EXPECT_EQ(implode(", ", &fields), UnicodeString("a, b, , c, "));
    EXPECT_EQ(explode("", "whole text", &fields), 1);
    EXPECT_EQ(items(fields), Lines{"whole text"});
    EXPECT_EQ(implode("+", &fields), UnicodeString("whole text"));
    fields.Clear();
    EXPECT_EQ(implode("+", &fields), UnicodeString());
    fields.Add("");
    EXPECT_EQ(implode("+", &fields), UnicodeString());  // one empty item: the list's text is not empty
}

TEST(Replacing, StrReplaceReplacesLeftmostFirstWithoutOverlap) {
    struct Case { const char* search; const char* replacement; const char* subject; const char* expected; };
    const Case cases[] = {
        {"", "x", "abc", "abc"},
        {"a", "aa", "banana", "baanaanaa"},
        {"aa", "b", "aaa", "ba"},
        {"\\n", "\n", "a\\nb\\n", "a\nb\n"},
        {"z", "y", "abc", "abc"},
        {"abc", "", "abcabc", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(str_replace(c.search, c.replacement, c.subject), UnicodeString(c.expected)) << c.subject;
    }
}

TEST(Replacing, ReplaceAllWithCaseAndWholeWordOptions) {
    struct Case { const char* text; const char* search; const char* replacement; bool matchCase, wholeWord;
                  const char* expected; int count; };
    const Case cases[] = {
        {"Cat cat catalog", "cat", "dog", false, true, "dog dog catalog", 2},
        {"Cat cat catalog", "cat", "dog", true, false, "Cat dog dogalog", 2},
        {"ab", "a", "x", true, false, "xb", 1},
        {"a", "z", "q", true, false, "a", 0},
        {"aaaa", "aa", "b", true, false, "bb", 2},
        {"abc", "", "x", true, false, "abc", 0},
        {"Ёж ёж, ёжик", "ЁЖ", "кот", false, true, "кот кот, ёжик", 2},
        {"xcat cat", "cat", "dog", true, true, "xcat dog", 1},
        {"ba a a", "a a", "x", true, true, "ba x", 1},  // a failed candidate hides no later position
    };
    for (const Case& c : cases) {
        int count = -1;
        EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement, c.matchCase, c.wholeWord, count),
                  UnicodeString(c.expected)) << c.text;
        EXPECT_EQ(count, c.count) << c.text;
    }
}

TEST(Finding, FindPosSearchesCyclically) {
    struct Case { const char* text; const char* pattern; int start; bool forward, matchCase, wholeWord; int expected; };
    const Case cases[] = {
        {"one two one two", "two", 4, true, true, true, 13},
        {"one two one two", "two", 12, true, true, true, 5},
        {"one two one two", "two", 12, false, true, true, 5},
        {"abcab", "ab", 0, true, true, false, 4},
        {"abcab", "AB", 0, true, false, false, 4},
        {"abcab", "AB", 0, true, true, false, -1},
        {"xtwox two", "two", 0, true, true, true, 7},
        {"a", "a", 0, true, true, false, -1},
        {"abc", "", 0, true, true, false, 2},
        {"abc", "", 3, true, true, false, 2},   // 5 wraps to 2
        {"abc", "", 1, false, true, false, 3},  // 0 wraps to 3
        {"abcab", "b", 4, true, true, false, 2},  // start + 1 is never tried
        {"abcab", "b", 2, false, true, false, 5},  // nor start itself backward
        {"abcab", "ab", 6, true, true, false, -1},
        {"abcab", "ab", -1, true, true, false, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindPos(c.text, c.pattern, c.start, c.forward, c.matchCase, c.wholeWord), c.expected)
            << c.text << " / " << c.pattern << " from " << c.start;
    }
}

TEST(Finding, SkipCountCountsCarriageReturnsOnly) {
    EXPECT_EQ(SkipCount("a\r\nb\rc\n", 4), 1);
    EXPECT_EQ(SkipCount("a\r\nb\rc\n", 100), 2);
    EXPECT_EQ(SkipCount("\r\r", 0), 0);
    EXPECT_EQ(SkipCount("\r\r", -3), 0);
}

TEST(Delimiters, IsDelimeterLooksAtTheFirstCharacter) {
    struct Case { UnicodeString text; bool expected; };
    const Case cases[] = {
        {u"\u2014", true}, {u"\u2014x", false}, {"-", false}, {"»", true}, {",x", true}, {"«", true},
        {u"\u201C", true}, {u"\u201D", true}, {u"\u2026", true}, {u"\u201E", false}, {u"\u2013", false},
        {u"\u00A0", false}, {"_", false}, {"*", false}, {"a", false}, {"\t", true}, {"\\", true},
    };
    for (const Case& c : cases) EXPECT_EQ(isDelimeter(c.text), c.expected) << c.text.ToUtf8();
    EXPECT_THROW(isDelimeter(UnicodeString()), ERangeError);
}

TEST(Delimiters, TheTableHoldsTwentySevenCharactersAtOrBelowFF) {
    int count = 0;
    for (char16_t c = 0; c < 0x100; ++c) count += isDelimeter2(c);
    EXPECT_EQ(count, 27);
    EXPECT_FALSE(isDelimeter2(0));
    EXPECT_FALSE(isDelimeter2(u'\u2014'));
    EXPECT_FALSE(isDelimeter2(u'\u201C'));
}

TEST(LineBreaks, DeleteUnnecessaryLineBreaksJoinsParagraphs) {
    EXPECT_EQ(delete_unnecessary_line_breaks("This is\r\none sentence.\nNext\r\n\r  indented"),
              UnicodeString("This is one sentence.\r\nNext\r\n\r\n  indented\r\n"));
    EXPECT_EQ(delete_unnecessary_line_breaks("a:  \nb\n   \nc\td\n"), UnicodeString("a: b\r\n\r\nc\td\r\n"));
    EXPECT_EQ(delete_unnecessary_line_breaks("Вопрос?\nОтвет"), UnicodeString("Вопрос?\r\nОтвет\r\n"));
    EXPECT_EQ(delete_unnecessary_line_breaks(""), UnicodeString());
}

TEST(Case, FirstUpperCase) {
    EXPECT_EQ(FirstUpperCase("пРИВЕТ"), UnicodeString("Привет"));
    EXPECT_EQ(FirstUpperCase("ёЖ"), UnicodeString("Ёж"));
    EXPECT_EQ(FirstUpperCase("1ABC"), UnicodeString("1abc"));
    EXPECT_EQ(FirstUpperCase(""), UnicodeString());
}
