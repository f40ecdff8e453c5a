#pragma once
// Numbers and durations as display text.

#include <cstdint>

#include "platform/UnicodeString.h"

// Digits grouped in threes from the right with one space between groups: -1234567 -> "-1 234 567".
UnicodeString NiceNumberView(std::int64_t value);
// "h:mm:ss (N сек)", hours unpadded, N grouped by NiceNumberView: 3725 -> "1:02:05 (3 725 сек)".
UnicodeString GetTimeForMovieRus(int seconds);
// The same with " sec)" as its closing text.
UnicodeString GetTimeForMovie(int seconds);
