#pragma once
// What a console program needs to know about where its output goes.

#include <cstdio>

// Whether `out` writes to a terminal (where a line can be rewritten in place), not to a file or a pipe.
bool IsTerminal(std::FILE* out);
