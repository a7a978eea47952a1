#pragma once
// Text helpers for the program's text files and number fields. Strings hold
// Latin-1 bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using Lines = std::vector<std::string>;

// Splits bytes into lines at CR LF, LF or CR. A final line end does not start
// another line.
Lines SplitLines(std::string_view bytes);

// Joins lines, each ended by CR LF (the last one too).
std::string JoinLinesCrlf(const Lines& lines);

// The text less the blanks before and after it.
std::string WithoutSurroundingBlanks(std::string_view text);

// A whole number: optional sign and decimal digits, else EConvertError.
int ParseWholeNumber(std::string_view text);

// The whole number on line index of a text file (a line past the end reads
// as empty); ELineError naming the line (index + 1) when it isn't one.
int ParseNumberLine(const Lines& lines, std::int64_t index);

// Nearest integer, ties to even.
long long RoundTiesEven(double value);

// The text after the last '\', '/' or ':'.
std::string FileNamePart(std::string_view path);

// The text less its control characters (line breaks, tabs, C0 and C1
// controls): what a user types or pastes into a cell or a name, so that a
// file written with it always reads back.
std::string WithoutControlCharacters(std::string_view text);

// ASCII and Latin-1 letters folded to lower case, for case-blind comparison.
std::string LowerLatin1(std::string_view text);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
