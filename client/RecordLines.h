#pragma once
// The record lines of list.php and find.php: after a first line "OK", one record a line, its fields separated by
// tabs (id, title, director, country, year, duration in seconds, genres, actors). The main window and the search
// form show them in the same nine-column grid.

#include "platform/UnicodeString.h"

class TStringGrid;
class TStringList;

// Sets the nine column widths and headers of a record grid and fixes its first two columns (number and id).
void SetupRecordGrid(TStringGrid& grid);

// Rebuilds the grid from a reply whose first line is "OK": one empty data row when no record follows, otherwise
// one numbered row per record line. The grid then tells its watchers that its rows were filled anew.
void ShowRecordLines(TStringGrid& grid, const TStringList& lines);

// A list.php or find.php reply of at least one line: its records into the grid when the first line is "OK",
// else the message of the account refusal it names (or none). Returns whether the records were shown.
bool ShowRecordReply(TStringGrid& grid, const TStringList& lines);
