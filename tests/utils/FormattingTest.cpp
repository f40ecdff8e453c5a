#include <cstdint>
#include <limits>

#include "TestSupport.h"
#include "utils/Formatting.h"

TEST(NiceNumberView, GroupsDigitsInThrees) {
    struct Case { std::int64_t value; const char* expected; };
    const Case cases[] = {
        {0, "0"}, {999, "999"}, {1000, "1 000"}, {1234567, "1 234 567"}, {123456, "123 456"},
        {-12, "-12"}, {-123, "-123"}, {-1234, "-1 234"}, {-123456, "-123 456"},
        {std::numeric_limits<std::int64_t>::max(), "9 223 372 036 854 775 807"},
        {std::numeric_limits<std::int64_t>::min(), "-9 223 372 036 854 775 808"},
    };
    for (const Case& c : cases) EXPECT_EQ(NiceNumberView(c.value), UnicodeString(c.expected)) << c.expected;
}

TEST(GetTimeForMovie, DurationsInBothLanguages) {
    struct Case { int seconds; const char* expected; };
    const Case cases[] = {
        {0, "0:00:00 (0 сек)"},
        {9, "0:00:09 (9 сек)"},
        {59, "0:00:59 (59 сек)"},
        {60, "0:01:00 (60 сек)"},
        {600, "0:10:00 (600 сек)"},
        {3599, "0:59:59 (3 599 сек)"},
        {3600, "1:00:00 (3 600 сек)"},
        {3725, "1:02:05 (3 725 сек)"},
        {36000, "10:00:00 (36 000 сек)"},
        {86400, "24:00:00 (86 400 сек)"},
        {std::numeric_limits<int>::max(), "596523:14:07 (2 147 483 647 сек)"},
        {-5, "0:00:0-5 (-5 сек)"},
        {-61, "0:00:0-61 (-61 сек)"},
    };
    for (const Case& c : cases) {
        const UnicodeString rus = GetTimeForMovieRus(c.seconds);
        EXPECT_EQ(rus, UnicodeString(c.expected)) << c.seconds;
        // The English twin differs in its closing text alone.
        const UnicodeString eng = GetTimeForMovie(c.seconds);
        EXPECT_EQ(eng, rus.SubString(1, rus.Length() - 5) + " sec)") << c.seconds;
    }
}
