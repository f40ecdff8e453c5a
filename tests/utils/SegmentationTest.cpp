#include "TestSupport.h"
#include "utils/Segmentation.h"

namespace {
// Runs split, checking that its result is the list's count.
template <class Split>
Lines pieces(Split split) {
    TStringList list;
    list.Add("old");
    const int result = split(&list);
    EXPECT_EQ(result, list.Count());
    return items(list);
}
}  // namespace

TEST(SplitToSlogs, CutsRussianWordsIntoSyllables) {
    struct Case { const char* text; Lines syllables; };
    const Case cases[] = {
        {"контрольный", {"конт", "роль", "ный"}},
        {"подъезд", {"подъ", "езд"}},
        {"семья", {"семь", "я"}},
        {"строительство", {"стро", "и", "тельс", "тво"}},
        {"Привет, мир!", {"При", "вет", "мир"}},
        {"ВКЛ 2010 hello мир", {"ВКЛ", "2010", "hello", "мир"}},
        {"аэропорт", {"а", "э", "ро", "порт"}},
        {"МОЛОКО", {"МО", "ЛО", "КО"}},
        {"война", {"вой", "на"}},
        {"кто-нибудь", {"кто-", "ни", "будь"}},
        {"рассмотреть", {"расс", "мот", "реть"}},
        {"", {}},
        {" ,.! ", {}},
        {"Ёлка—ель", {"Ёл", "ка", "ель"}},  // the em dash is a delimiter
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pieces([&](TStringList* l) { return SplitToSlogs(c.text, l); }), c.syllables) << c.text;
    }
}

TEST(SplitToSlogs, LongClustersFollowTheTable) {
    // Three consonants: a sign at C3 holds them; four: at C4 or C3; five: at C5 or C4; six and more: after C3.
    struct Case { const char* text; Lines syllables; };
    const Case cases[] = {
        {"астьа", {"асть", "а"}}, {"астра", {"аст", "ра"}},
        {"астрьа", {"астрь", "а"}}, {"астьра", {"асть", "ра"}}, {"астрта", {"аст", "рта"}},
        {"абвгда", {"абв", "гда"}}, {"абвгдьа", {"абвгдь", "а"}}, {"абвгьда", {"абвгь", "да"}},
        {"абвгдеа", {"абв", "где", "а"}}, {"абвгджа", {"абвг", "джа"}}, {"абвгджьа", {"абвг", "джьа"}},
        {"асьта", {"ась", "та"}}, {"асьтра", {"ась", "тра"}}, {"аса", {"а", "са"}}, {"аа", {"а", "а"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pieces([&](TStringList* l) { return SplitToSlogs(c.text, l); }), c.syllables) << c.text;
    }
}

TEST(SplitToSlogs, AWordBeyondTheVowelTableGoesInWhole) {
    UnicodeString many;
    for (int i = 0; i < 1001; ++i) many += u'а';
    EXPECT_EQ(pieces([&](TStringList* l) { return SplitToSlogs(many + " мама", l); }), (Lines{many, "ма", "ма"}));
}

TEST(SplitToWords, TwoArgumentsCutAtEveryDelimiter) {
    EXPECT_EQ(pieces([](TStringList* l) { return SplitToWords(u"«Да»\u2014нет \u201Cок\u201D\u2026 кто-то 2nd", l); }),
              (Lines{"Да", "нет", "ок", "кто-то", "2nd"}));
    EXPECT_EQ(pieces([](TStringList* l) { return SplitToWords("  ,;  ", l); }), Lines{});
}

TEST(SplitToWords, ThreeArgumentsKeepTypographicMarksAndDropLongWords) {
    EXPECT_EQ(pieces([](TStringList* l) { return SplitToWords("a bb cccc dd", l, 3); }), (Lines{"a", "bb", "dd"}));
    EXPECT_EQ(pieces([](TStringList* l) { return SplitToWords(u"да\u2014нет \u201Cок\u201D «x»", l, 100); }),
              (Lines{u"да\u2014нет", u"\u201Cок\u201D", "x"}));
    EXPECT_EQ(pieces([](TStringList* l) { return SplitToWords("abc", l, 3); }), Lines{"abc"});
    EXPECT_EQ(pieces([](TStringList* l) { return SplitToWords("a b", l, 0); }), Lines{});
    EXPECT_EQ(pieces([](TStringList* l) { return SplitToWords(UnicodeString(std::u16string(u"ab\0cd", 5)), l, 9); }),
              Lines{"ab"});
}

TEST(SplitToSequences, TwoArgumentsTrimAndKeepEveryLength) {
    struct Case { const char* text; Lines sentences; };
    const Case cases[] = {
        {"Wait... What?!  Yes", {"Wait.", "What?", "Yes"}},
        {"A. ", {"A."}},
        {"A. . B", {"A.", "B"}},
        {" Hi .\r\nNext\tline", {"Hi .", "Next line"}},
        {"3.14 is pi.", {"3.", "14 is pi."}},
        {"", {}},
        {" \t\r\n ", {}},
        {"Один  два\n\nтри!", {"Один два три!"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pieces([&](TStringList* l) { return SplitToSequences(c.text, l); }), c.sentences) << c.text;
    }
}

TEST(SplitToSequences, ThreeArgumentsDropLongSentences) {
    struct Case { const char* text; int max; Lines sentences; };
    const Case cases[] = {
        {"Hello world. Ok!", 10, {"Ok!"}},
        {"Hello world. Ok!", 11, {"Hello world.", "Ok!"}},
        {"Ok. Far too long", 5, {"Ok."}},
        {"Ok. Short", 5, {"Ok.", "Short"}},
        {"Hi . x", 3, {"Hi .", "x"}},
        {"  Lead\t\tspaces.", 20, {"Lead spaces."}},
        {"...", 5, {}},
        {"3.14 is pi.", 20, {"3.", "14 is pi."}},
        {"a.b", 0, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pieces([&](TStringList* l) { return SplitToSequences(c.text, l, c.max); }), c.sentences)
            << c.text << " / " << c.max;
    }
}
