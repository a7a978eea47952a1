#include "app/ExportCommands.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>

#include "app/ClipReport.h"
#include "app/RenderCommand.h"
#include "app/TerminalProgress.h"
#include "common/Utf8.h"
#include "kit/DecodeWatch.h"
#include "render/LoopFold.h"

namespace fs = std::filesystem;

namespace {

struct RenderArguments {
  std::vector<std::string> files;
  std::optional<std::string> stems;
  RenderRequest request;
};

// Nothing when the arguments don't make a render.
std::optional<RenderArguments> ParseRender(const std::vector<std::string>& args) {
  RenderArguments parsed;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--loop") {
      parsed.request.loop = true;
    } else if (arg == "--mono") {
      parsed.request.mono = true;
    } else if (arg == "--stems" && i + 1 < args.size() && !parsed.stems) {
      parsed.stems = args[++i];
    } else if (arg.starts_with("--")) {
      return std::nullopt;
    } else {
      parsed.files.push_back(arg);
    }
  }
  if (parsed.files.size() != (parsed.stems ? 1u : 2u)) return std::nullopt;
  return parsed;
}

// Runs a command's work with the bar on a terminal and clipping reports on
// err; an error becomes its message and exit code 1.
int Run(const CommandStreams& io, const std::function<void(RenderProgress&)>& work) {
  try {
    ClipReport clipReport(io.err);
    const DecodeWatchScope watch(clipReport);
    TerminalBar bar(io.out);
    RenderProgress quiet;
    work(io.outIsTerminal ? static_cast<RenderProgress&>(bar) : quiet);
    return 0;
  } catch (const std::exception& error) {
    io.err << "korvanto: " << error.what() << "\n";
    return 1;
  }
}

void ReportLoop(std::ostream& out, const RenderRequest& request, std::int64_t rows,
                std::int64_t frames) {
  if (request.loop) out << "Loop of " << LoopLengthText(rows, frames) << "\n";
}

int WrongArguments(const CommandStreams& io) {
  io.err << io.usage;
  return 2;
}

}  // namespace

int RunRenderCommand(const std::vector<std::string>& args, const CommandStreams& io) {
  auto parsed = ParseRender(args);
  if (!parsed) return WrongArguments(io);
  parsed->request.warn = [&](const std::string& text) {
    io.err << "korvanto: " << TerminalText(text) << "\n";
  };
  const fs::path home = fs::current_path();
  const fs::path input = parsed->files[0];
  if (parsed->stems) {
    return Run(io, [&](RenderProgress& progress) {
      const auto result =
          StemsFromCommandLine(home, input, *parsed->stems, progress, parsed->request);
      const std::string others = OtherStemsText(result.stems.others);
      io.out << "Wrote " << result.stems.written.size() << " stems of "
             << Duration(result.stems.frames) << " to " << *parsed->stems
             << (others.empty() ? "" : "; " + others) << "\n";
      ReportLoop(io.out, parsed->request, result.rows, result.stems.frames);
    });
  }
  const std::string& output = parsed->files[1];
  return Run(io, [&](RenderProgress& progress) {
    const auto result = RenderFromCommandLine(home, input, output, progress, parsed->request);
    io.out << "Rendered " << Duration(result.frames) << " to " << output << "\n";
    ReportLoop(io.out, parsed->request, result.rows, result.frames);
  });
}

int RunMidiCommand(const std::vector<std::string>& args, const CommandStreams& io) {
  if (args.size() != 3) return WrongArguments(io);
  return Run(io, [&](RenderProgress&) {
    MidiFromCommandLine(fs::current_path(), args[1], args[2]);
    io.out << "Wrote " << args[2] << "\n";
  });
}

int RunCollectCommand(const std::vector<std::string>& args, const CommandStreams& io) {
  if (args.size() != 3) return WrongArguments(io);
  return Run(io, [&](RenderProgress& progress) {
    const auto result = CollectFromCommandLine(fs::current_path(), args[1], args[2], progress);
    io.out << "Collected " << fs::path(args[1]).filename().string() << " and " << result.files - 1
           << " files it needs into " << args[2] << "\n";
  });
}
