#pragma once

// Text in UTF-8, as the program keeps it, and in UTF-16, as the wide calls of Windows take it.
// One set of rules for every caller: what is not well-formed becomes U+FFFD, one for each maximal
// ill-formed part of UTF-8 (as Unicode recommends) and one for each unpaired surrogate of UTF-16.

#include <optional>
#include <string>
#include <string_view>

// `wellFormed`, when given, says whether nothing had to be replaced.
std::u16string Utf8ToUtf16(std::string_view text, bool* wellFormed = nullptr);
std::string Utf16ToUtf8(std::u16string_view text);

// A name for the system (a file's, a resource's), or nullopt when it is not well-formed UTF-8 or
// holds a NUL: with a replacement character in it, or cut short at the NUL, it could name
// another file. Text that is only shown (a caption) takes Utf8ToUtf16 instead.
std::optional<std::u16string> Utf16Name(std::string_view name);
