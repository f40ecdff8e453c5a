#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/StringList.h"

namespace {
std::vector<UnicodeString> items(const TStringList& list) {
    std::vector<UnicodeString> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}
}  // namespace

TEST(TStringList, SetTextCutsAtEveryKindOfLineBreak) {
    struct Case { const char* text; std::vector<UnicodeString> lines; };
    for (const Case& c : {Case{"", {}}, Case{"a", {"a"}}, Case{"a\r\n", {"a"}}, Case{"a\r\nb", {"a", "b"}},
                          Case{"a\rb\nc", {"a", "b", "c"}}, Case{"a\n\rb", {"a", "", "b"}},
                          Case{"\r\n", {""}}, Case{"\r\n\r\n", {"", ""}}, Case{"a\r\r\n", {"a", ""}},
                          Case{"a\n\n", {"a", ""}}, Case{"\n", {""}}}) {
        TStringList list;
        list.Add("old");
        list.SetText(c.text);
        EXPECT_EQ(items(list), c.lines) << c.text;
    }
}

TEST(TStringList, TextEndsEveryLineWithCrLf) {
    TStringList list;
    EXPECT_EQ(list.Text(), UnicodeString());
    list.Add("a");
    list.Add("");
    list.Add("б");
    EXPECT_EQ(list.Text(), UnicodeString("a\r\n\r\nб\r\n"));
    list.SetText(list.Text());
    EXPECT_EQ(list.Count(), 3);
}

TEST(TStringList, EditsKeepObjectsWithTheirItems) {
    TStringList list;
    int one = 1, two = 2;
    EXPECT_EQ(list.AddObject("a", &one), 0);
    EXPECT_EQ(list.Add("b"), 1);
    list.Insert(0, "z");
    list.Put(1, "A");
    EXPECT_EQ(list.Objects(1), &one);
    list.AddObject("c", &two);
    list.Delete(0);
    EXPECT_EQ(items(list), (std::vector<UnicodeString>{"A", "b", "c"}));
    EXPECT_EQ(list.Objects(2), &two);
    EXPECT_EQ(list.Objects(1), nullptr);
}

TEST(TStringList, IndexOfIgnoresCaseUnlessAsked) {
    TStringList list;
    list.Add("Ёлка");
    list.Add("ёлка");
    EXPECT_EQ(list.IndexOf("ЁЛКА"), 0);
    list.CaseSensitive = true;
    EXPECT_EQ(list.IndexOf("ёлка"), 1);
    EXPECT_EQ(list.IndexOf("ЁЛКА"), -1);
}

TEST(TStringList, IndexOutsideTheListRaisesRangeError) {
    TStringList list;
    list.Add("a");
    EXPECT_THROW(list.Get(1), ERangeError);
    EXPECT_THROW(list.Get(-1), ERangeError);
    EXPECT_THROW(list.Put(1, "x"), ERangeError);
    EXPECT_THROW(list.Delete(1), ERangeError);
    EXPECT_THROW(list.Insert(2, "x"), ERangeError);
    EXPECT_THROW(list.Objects(5), ERangeError);
    list.Insert(1, "b");  // at the end is allowed
    EXPECT_EQ(list.Count(), 2);
}
