#pragma once
// Starting an outside program and waiting for it.

#include <vector>

#include "platform/UnicodeString.h"

// Runs `program` with `args` as its argument vector (never through a shell, so a path with blanks or quotes
// arrives as one argument, its bytes intact) in the working folder `folder`, and waits for it to end without a
// time-out. The program is taken from `folder` when it is there, else looked up on PATH. Standard input is empty;
// when `captureFile` is given, standard output and error are appended to it (it is created when missing),
// otherwise they are discarded. Returns false when the program could not be started; its exit code is not read.
bool RunProgram(const UnicodeString& folder, const UnicodeString& program, const std::vector<UnicodeString>& args,
                const UnicodeString& captureFile = UnicodeString());
