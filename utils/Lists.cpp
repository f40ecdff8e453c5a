#include "Lists.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Quicksort with an explicit stack of pending ranges, going on with the smaller part each time,
// so the stack stays near log2(n) deep.
template <class Get, class Swap>
void quickSort(int n, Get get, Swap swap) {
    if (n < 2) return;
    std::vector<std::pair<int, int>> pending;
    int L = 0, R = n - 1;
    for (;;) {
        while (L < R) {
            const int middle = (L + R) / 2;
            const UnicodeString pivot = get(middle);
            int i = L, j = R;
            while (i <= j) {
                while (get(i) < pivot) ++i;
                while (pivot < get(j)) --j;
                if (i <= j) swap(i++, j--);
            }
            if (i < middle) {
                if (i < R) pending.emplace_back(i, R);
                R = j;
            } else {
                if (L < j) pending.emplace_back(L, j);
                L = i;
            }
        }
        if (pending.empty()) return;
        std::tie(L, R) = pending.back();
        pending.pop_back();
    }
}

// The runs of equal consecutive items, as (item, length).
std::vector<std::pair<UnicodeString, int>> runs(const TStringList* list) {
    std::vector<std::pair<UnicodeString, int>> out;
    for (int i = 0; i < list->Count(); ++i) {
        if (!out.empty() && out.back().first == list->Get(i)) ++out.back().second;
        else out.emplace_back(list->Get(i), 1);
    }
    return out;
}

}  // namespace

void qSortI(UnicodeString* items, int n) {
    quickSort(n, [items](int i) -> const UnicodeString& { return items[i]; },
              [items](int i, int j) { std::swap(items[i], items[j]); });
}

void qSortI(TStringList* list) {
    quickSort(list->Count(), [list](int i) -> const UnicodeString& { return list->Get(i); },
              [list](int i, int j) {
                  const UnicodeString held = list->Get(i);
                  list->Put(i, list->Get(j));
                  list->Put(j, held);
              });
}

void Uniq(TStringList* list) {
    TStringList kept;
    for (const auto& run : runs(list)) kept.Add(run.first);
    list->SetText(kept.Text());
}

bool Stat(TStringList* list) {
    if (list->Count() == 0) return false;
    TStringList lines;
    for (const auto& [item, length] : runs(list)) lines.Add(Format("%i\t", length) + item);
    list->SetText(lines.Text());
    return true;
}

bool StatByNum(TStringList* list) {
    if (list->Count() == 0) return false;
    if (list->Count() == 1) {
        list->Put(0, UnicodeString("1\t") + list->Get(0));
        return true;
    }
    const auto all = runs(list);
    // Counts right-aligned to one width (seven, or wider for runs of ten million and more), so that
    // ordering the lines as texts orders them by count.
    int longest = 0;
    for (const auto& run : all) longest = std::max(longest, run.second);
    const int width = std::max(7, IntToStr(longest).Length());
    TStringList lines;
    for (const auto& [item, length] : all) lines.Add(lPad(IntToStr(length), " ", width) + "\t" + item);
    qSortI(&lines);
    list->Clear();
    for (int i = 0; i < lines.Count(); ++i) list->Add(lines[i].TrimLeft());
    return true;
}

UnicodeString lPad(const UnicodeString& text, const UnicodeString& fill, int width) {
    if (text.Length() > width || fill.IsEmpty()) return text;
    UnicodeString out;
    for (int i = text.Length(); i < width; ++i) out += fill;
    return out + text;
}
