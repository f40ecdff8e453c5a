#include <algorithm>
#include <random>

#include "TestSupport.h"
#include "utils/Lists.h"

TEST(QSortI, OrdersByCodeUnit) {
    struct Case { Lines input, expected; };
    const Case cases[] = {
        {{"b", "B", "a", "ä", "A", ""}, {"", "A", "B", "a", "b", "ä"}},
        {{"я", "ё", "а", "Ё"}, {"Ё", "а", "я", "ё"}},
        {{"only"}, {"only"}},
        {{}, {}},
        {{"ab", "a", "abc", "a"}, {"a", "a", "ab", "abc"}},
    };
    for (const Case& c : cases) {
        Lines array = c.input;
        qSortI(array.data(), static_cast<int>(array.size()));
        EXPECT_EQ(array, c.expected);
        TStringList list;
        fill(list, c.input);
        qSortI(&list);
        EXPECT_EQ(items(list), c.expected);
    }
}

TEST(QSortI, SortsLargeAndAdversarialInputsLikeTheStandardSort) {
    std::mt19937 random(7);
    for (int n : {2, 3, 17, 1000, 5000}) {
        Lines shuffled, sorted, equal(static_cast<std::size_t>(n), "same");
        for (int i = 0; i < n; ++i) shuffled.push_back(IntToStr(static_cast<long long>(random() % 100)));
        Lines expected = shuffled;
        std::sort(expected.begin(), expected.end());
        sorted = expected;
        Lines reversed(expected.rbegin(), expected.rend());
        for (Lines* input : {&shuffled, &sorted, &reversed, &equal}) {
            Lines want = *input;
            std::sort(want.begin(), want.end());
            qSortI(input->data(), n);
            EXPECT_EQ(*input, want) << n;
        }
    }
}

TEST(QSortI, ListFormLeavesObjectsAtTheirIndexes) {
    TStringList list;
    int a = 0, b = 0;
    list.AddObject("z", &a);
    list.AddObject("y", &b);
    qSortI(&list);
    EXPECT_EQ(items(list), (Lines{"y", "z"}));
    EXPECT_EQ(list.Objects(0), &a);
    EXPECT_EQ(list.Objects(1), &b);
}

TEST(Uniq, DropsConsecutiveDuplicates) {
    struct Case { Lines input, expected; };
    const Case cases[] = {
        {{"a", "a", "b", "a", "a"}, {"a", "b", "a"}},
        {{"", "", "x"}, {"", "x"}},
        {{}, {}},
        {{"a\nb", "c"}, {"a", "b", "c"}},  // rewritten through the list's text
    };
    for (const Case& c : cases) {
        TStringList list;
        fill(list, c.input);
        Uniq(&list);
        EXPECT_EQ(items(list), c.expected);
    }
}

TEST(Stat, CountsRunsOfEqualItems) {
    TStringList list;
    EXPECT_FALSE(Stat(&list));
    fill(list, {"a", "a", "b", "a"});
    EXPECT_TRUE(Stat(&list));
    EXPECT_EQ(items(list), (Lines{"2\ta", "1\tb", "1\ta"}));
    fill(list, {"x", "", ""});
    EXPECT_TRUE(Stat(&list));
    EXPECT_EQ(items(list), (Lines{"1\tx", "2\t"}));
}

TEST(StatByNum, OrdersRunsByCountThenItem) {
    TStringList list;
    EXPECT_FALSE(StatByNum(&list));
    fill(list, {"b", "a", "a", "c", "c", "c", "b"});
    EXPECT_TRUE(StatByNum(&list));
    EXPECT_EQ(items(list), (Lines{"1\tb", "1\tb", "2\ta", "3\tc"}));
    fill(list, {"one"});
    EXPECT_TRUE(StatByNum(&list));
    EXPECT_EQ(items(list), Lines{"1\tone"});

    Lines runs(10, "ten");
    for (int i = 0; i < 9; ++i) runs.push_back("nine");
    fill(list, runs);
    StatByNum(&list);
    EXPECT_EQ(items(list), (Lines{"9\tnine", "10\tten"}));
}

TEST(StatByNum, ACountWiderThanSevenDigitsStillOrdersByCount) {
    TStringList list;
    for (int i = 0; i < 10'000'000; ++i) list.Add("many");
    for (int i = 0; i < 9; ++i) list.Add("few");
    list.Add("once");
    StatByNum(&list);
    EXPECT_EQ(items(list), (Lines{"1\tonce", "9\tfew", "10000000\tmany"}));
}

TEST(LPad, FillsOnTheLeft) {
    struct Case { const char* text; const char* fill; int width; const char* expected; };
    const Case cases[] = {
        {"7", "0", 3, "007"}, {"12345", "0", 3, "12345"}, {"7", "ab", 3, "abab7"}, {"", "-", 2, "--"},
        {"abc", "0", 3, "abc"}, {"x", "", 5, "x"}, {"x", "0", -1, "x"},
    };
    for (const Case& c : cases) EXPECT_EQ(lPad(c.text, c.fill, c.width), UnicodeString(c.expected)) << c.text;
}
