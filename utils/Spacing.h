#pragma once
// Reworking line breaks, spaces and letter case. A line break is CR LF; the only blank is the space.

#include "platform/UnicodeString.h"

// The lines of text that are not among the lines of remove (exact), each followed by CR LF.
UnicodeString RemoveSubWords(const UnicodeString& text, const UnicodeString& remove);
// Joins the wrapped lines of running text: a break stays after an empty line and after a sentence end
// that no lower-case letter follows; a word hyphenated at a break joins up; otherwise one space.
UnicodeString SmartRemoveLineBreaks(const UnicodeString& text);
// The last (FindLastSymbol) or first (FindNextSymbol) character that is not a space; a space when
// all are spaces; empty for empty text.
UnicodeString FindLastSymbol(const UnicodeString& text);
UnicodeString FindNextSymbol(const UnicodeString& text);
// Every run of spaces shrunk to one space.
UnicodeString TrimInside(const UnicodeString& text);
// Latin and Cyrillic letters: each word's first letter upper case, its others lower case.
UnicodeString Capitalize(const UnicodeString& text);
// Latin and Cyrillic letters: upper case made lower and lower made upper.
UnicodeString InverseRegister(const UnicodeString& text);
// Both give empty text, whatever the text.
UnicodeString SmartRemoveLineBreaks2(const UnicodeString& text);
UnicodeString DeleteUnnecessaryLineBreaks(const UnicodeString& text);
