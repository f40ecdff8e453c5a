#pragma once
// Finding marker strings (tags) in a text. A tag occurs wherever the text's characters from that
// position equal it exactly; occurrences may overlap, and an empty tag occurs everywhere.

#include "platform/UnicodeString.h"

int CountTags(const UnicodeString& text, const UnicodeString& tag);
// Position of the occurrence with that index (0 = the first); -1 when there are not that many.
int GetTagPos(const UnicodeString& text, const UnicodeString& tag, int index);
// The text between the first opening tag at or after start (below 1 counts as 1) and the first
// closing tag after it; empty when either is missing.
UnicodeString GetBetweenTags(const UnicodeString& text, const UnicodeString& open, const UnicodeString& close,
                             int start);
// The text without every span from an opening tag to a closing tag whose first character lies at
// most maxOffset characters after the opening tag's first; an opening tag without such a closing tag
// stays as plain text. Text and tags are taken as ending at their first U+0000.
UnicodeString RemoveAllTags(const UnicodeString& text, const UnicodeString& open, const UnicodeString& close,
                            int maxOffset);
