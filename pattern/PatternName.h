#pragma once
// Pattern names become file names in the home folder: name + ".pat".
#include <filesystem>
#include <string>

// A name that stays a single file in the home folder: not empty, no '/',
// '\' or NUL, and neither "." nor "..".
bool IsUsablePatternName(const std::string& name);
// Why a name being typed can't name a pattern file; empty when it can (an
// empty name too: it is not finished).
std::string PatternNameRefusal(const std::string& name);

// A file name ending in ".pat" in any letter case, with a name before it.
bool IsPatternFile(const std::filesystem::path& file);

// home / (name + ".pat"), whatever the name; an existing file whose
// extension differs only in case (name.PAT) when there is no name.pat.
std::filesystem::path PatternFilePath(const std::filesystem::path& home, const std::string& name);

// The path to read a pattern from; EFOpenError for a name that would leave
// the home folder.
std::filesystem::path PatternPathForReading(const std::filesystem::path& home,
                                            const std::string& name);
// The path to save a pattern to; EFCreateError for such a name.
std::filesystem::path PatternPathForWriting(const std::filesystem::path& home,
                                            const std::string& name);
