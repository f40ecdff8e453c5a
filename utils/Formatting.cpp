#include "Formatting.h"

#include <cinttypes>

namespace {

// The hours, minutes and seconds pieces followed by " (", the grouped count and unitClose.
// A negative count takes the below-a-minute branches unchanged.
UnicodeString durationText(int s, const char* unitClose) {
    UnicodeString text;
    int r = s;
    if (s < 3600) {
        text = "0:";
    } else {
        text = Format("%i:", s / 3600);
        r = s % 3600;
    }
    int sec = r;
    if (r < 60) {
        text += "00:";
    } else {
        sec = r % 60;
        text += Format("%s%i:", r < 600 ? "0" : "", r / 60);
    }
    text += Format("%s%i", sec <= 9 ? "0" : "", sec);
    return text + " (" + NiceNumberView(s) + unitClose;
}

}  // namespace

UnicodeString NiceNumberView(std::int64_t value) {
    const UnicodeString digits = Format("%" PRId64, value);
    const int sign = value < 0 ? 1 : 0;
    UnicodeString out = digits.SubString(1, sign);
    const int count = digits.Length() - sign;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0) out += u' ';
        out += digits[sign + 1 + i];
    }
    return out;
}

UnicodeString GetTimeForMovieRus(int seconds) { return durationText(seconds, " сек)"); }

UnicodeString GetTimeForMovie(int seconds) { return durationText(seconds, " sec)"); }
