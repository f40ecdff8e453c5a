#pragma once
// The client's work folder in CurPath, where the outside programs leave what the add-video form uploads. Clients
// running from one folder never mix their work: each holds its own folder until its process ends.

#include "platform/UnicodeString.h"

// Chooses this client's work folder in CurPath and holds it until the process ends or the next choice: the first
// of temp, temp.2, temp.3, ... that no other running client holds, each temp.N created when missing. A missing
// temp is not created; it stays the work folder, unheld, and the analysis then fails with its message.
void TakeWorkFolder();

// The work folder taken, CurPath/temp before any is; and a file in it.
UnicodeString WorkFolder();
UnicodeString WorkFile(const UnicodeString& name);
