#pragma once
// Cutting a line into fields, splitting and joining, replacing and finding substrings, and the
// library's one table of word delimiters. Comparisons are exact (UTF-16 code units) unless a
// match-case option is off, in which case both sides are upper-cased first.

#include "platform/StringList.h"
#include "platform/UnicodeString.h"

// Field index (from 0) of text cut at every occurrence of delimiter (occurrences may overlap);
// empty text for a negative index, an absent field, an empty text or an empty delimiter.
UnicodeString getFieldFromString(int index, const UnicodeString& text, const UnicodeString& delimiter);
// Cuts text at the delimiters (tried in list order, consumed whole) into the emptied fields list;
// empty delimiters are passed over. Returns the number of fields, one more than the delimiters met.
int getFieldsFromString(const UnicodeString& text, const TStringList* delimiters, TStringList* fields);
int explode(const UnicodeString& delimiter, const UnicodeString& text, TStringList* fields);
// The items with glue between each two of them.
UnicodeString implode(const UnicodeString& glue, const TStringList* items);

// Every occurrence, leftmost first and without overlap; an empty search text changes nothing.
UnicodeString str_replace(const UnicodeString& search, const UnicodeString& replacement, const UnicodeString& subject);
// As str_replace, optionally ignoring case and only for whole words; count receives the replacements.
UnicodeString ReplaceAll(const UnicodeString& text, const UnicodeString& search, const UnicodeString& replacement,
                         bool matchCase, bool wholeWord, int& count);
// The next occurrence of pattern, searching cyclically forward from start + 2 or backward from
// start - 1 over the text's other positions; -1 when none, for a text of fewer than two characters
// or a start outside 0..Length(). An empty pattern matches at the first candidate.
int FindPos(const UnicodeString& text, const UnicodeString& pattern, int start, bool forward, bool matchCase,
            bool wholeWord);
// Carriage returns among the first n characters.
int SkipCount(const UnicodeString& text, int n);

// Whether text's first character is a word delimiter; above U+00FF only the one-character texts
// of U+201C, U+201D, U+2026 and U+2014 count. Raises ERangeError for empty text.
bool isDelimeter(const UnicodeString& text);
// Whether c is in the delimiter table (nothing above U+00FF).
bool isDelimeter2(char16_t c);

// Joins wrapped lines into paragraphs: a line joins the previous one unless that ended with
// ".", "?" or "!" or was empty, or it begins with a space or a tab. Every line ends in CR LF.
UnicodeString delete_unnecessary_line_breaks(const UnicodeString& text);
// The first character upper-cased, the rest lower-cased.
UnicodeString FirstUpperCase(const UnicodeString& text);
