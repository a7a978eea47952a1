#pragma once
// Outputs never replace inputs: a render, an export, a kit build or
// extraction and a collection refuse to write over a file they read, over a
// file the home folder (a folder holding the kit power.dxg) holds for the
// program (songs, patterns, kits, Panning.dat, Blank.wav) and into the
// home's temp folder, where the program keeps its work files.
#include <filesystem>
#include <string>
#include <vector>

#include "common/Exception.h"

class EOutputRefused : public Exception {
 public:
  explicit EOutputRefused(const std::string& message) : Exception(message) {}
};

struct OutputRule {
  std::filesystem::path home;
  std::vector<std::filesystem::path> inputs;  // the files the command reads
};

// Why output may not be written, or empty when it may. A file (or a folder
// of outputs) is compared as the file system resolves it: through links,
// relative or absolute.
std::string OutputRefusal(const OutputRule& rule, const std::filesystem::path& output);

// EOutputRefused with the reason when output may not be written.
void CheckOutput(const OutputRule& rule, const std::filesystem::path& output);
