#include "Tags.h"

#include <algorithm>
#include <string>

namespace {

bool occursAt(std::u16string_view text, std::u16string_view tag, std::size_t p0) {
    return text.substr(p0).starts_with(tag);
}

std::u16string_view untilNul(const UnicodeString& text) {
    const std::u16string_view all = text.u16();
    return all.substr(0, all.find(u'\0'));
}

// First position from..n (1-based) where tag occurs, 0 when none.
int findFrom(const UnicodeString& text, const UnicodeString& tag, int from) {
    for (int p = std::max(from, 1); p <= text.Length(); ++p) {
        if (occursAt(text.u16(), tag.u16(), static_cast<std::size_t>(p - 1))) return p;
    }
    return 0;
}

}  // namespace

int CountTags(const UnicodeString& text, const UnicodeString& tag) {
    int count = 0;
    for (int p = findFrom(text, tag, 1); p != 0; p = findFrom(text, tag, p + 1)) ++count;
    return count;
}

int GetTagPos(const UnicodeString& text, const UnicodeString& tag, int index) {
    if (index < 0) return -1;
    int p = findFrom(text, tag, 1);
    for (int i = 0; p != 0 && i < index; ++i) p = findFrom(text, tag, p + 1);
    return p == 0 ? -1 : p;
}

UnicodeString GetBetweenTags(const UnicodeString& text, const UnicodeString& open, const UnicodeString& close,
                             int start) {
    const int p = findFrom(text, open, start);
    if (p == 0) return {};
    const int inside = p + open.Length();
    const int q = findFrom(text, close, inside);
    if (q == 0) return {};
    return text.SubString(inside, q - inside);
}

UnicodeString RemoveAllTags(const UnicodeString& text, const UnicodeString& open, const UnicodeString& close,
                            int maxOffset) {
    const std::u16string_view t = untilNul(text), o = untilNul(open), c = untilNul(close);
    std::u16string out;
    out.reserve(t.size());
    std::size_t i = 0;
    while (i < t.size()) {
        std::size_t next = 0;  // where the walk goes on after a removed span; 0 while none is found
        if (maxOffset >= 0 && occursAt(t, o, i)) {
            const auto limit = static_cast<std::size_t>(maxOffset);
            for (std::size_t j = 0; j <= limit && i + j < t.size(); ++j) {
                if (occursAt(t, c, i + j)) {
                    next = i + j + std::max<std::size_t>(c.size(), 1);
                    break;
                }
            }
        }
        if (next == 0) out += t[i++];  // no tag here, or one without a near closing tag: plain text
        else i = next;
    }
    return UnicodeString(std::move(out));
}
