#pragma once
// Cutting a text into syllables, words or sentences, one piece a line of the caller's list,
// whose contents each function replaces.

#include "platform/StringList.h"
#include "platform/UnicodeString.h"

// The syllables of the Russian words of text (words cut at isDelimeter); a word with fewer than two
// vowels goes in whole. Returns the list's count.
int SplitToSlogs(const UnicodeString& text, TStringList* list);

// Words cut at isDelimeter, added one by one; returns the number added.
int SplitToWords(const UnicodeString& text, TStringList* list);
// Words cut at the delimiter table alone (the typographic marks stay inside words), the text taken
// as ending at its first U+0000; words longer than maxLength are dropped. Returns the list's count.
int SplitToWords(const UnicodeString& text, TStringList* list, int maxLength);

// Sentences ended by ".", "!" or "?", blanks shrunk to one space and trimmed; a last sentence without
// its mark is kept. Returns the number added.
int SplitToSequences(const UnicodeString& text, TStringList* list);
// The same without trimming, the text taken as ending at its first U+0000; sentences longer than
// maxLength characters (the end mark not counted) are dropped. Returns the list's count.
int SplitToSequences(const UnicodeString& text, TStringList* list, int maxLength);
