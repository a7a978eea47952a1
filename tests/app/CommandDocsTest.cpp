// "--help", the manual page and the README's command table name the same
// commands and options, each written the same way.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandHelp.h"
#include "support/CommandRun.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = KORVANTO_TEST_SOURCE_DIR;

std::vector<std::string> Lines(const fs::path& file) {
  std::ifstream in(file);
  EXPECT_TRUE(in) << file;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The text troff prints for one line: font changes and escapes dropped, a
// font macro's arguments joined as troff joins them.
std::string TroffText(const std::string& line) {
  std::string joined = line;
  if (!line.empty() && line[0] == '.') {
    std::istringstream words(line.substr(1));
    std::string macro;
    words >> macro;
    const bool alternating = macro.size() == 2 && macro != "SM";
    std::vector<std::string> args;
    std::string rest;
    std::getline(words, rest);
    for (std::size_t i = 0; i < rest.size();) {
      if (rest[i] == ' ') {
        ++i;
      } else if (rest[i] == '"') {
        const std::size_t end = rest.find('"', i + 1);
        args.push_back(rest.substr(i + 1, end - i - 1));
        i = end == std::string::npos ? rest.size() : end + 1;
      } else {
        const std::size_t end = rest.find(' ', i);
        args.push_back(rest.substr(i, end - i));
        i = end == std::string::npos ? rest.size() : end;
      }
    }
    joined.clear();
    for (const std::string& arg : args) joined += (joined.empty() || alternating ? "" : " ") + arg;
  }
  std::string text;
  for (std::size_t i = 0; i < joined.size(); ++i) {
    if (joined[i] != '\\' || i + 1 == joined.size()) {
      text += joined[i];
    } else if (joined[i + 1] == 'f') {
      i += 2;  // \fB, \fI, \fR, \fP
    } else if (joined[i + 1] == '&') {
      ++i;
    } else {
      text += joined[++i];  // \- and "\ "
    }
  }
  return text;
}

// The tags of the manual page's COMMANDS section: the lines after each .TP.
std::set<std::string> ManualPageCommands() {
  std::set<std::string> tags;
  bool inCommands = false;
  bool tagNext = false;
  for (const std::string& line : Lines(kSource / "data" / "korvanto.1.in")) {
    if (line.rfind(".SH", 0) == 0) inCommands = line == ".SH COMMANDS";
    if (!inCommands) continue;
    if (tagNext) tags.insert(TroffText(line));
    tagNext = line == ".TP";
  }
  return tags;
}

// The first column of the README's table of the program's commands.
std::set<std::string> ReadmeCommands() {
  std::set<std::string> commands;
  const std::vector<std::string> lines = Lines(kSource / "README.md");
  std::size_t row = 0;
  while (row < lines.size() && lines[row] != "| command or option | what it does |") ++row;
  EXPECT_LT(row, lines.size()) << "the README has no table of commands";
  for (row += 2; row < lines.size() && lines[row].rfind("| `", 0) == 0; ++row) {
    std::string cell;
    const std::string& line = lines[row];
    for (std::size_t i = 1; i < line.size() && line[i] != '|'; ++i) {
      if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '|') ++i;
      if (line[i] != '`') cell += line[i];
    }
    commands.insert(cell.substr(cell.find_first_not_of(' '),
                                cell.find_last_not_of(' ') - cell.find_first_not_of(' ') + 1));
  }
  return commands;
}

std::set<std::string> TableCommands() {
  std::set<std::string> syntaxes;
  for (const CommandHelpEntry& entry : CommandHelpEntries()) syntaxes.insert(entry.syntax);
  return syntaxes;
}

std::string Difference(const std::set<std::string>& want, const std::set<std::string>& have) {
  std::string text;
  for (const std::string& name : want)
    if (!have.contains(name)) text += "  missing: " + name + "\n";
  for (const std::string& name : have)
    if (!want.contains(name)) text += "  not a command: " + name + "\n";
  return text;
}

TEST(CommandDocsTest, ManualPageNamesEveryCommandAndOption) {
  EXPECT_EQ(Difference(TableCommands(), ManualPageCommands()), "");
}

TEST(CommandDocsTest, ReadmeTableNamesEveryCommandAndOption) {
  EXPECT_EQ(Difference(TableCommands(), ReadmeCommands()), "");
}

TEST(CommandDocsTest, HelpShowsEveryCommandAndOption) {
  const CommandRun run = RunKorvanto({"--help"});
  ASSERT_EQ(run.code, 0);
  for (const CommandHelpEntry& entry : CommandHelpEntries()) {
    // The syntax at a line's start, after the indent, and ending there.
    const std::string line = std::string(entry.refinesAbove ? "      " : "  ") + entry.syntax;
    const std::size_t at = run.out.find("\n" + line);
    ASSERT_NE(at, std::string::npos) << line;
    const char after = run.out[at + 1 + line.size()];
    EXPECT_TRUE(after == ' ' || after == '\n') << line;
  }
  for (const char* name : {"midi", "collect", "--stems", "--loop", "--mono", "--overwrite",
                           "OUT.flac", "--home", "--force", "--version"})
    EXPECT_NE(run.out.find(name), std::string::npos) << name;
}

TEST(CommandDocsTest, VersionNamesTheLicence) {
  const CommandRun run = RunKorvanto({"--version"});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out.rfind("Korvanto 6.0.0\n", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("GNU General Public License, version 3 or (at your option)\nany later"),
            std::string::npos)
      << run.out;
}

// The converter itself: what troff prints for the forms the page uses.
TEST(CommandDocsTest, TroffTextJoinsAsTroffDoes) {
  const struct {
    const char* line;
    const char* text;
  } cases[] = {
      {".B \\-\\-loop", "--loop"},
      {".BI render \" SONG.sng OUT.wav\"", "render SONG.sng OUT.wav"},
      {".BI \\-\\-stems \" DIR\"", "--stems DIR"},
      {".B kit list KIT.dxg", "kit list KIT.dxg"},
      {"\\fBmidi\\fP \\fISONG.sng\\fP|\\fIPATTERN.pat\\fP \\fIOUT.mid\\fP",
       "midi SONG.sng|PATTERN.pat OUT.mid"},
  };
  for (const auto& c : cases) EXPECT_EQ(TroffText(c.line), c.text) << c.line;
}

}  // namespace
