#include <clocale>
#include <cstdio>
#include <unordered_set>

#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/UnicodeString.h"

TEST(UnicodeString, Utf8RoundTripKeepsRussianAndAstralText) {
    const UnicodeString s = "Файл не найден! \xF0\x9F\x98\x80";
    EXPECT_EQ(s.Length(), 18);  // the emoji is two code units
    EXPECT_EQ(s[1], u'Ф');
    EXPECT_EQ(s.ToUtf8(), "Файл не найден! \xF0\x9F\x98\x80");
    EXPECT_EQ(UnicodeString(u"Ё"), UnicodeString("Ё"));
}

TEST(UnicodeString, MalformedUtf8AndLoneSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(UnicodeString("a\xC3").u16(), u"a\uFFFD");       // truncated sequence
    EXPECT_EQ(UnicodeString("\xC0\xAF").u16(), u"\uFFFD\uFFFD");  // overlong "/"
    EXPECT_EQ(UnicodeString("\xED\xA0\x80").Length(), 3);       // encoded surrogate
    EXPECT_EQ(UnicodeString(std::u16string(1, char16_t(0xD800))).ToUtf8(), "\xEF\xBF\xBD");
}

TEST(UnicodeString, PathBytesRoundTripWithoutLoss) {
    const struct {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"temp/фото_1.jpg", u"temp/фото_1.jpg"},  // valid UTF-8 reads as text
        {"\xF0\x9F\x98\x80.jpg", u"\U0001F600.jpg"},
        {"caf\xE9.jpg", u"caf\xDCE9.jpg"},  // a Latin-1 name: U+DC80 + byte
        {"\xFF\xFE", u"\xDCFF\xDCFE"},
        {"a\xC3", u"a\xDCC3"},  // a sequence cut short
        {"\xE2\x82", u"\xDCE2\xDC82"},
        {"\xC0\xAF", u"\xDCC0\xDCAF"},  // an overlong "/" is no separator
        {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},  // an encoded surrogate
        {"\xD1\x84\x80", u"ф\xDC80"},  // a stray continuation byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const UnicodeString path = UnicodeString::FromPathBytes(c.bytes);
        EXPECT_EQ(path.u16(), c.text);
        EXPECT_EQ(path.ToPathBytes(), c.bytes);
    }
    // Only the escapes turn back into bytes; other lone surrogates cannot name a file and stay U+FFFD.
    EXPECT_EQ(UnicodeString(u"\xDC7F\xD800").ToPathBytes(), "\xEF\xBF\xBD\xEF\xBF\xBD");
    // Text meant for people keeps its replacement characters: an escaped byte never leaves as UTF-8 text.
    EXPECT_EQ(UnicodeString::FromPathBytes("caf\xE9").ToUtf8(), "caf\xEF\xBF\xBD");
}

TEST(UnicodeString, IndexOutsideTheTextRaisesRangeError) {
    const UnicodeString s = "ab";
    EXPECT_EQ(s[2], u'b');
    EXPECT_THROW(s[0], ERangeError);
    EXPECT_THROW(s[3], ERangeError);
    EXPECT_THROW(UnicodeString()[1], ERangeError);
}

TEST(UnicodeString, SubStringClampsLikeTheClassLibrary) {
    const UnicodeString s = "abcdef";
    struct Case { int start, count; const char* expected; };
    for (const Case& c : {Case{1, 3, "abc"}, Case{4, 10, "def"}, Case{6, 1, "f"}, Case{7, 1, ""},
                          Case{0, 2, "ab"}, Case{-5, 2, "ab"}, Case{2, 0, ""}, Case{2, -1, ""}}) {
        EXPECT_EQ(s.SubString(c.start, c.count), UnicodeString(c.expected)) << c.start << "," << c.count;
    }
}

TEST(UnicodeString, PosFindsTheFirstOccurrence) {
    const UnicodeString s = "abcabc";
    EXPECT_EQ(s.Pos("bc"), 2);
    EXPECT_EQ(s.Pos("abcabc"), 1);
    EXPECT_EQ(s.Pos("x"), 0);
    EXPECT_EQ(s.Pos(""), 0);
    EXPECT_EQ(s.Pos("abcabcd"), 0);
}

TEST(UnicodeString, CaseMappingCoversLatinAndCyrillicAndKeepsLength) {
    EXPECT_EQ(UnicodeString("Hello, Мир! ёлка Ё").UpperCase(), UnicodeString("HELLO, МИР! ЁЛКА Ё"));
    EXPECT_EQ(UnicodeString("ПРИВЕТ ЁЖ Abc").LowerCase(), UnicodeString("привет ёж abc"));
    // German sharp s has no one-letter capital: it stays, so the length does not change.
    EXPECT_EQ(UnicodeString("straße").UpperCase(), UnicodeString("STRAßE"));
    // A letter outside the basic plane maps as one code point (Deseret).
    EXPECT_EQ(UnicodeString("\xF0\x90\x90\xA8").UpperCase(), UnicodeString("\xF0\x90\x90\x80"));
}

TEST(UnicodeString, TrimRemovesControlCharactersAndSpacesOnly) {
    // U+0000 to U+0020 go; the no-break space U+00A0 is no blank.
    const UnicodeString s(std::u16string(u"\t\0\r\n \u0001x y\u00A0 \0", 11));
    EXPECT_EQ(s.Trim(), UnicodeString(u"x y\u00A0"));
    EXPECT_EQ(UnicodeString("  a  ").TrimLeft(), UnicodeString("a  "));
    EXPECT_EQ(UnicodeString("  a  ").TrimRight(), UnicodeString("  a"));
    EXPECT_EQ(UnicodeString("   ").Trim(), UnicodeString());
}

