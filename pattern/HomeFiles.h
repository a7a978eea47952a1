#pragma once
// Files the main window keeps in its home folder at start-up and close.
#include <filesystem>
#include <string>

// The 32 sample slots' work files: temp/sample1.wav .. temp/sample32.wav.
std::filesystem::path SampleWorkFile(const std::filesystem::path& home, int slot);

// Makes the temp folder when missing, deletes the 32 work files and copies
// "Blank.wav" over each. Never fails: a missing "Blank.wav" or a temp folder
// that can't be made leaves the files as they are.
void ResetSampleWorkFiles(const std::filesystem::path& home);
