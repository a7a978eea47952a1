#include "app/CommandLine.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "app/ClipReport.h"
#include "app/KitCommand.h"
#include "app/PatternCommand.h"
#include "app/RenderCommand.h"
#include "common/Exception.h"
#include "common/Files.h"
#include "kit/DecodeWatch.h"
#include "render/RenderProgress.h"

#ifndef KORVANTO_VERSION
#define KORVANTO_VERSION "unknown"
#endif

namespace {

const char* const kUsage =
    "Usage: korvanto [--home DIR] [SONG.sng | COMMAND...]\n"
    "\n"
    "Without arguments Korvanto opens its windows; with a song file it opens\n"
    "that song on the play list.\n"
    "\n"
    "  render SONG.sng OUT.wav     render a song's play list from its first entry\n"
    "  render PATTERN.pat OUT.wav  render one pattern, its loop count included\n"
    "  kit list KIT.dxg            list a kit's entries\n"
    "  kit extract KIT.dxg DIR     write each instrument to DIR (\"01 Kick.wav\"...)\n"
    "  kit build KIT.dxg [NAME=]FILE...\n"
    "                              build a kit from sound files, as the kit maker does\n"
    "  pattern show FILE.pat       print a pattern's settings and grid\n"
    "  --home DIR                  work in DIR, filled with the default kit and the\n"
    "                              demo content when it holds no kit\n"
    "  --help                      show this text\n"
    "  --version                   show the version\n"
    "\n"
    "Commands run in the home folder: the kit power.dxg, Panning.dat, Blank.wav,\n"
    "the temp folder and the song's patterns are read there; the kit's and the\n"
    "slots' sounds are written to temp/ while rendering. The windows' home is the\n"
    "current folder when it holds power.dxg, else the song's folder, else\n"
    "$XDG_DATA_HOME/korvanto (~/.local/share/korvanto), filled the first time.\n";

// A bar on a terminal, redrawn when it moves by a percent.
class TerminalBar : public RenderProgress {
 public:
  explicit TerminalBar(std::ostream& out) : out_(out) {}
  void Begin(std::int64_t total) override {
    total_ = total;
    Draw(0);
  }
  void Advance(std::int64_t done) override {
    Draw(total_ > 0 ? static_cast<int>(done * 100 / total_) : 100);
  }
  // Shown at the next move of the bar: names change far more often.
  void Adding(const std::string& text) override { adding_ = text; }
  void End() override {
    if (drawn_) out_ << "\n" << std::flush;
  }

 private:
  // The bar, the percentage and the instrument being added.
  void Draw(int percent) {
    if (percent == percent_) return;
    percent_ = percent;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    out_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, '.') << "] "
         << (percent < 10    ? "  "
             : percent < 100 ? " "
                             : "")
         << percent << "% " << adding_
         << std::string(pad_ > adding_.size() ? pad_ - adding_.size() : 0, ' ') << std::flush;
    pad_ = std::max(pad_, adding_.size());
    drawn_ = true;
  }
  std::ostream& out_;
  std::int64_t total_ = 0;
  int percent_ = -1;
  bool drawn_ = false;
  std::string adding_;
  std::size_t pad_ = 0;  // clears a longer name drawn before
};

std::string Duration(std::int32_t frames) {
  const std::int64_t tenths = (std::int64_t(frames) + 2205) / 4410;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld.%lld", static_cast<long long>(tenths / 600),
                static_cast<long long>(tenths / 10 % 60), static_cast<long long>(tenths % 10));
  return text;
}

int Render(const std::string& input, const std::string& output, std::ostream& out,
           std::ostream& err, bool outIsTerminal) {
  try {
    ClipReport clipReport(err);
    const DecodeWatchScope watch(clipReport);
    TerminalBar bar(out);
    RenderProgress quiet;
    const auto result =
        RenderFromCommandLine(std::filesystem::current_path(), input, output,
                              outIsTerminal ? static_cast<RenderProgress&>(bar) : quiet);
    out << "Rendered " << Duration(result.frames) << " to " << output << "\n";
    return 0;
  } catch (const std::exception& error) {
    err << "korvanto: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool outIsTerminal, bool& handled) {
  handled = false;
  if (args.empty()) return 0;
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") {
    handled = true;
    out << kUsage;
    return 0;
  }
  if (command == "--version") {
    handled = true;
    out << "Korvanto " << KORVANTO_VERSION << "\n";
    return 0;
  }
  if (command == "kit" || command == "pattern") {
    handled = true;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    return command == "kit" ? RunKitCommand(rest, out, err) : RunPatternCommand(rest, out, err);
  }
  if (command != "render") return 0;
  handled = true;
  if (args.size() != 3) {
    err << kUsage;
    return 2;
  }
  return Render(args[1], args[2], out, err, outIsTerminal);
}

int RunCommandLine(int argc, char** argv, bool& handled) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return RunCommandLine(args, std::cout, std::cerr, ::isatty(STDOUT_FILENO) == 1, handled);
}
