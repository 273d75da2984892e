#pragma once

#include "toolkit/Types.h"

// Whether `path` names an existing regular file (a folder does not count).
bool FileExists(const String& path);

// Whether two file names (or parts of them, such as extensions) name the same file on this
// system: letter for letter where names differ by case (Linux), regardless of case where they do
// not (Windows).
bool SameFileName(const String& a, const String& b);

// Every letter in lower case, by the platform's Unicode rules.
String AnsiLowerCase(const String& text);
