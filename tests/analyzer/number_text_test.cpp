#include "number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace {

TEST(ParseLeadingNumber, ReadsTheLeadingNumberLikeAtof)
{
    const std::pair<const char*, double> cases[] = {
        {"1.777778", 1.777778}, {"1", 1},       {"  +2.5x", 2.5}, {"-1.5", -1.5}, {".5", 0.5},  {"1e3", 1000},
        {"1e", 1},              {"0x10", 16},   {"0x", 0},        {"abc", 0},     {"", 0},      {"--1", 0},
        {"1,5", 1},             {"\t3", 3},     {"- 1", 0},       {"16/9", 16}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseLeadingNumber(text), value) << '"' << text << '"';
    EXPECT_TRUE(std::isnan(ParseLeadingNumber("nan")));
    EXPECT_TRUE(std::isinf(ParseLeadingNumber("inf")));
}

TEST(FormatNumber, MatchesPrintfFormsWithADot)
{
    EXPECT_EQ(FormatGeneral(24000 / 1001.0), "23.976");
    EXPECT_EQ(FormatGeneral(25), "25");
    EXPECT_EQ(FormatGeneral(29.97), "29.97");
    EXPECT_EQ(FormatFixed(1.777778 / 2.0, 6), "0.888889");
    EXPECT_EQ(FormatFixed(1.0, 6), "1.000000");
    EXPECT_EQ(FormatFixed(300 / 24.0, 2), "12.50");
    EXPECT_EQ(FormatFixed(1 / 3.0, 2), "0.33");
}

TEST(FormatNumber, IgnoresTheProcessLocale)
{
    // A locale with a decimal comma, when the machine has one; the texts must not change.
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "ru_RU.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(FormatFixed(0.5, 6), "0.500000");
    EXPECT_EQ(ParseLeadingNumber("1.25"), 1.25);
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
