#pragma once

#include "toolkit/Types.h"

// Whether `path` names an existing regular file (a folder does not count).
bool FileExists(const String& path);

// Every letter in lower case, by the platform's Unicode rules.
String AnsiLowerCase(const String& text);