TEST(UnicodeString, ToIntDefAcceptsSignedDecimalAndHexadecimal) {
    struct Case { const char* text; int expected; };
    for (const Case& c : {Case{"42", 42}, Case{"  -17", -17}, Case{"+5", 5}, Case{"$ff", 255}, Case{"0x10", 16},
                          Case{"2147483647", 2147483647}, Case{"-2147483648", -2147483647 - 1},
                          Case{"2147483648", -1}, Case{"", -1}, Case{"-", -1}, Case{"12a", -1}, Case{"1 ", -1},
                          Case{"1.5", -1}}) {
        EXPECT_EQ(UnicodeString(c.text).ToIntDef(-1), c.expected) << c.text;
    }
    EXPECT_EQ(UnicodeString("x").ToIntDef(7), 7);
    EXPECT_EQ(UnicodeString("-12").ToInt(), -12);
    EXPECT_THROW(UnicodeString("12x").ToInt(), EConvertError);
}

namespace {

void expectDecimalPointNumbers() {
    EXPECT_DOUBLE_EQ(UnicodeString("1.7777").ToDouble(), 1.7777);
    EXPECT_DOUBLE_EQ(UnicodeString(" -2.5e3 ").ToDouble(), -2500.0);
    EXPECT_DOUBLE_EQ(UnicodeString("+.5").ToDouble(), 0.5);
    EXPECT_EQ(Format("%.2f", 1.5), UnicodeString("1.50"));
    for (const char* bad : {"1,5", "", "abc", "1.5x", "inf", "nan", "+-1", "--1"})
        EXPECT_THROW(UnicodeString(bad).ToDouble(), EConvertError) << bad;
}

}  // namespace

TEST(UnicodeString, ToDoubleAndFormatUseTheDecimalPoint) { expectDecimalPointNumbers(); }

TEST(UnicodeString, ToDoubleAndFormatUseTheDecimalPointInALocaleWithADecimalComma) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "ru_RU.UTF-8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',') {
            comma = true;
            break;
        }
    if (!comma) {
        std::setlocale(LC_ALL, previous.c_str());
        GTEST_SKIP() << "no locale with a decimal comma is installed (de_DE, ru_RU or fr_FR, UTF-8)";
    }
    expectDecimalPointNumbers();
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(UnicodeString, ConvertErrorCarriesTheText) {
    try {
        UnicodeString("zz").ToInt();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), UnicodeString("'zz' is not a valid integer value"));
    }
}

TEST(UnicodeString, FloatToStrGivesFifteenSignificantDigits) {
    struct Case { double value; const char* expected; };
    for (const Case& c : {Case{16.0 / 9, "1.77777777777778"}, Case{25, "25"}, Case{0.5, "0.5"}, Case{-0.5, "-0.5"},
                          Case{0, "0"}, Case{1e20, "1E20"}, Case{1.5e-7, "1.5E-7"}, Case{123456789012345.0, "123456789012345"},
                          Case{1234567890123456.0, "1.23456789012346E15"}, Case{0.0001, "0.0001"},
                          Case{0.00001, "1E-5"}, Case{4.0 / 3, "1.33333333333333"}, Case{2.35, "2.35"},
                          Case{0.1 + 0.2, "0.3"}, Case{-1e-300, "-1E-300"}, Case{100, "100"}}) {
        EXPECT_EQ(FloatToStr(c.value), UnicodeString(c.expected)) << c.expected;
    }
}

TEST(UnicodeString, ComparesByCodeUnitAndHashes) {
    EXPECT_LT(UnicodeString("Z"), UnicodeString("a"));
    EXPECT_LT(UnicodeString("ab"), UnicodeString("abc"));
    EXPECT_LT(UnicodeString("Ё"), UnicodeString("А"));
    EXPECT_LT(UnicodeString("я"), UnicodeString("ё"));
    EXPECT_NE(UnicodeString("a"), UnicodeString("A"));
    EXPECT_EQ(UnicodeString("a") + "б" + u'c', UnicodeString("aбc"));
    std::unordered_set<UnicodeString> set{"x", "y", "x"};
    EXPECT_EQ(set.size(), 2u);
}

TEST(UnicodeString, DeleteAndInsertClamp) {
    UnicodeString s = "abcdef";
    EXPECT_EQ(s.Delete(2, 2), UnicodeString("adef"));
    EXPECT_EQ(s.Delete(10, 1), UnicodeString("adef"));
    EXPECT_EQ(s.Insert("XY", 2), UnicodeString("aXYdef"));
    EXPECT_EQ(s.Insert("!", 100), UnicodeString("aXYdef!"));
}

TEST(UnicodeString, FormatGrowsBeyondItsSmallBuffer) {
    const std::string big(1000, 'x');
    EXPECT_EQ(Format("<%s>%d", big.c_str(), 7).Length(), 1003);
    EXPECT_EQ(Format("%s", "Привет"), UnicodeString("Привет"));
    EXPECT_EQ(IntToStr(-9223372036854775807LL - 1), UnicodeString("-9223372036854775808"));
}
