#pragma once
// Latin-1 text, as the program holds it, to and from UTF-8, as terminals and
// file names on disk take it.
#include <string>
#include <string_view>

std::string Latin1ToUtf8(std::string_view text);

// The length of the well-formed UTF-8 sequence of two to four bytes that
// starts at text[at] (no overlong forms, surrogates or code points past
// U+10FFFF); 0 when none starts there.
size_t Utf8SequenceAt(std::string_view text, size_t at);

// Characters beyond Latin-1 become '?'; bytes that aren't UTF-8 are taken
// as Latin-1 characters as they stand.
std::string Utf8ToLatin1(std::string_view text);

// For a terminal: UTF-8, with control characters shown as '?'.
std::string TerminalText(std::string_view latin1);
