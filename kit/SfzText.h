#pragma once
// The text of an SFZ file as a list of headers and opcodes: comments gone,
// "#define $NAME value" substituted, "#include" files read in place (only
// from the kit's folder, never recursively).
#include <filesystem>
#include <string>
#include <vector>

struct SfzToken {
  bool header = false;  // "<region>" gives a header named "region"
  std::string name;
  std::string value;  // an opcode's value, blanks around it dropped
  std::filesystem::path file;
  int line = 0;
};

// Exception naming the file and line: a file that can't be read or is too
// large, an #include leaving kitFolder or naming a file that includes it,
// text that is neither a header nor an opcode.
std::vector<SfzToken> SfzTokens(const std::filesystem::path& file,
                                const std::filesystem::path& kitFolder);

// The largest SFZ file read, and how deep #include may go.
inline constexpr std::uintmax_t kMaxSfzBytes = 8u << 20;
inline constexpr int kMaxSfzIncludeDepth = 16;
