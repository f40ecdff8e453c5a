#pragma once
// The client's user-interface styles: Qt style sheets compiled into the program's resources by name.

#include "platform/UnicodeString.h"

// Applies the style sheet of that name to the whole application. When there is none, shows
// "Style '<name>' not found", keeps the default look and returns false.
bool TrySetStyle(const UnicodeString& name);
