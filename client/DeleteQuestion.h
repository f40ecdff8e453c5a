#pragma once
// The delete question follows what the user sees. It asks about the record selected in a record list (the main
// window's or the search form's), which the record form may show as well; as soon as that record stops being the
// one selected there or shown there (a step, an open of another row, a reload of the list, a new search), the
// question closes as if "Нет" were pressed.

#include "platform/UnicodeString.h"

class TStringGrid;

enum class DeleteAnswer {
    Yes,
    No,
    Withdrawn,  // the record stopped being the one selected or shown before an answer came
};

// Asks whether the record whose id cell reads `id` is to be deleted, the record that `list`'s current row holds
// or the record form shows.
DeleteAnswer AskToDeleteRecord(const UnicodeString& id, TStringGrid& list);
