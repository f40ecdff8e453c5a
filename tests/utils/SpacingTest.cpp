#include "TestSupport.h"
#include "utils/Spacing.h"

TEST(RemoveSubWords, KeepsTheLinesNotTakenOut) {
    EXPECT_EQ(RemoveSubWords("a\r\nb\r\na", "a"), UnicodeString("b\r\n"));
    EXPECT_EQ(RemoveSubWords("", "a"), UnicodeString());
    EXPECT_EQ(RemoveSubWords("a\nb\rc", ""), UnicodeString("a\r\nb\r\nc\r\n"));
    EXPECT_EQ(RemoveSubWords("x\nX\nx", "X"), UnicodeString("x\r\nx\r\n"));
    EXPECT_EQ(RemoveSubWords("a\nb", "b\na"), UnicodeString());
}

TEST(SmartRemoveLineBreaks, JoinsWrappedLines) {
    struct Case { const char* text; const char* expected; };
    const Case cases[] = {
        {"Это первая\r\nстрока текста.\r\nВторая.", "Это первая строка текста.\r\nВторая."},
        {"Итог: 5.\r\nдалее", "Итог: 5. далее"},
        {"пере-\r\nнос", "перенос"},
        {"Пере-\r\nНос", "Пере- Нос"},
        {"слово\r\n\r\nДругое", "слово \r\nДругое"},
        {"слово.\r\n\r\nДругое", "слово.\r\n\r\nДругое"},
        {"строка  \r\nещё", "строка  ещё"},
        {"\r\n\r\nТекст", "Текст"},
        {"А\r\nБ", "АБ"},
        {"A.\r\nB", "A. B"},
        {"Да!\r\n  1", "Да!\r\n  1"},
        {"no breaks", "no breaks"},
        {"lone\rcr\nand lf", "lone\rcr\nand lf"},
        {"end\r\n", "end "},
        {"end.\r\n", "end.\r\n"},
        {"a -\r\nb", "a - b"},         // the hyphen joins only after a lower-case letter
        {"ab.   \r\nCd", "ab.   Cd"},  // the sentence end lies outside the three characters looked at
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(SmartRemoveLineBreaks(c.text), UnicodeString(c.expected)) << c.text;
}

TEST(FindSymbol, FirstAndLastCharacterThatIsNoSpace) {
    EXPECT_EQ(FindLastSymbol("ab  "), UnicodeString("b"));
    EXPECT_EQ(FindLastSymbol("   "), UnicodeString(" "));
    EXPECT_EQ(FindLastSymbol(""), UnicodeString());
    EXPECT_EQ(FindNextSymbol("  \tx"), UnicodeString("\t"));
    EXPECT_EQ(FindNextSymbol("  "), UnicodeString(" "));
    EXPECT_EQ(FindNextSymbol(""), UnicodeString());
}

TEST(TrimInside, ShrinksRunsOfSpaces) {
    EXPECT_EQ(TrimInside("  a   b  "), UnicodeString(" a b "));
    EXPECT_EQ(TrimInside(" \t "), UnicodeString(" \t "));
    EXPECT_EQ(TrimInside(""), UnicodeString());
}

TEST(LetterCase, CapitalizeAndInverseRegister) {
    EXPECT_EQ(Capitalize("иВАН пЕТРОВ, o'neil, кто-то 2nd ёлка"), UnicodeString("Иван Петров, O'Neil, Кто-то 2nd Ёлка"));
    EXPECT_EQ(Capitalize("ЁЖИК éCOLE"), UnicodeString("Ёжик école"));
    EXPECT_EQ(Capitalize(u"да\u2014нет"), UnicodeString(u"Да\u2014Нет"));
    EXPECT_EQ(Capitalize(""), UnicodeString());
    EXPECT_EQ(InverseRegister("Ёжик Hello"), UnicodeString("ёЖИК hELLO"));
    EXPECT_EQ(InverseRegister("Яя Zz 1 ß É"), UnicodeString("яЯ zZ 1 ß É"));
    EXPECT_EQ(InverseRegister(""), UnicodeString());
}

TEST(LetterCase, TheTwoEmptyFunctionsGiveEmptyText) {
    EXPECT_EQ(SmartRemoveLineBreaks2("a\r\nb"), UnicodeString());
    EXPECT_EQ(DeleteUnnecessaryLineBreaks("a\r\nb"), UnicodeString());
}
