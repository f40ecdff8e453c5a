#pragma once
// Tools over lists of strings, changed in place. Order is that of UnicodeString's less-than:
// UTF-16 code units, a prefix first; letter case and locale play no part.

#include "platform/StringList.h"
#include "platform/UnicodeString.h"

// Iterative quicksort of n items, ascending; not stable.
void qSortI(UnicodeString* items, int n);
// The same over the list's texts; attached objects stay at their indexes.
void qSortI(TStringList* list);

// Drops every item equal to the item kept before it; the list is rewritten through its text.
void Uniq(TStringList* list);
// Replaces the items by one "count\titem" line per run of equal consecutive items, through the
// list's text. False, and the list unchanged, when it had no items.
bool Stat(TStringList* list);
// As Stat, the lines ordered by count and then by item. False when the list had no items.
bool StatByNum(TStringList* list);

// fill repeated (width - length) times before text; text unchanged when longer than width.
UnicodeString lPad(const UnicodeString& text, const UnicodeString& fill, int width);
