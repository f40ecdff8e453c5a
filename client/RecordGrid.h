#pragma once
// What the main window's record list and the search form's result grid do alike: show the current row's place
// in two status panels, open the current row's record in the record form, and step to a neighbouring row.

#include "platform/UnicodeString.h"

class QLabel;
class TStringGrid;

// "Запись: <current row>" and "Всего записей: <record rows>"; both empty while the grid holds no record.
void ShowRecordPosition(const TStringGrid& grid, QLabel& position, QLabel& total);

// Sets VIEW_ID from the current row's id column and loads that record into the record form, which then steps
// through `table` ("My" or "Search"). A row without an id sets VIEW_ID to 0 and opens nothing; returns whether
// a record was opened.
bool OpenCurrentRecord(const TStringGrid& grid, const UnicodeString& table);

// Makes the row `delta` rows away from the current one current, when it is a record row (1 .. RowCount()-1);
// returns whether it moved.
bool MoveCurrentRow(TStringGrid& grid, int delta);
