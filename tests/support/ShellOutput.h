#pragma once
// What a shell command printed, for tests that ask other programs (sox,
// python3) about the files Korvanto wrote.
#include <cstdio>
#include <string>

inline std::string ShellOutput(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    ::pclose(pipe);
  }
  return text;
}
