#include "app/CommandLine.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>

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
    "Usage: korvanto [SONG.sng | --help | --version | render SONG.sng|PATTERN.pat OUT.wav]\n"
    "\n"
    "Without arguments Korvanto opens its windows; with a song file it opens\n"
    "that song on the play list.\n"
    "\n"
    "  render SONG.sng OUT.wav     render a song's play list from its first entry\n"
    "  render PATTERN.pat OUT.wav  render one pattern, its loop count included\n"
    "  --help                      show this text\n"
    "  --version                   show the version\n"
    "\n"
    "Run it in the home folder: the kit power.dxg, Panning.dat, Blank.wav, the\n"
    "temp folder and the song's patterns are read there; the kit's and the\n"
    "slots' sounds are written to temp/ while rendering.\n";

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

// Decoded sample files say on standard error when they clipped.
class ClipReport : public DecodeWatch {
 public:
  explicit ClipReport(std::ostream& err) : err_(err) {}
  void Clipped(const std::filesystem::path& source, std::int64_t samples) override {
    err_ << "korvanto: " << DisplayPath(source) << ": " << samples
         << " samples lay beyond full scale and were clipped\n";
  }

 private:
  std::ostream& err_;
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
