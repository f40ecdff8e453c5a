#include "platform/Console.h"

#include <unistd.h>

bool IsTerminal(std::FILE* out) { return isatty(fileno(out)) == 1; }
