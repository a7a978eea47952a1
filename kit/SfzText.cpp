#include "kit/SfzText.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/ImportedKit.h"
#include "kit/KitSamplePath.h"

namespace fs = std::filesystem;

namespace {

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Where the next header or opcode starts at or after at: '<', or a name
// followed by '=' after a blank.
std::size_t NextTokenStart(const std::string& line, std::size_t at) {
  for (std::size_t i = at; i < line.size(); ++i) {
    if (line[i] == '<') return i;
    if (!IsBlank(line[i])) continue;
    std::size_t j = i;
    while (j < line.size() && IsBlank(line[j])) ++j;
    std::size_t k = j;
    while (k < line.size() && IsNameChar(line[k])) ++k;
    if (k > j && k < line.size() && line[k] == '=') return j;
  }
  return line.size();
}

class SfzScanner {
 public:
  explicit SfzScanner(const fs::path& kitFolder) : kitFolder_(kitFolder) {}

  void Read(const fs::path& file, const fs::path& from, int fromLine) {
    const std::string place = from.empty() ? "" : SourcePlace(from, fromLine);
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(file, ec);
    if (std::find(stack_.begin(), stack_.end(), real) != stack_.end())
      throw Exception(place + "#include \"" + DisplayPath(file) +
                      "\" includes itself (recursive #include)");
    if (static_cast<int>(stack_.size()) >= kMaxSfzIncludeDepth)
      throw Exception(place + "#include nested more than " + std::to_string(kMaxSfzIncludeDepth) +
                      " deep");
    if (!fs::is_regular_file(file, ec)) throw Exception(place + "can't read " + DisplayPath(file));
    if (fs::file_size(file, ec) > kMaxSfzBytes)
      throw Exception(DisplayPath(file) + ": larger than an SFZ file can be");
    stack_.push_back(real);
    Scan(WithoutComments(ReadFileBytes(file)), file);
    stack_.pop_back();
  }

  std::vector<SfzToken> Tokens() { return std::move(tokens_); }

 private:
  // Comments become blanks; line ends stay, so lines keep their numbers.
  static std::string WithoutComments(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    bool block = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      const char next = i + 1 < text.size() ? text[i + 1] : '\0';
      if (block) {
        if (c == '*' && next == '/') block = false, ++i;
        if (c == '\n') out += c;
        continue;
      }
      if (c == '/' && next == '*') {
        block = true;
        ++i;
        out += ' ';
      } else if (c == '/' && next == '/') {
        while (i + 1 < text.size() && text[i + 1] != '\n') ++i;
      } else {
        out += c;
      }
    }
    return out;
  }

  void Scan(const std::string& text, const fs::path& file) {
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      ++number;
      Line(Trimmed(text.substr(start, end - start)), file, number);
      start = end + 1;
    }
  }

  void Line(const std::string& line, const fs::path& file, int number) {
    if (line.empty()) return;
    if (line.rfind("#define", 0) == 0) return Define(line, file, number);
    if (line.rfind("#include", 0) == 0) return Include(line, file, number);
    Tokenize(Substituted(line), file, number);
  }

  void Define(const std::string& line, const fs::path& file, int number) {
    const std::string rest = Trimmed(line.substr(7));
    std::size_t nameEnd = 1;
    while (nameEnd < rest.size() && IsNameChar(rest[nameEnd])) ++nameEnd;
    if (rest.empty() || rest[0] != '$' || nameEnd < 2)
      throw Exception(SourcePlace(file, number) + "#define needs a $NAME and a value");
    defines_[rest.substr(0, nameEnd)] = Trimmed(rest.substr(nameEnd));
  }

  void Include(const std::string& line, const fs::path& file, int number) {
    const std::string rest = Trimmed(line.substr(8));
    if (rest.size() < 2 || rest.front() != '"' || rest.find('"', 1) == std::string::npos)
      throw Exception(SourcePlace(file, number) + "#include needs a file name in quotes");
    const std::string named = Substituted(rest.substr(1, rest.find('"', 1) - 1));
    const fs::path included = SamplePathInKit(kitFolder_, named, file, number);
    Read(included, file, number);
  }

  // $NAMEs defined so far, the longest first so $KICK2 isn't read as $KICK.
  std::string Substituted(std::string text) const {
    if (text.find('$') == std::string::npos) return text;
    for (auto it = defines_.rbegin(); it != defines_.rend(); ++it) {
      std::size_t at = 0;
      while ((at = text.find(it->first, at)) != std::string::npos) {
        const std::size_t after = at + it->first.size();
        if (after < text.size() && IsNameChar(text[after])) {
          at = after;
          continue;
        }
        text.replace(at, it->first.size(), it->second);
        at += it->second.size();
      }
    }
    return text;
  }

  void Tokenize(const std::string& line, const fs::path& file, int number) {
    std::size_t at = 0;
    while (at < line.size()) {
      if (IsBlank(line[at])) {
        ++at;
        continue;
      }
      SfzToken token{false, "", "", file, number};
      if (line[at] == '<') {
        const std::size_t close = line.find('>', at);
        if (close == std::string::npos)
          throw Exception(SourcePlace(file, number) + "a header without its '>'");
        token.header = true;
        token.name = Trimmed(line.substr(at + 1, close - at - 1));
        at = close + 1;
      } else {
        std::size_t end = at;
        while (end < line.size() && IsNameChar(line[end])) ++end;
        if (end == at || end >= line.size() || line[end] != '=')
          throw Exception(SourcePlace(file, number) + "'" + line.substr(at, 20) +
                          "' is neither a <header> nor an opcode=value");
        token.name = line.substr(at, end - at);
        const std::size_t next = NextTokenStart(line, end + 1);
        token.value = Trimmed(line.substr(end + 1, next - end - 1));
        at = next;
      }
      tokens_.push_back(std::move(token));
    }
  }

  fs::path kitFolder_;
  std::vector<fs::path> stack_;
  std::map<std::string, std::string> defines_;
  std::vector<SfzToken> tokens_;
};

}  // namespace

std::vector<SfzToken> SfzTokens(const fs::path& file, const fs::path& kitFolder) {
  SfzScanner scanner(kitFolder);
  scanner.Read(file, {}, 0);
  return scanner.Tokens();
}
