#include "app/ProgramHome.h"

#include <cstdlib>
#include <ostream>

#include "common/Exception.h"
#include "common/Files.h"

namespace fs = std::filesystem;

#ifndef KORVANTO_SHARED_FROM_PROGRAM
#define KORVANTO_SHARED_FROM_PROGRAM "../share/korvanto"
#endif

namespace {

constexpr const char* kDemoSong = "Demo.sng";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

ProgramHome::ProgramHome(HomePlaces places, fs::path shared)
    : places_(std::move(places)), shared_(std::move(shared)) {}

ProgramHome ProgramHome::OfThisProgram() {
  std::error_code ec;
  HomePlaces places{fs::current_path(ec), Environment("XDG_DATA_HOME"), Environment("HOME")};
  const fs::path program = fs::read_symlink("/proc/self/exe", ec);
  const fs::path shared =
      ec ? fs::path() : SharedContentFolder(program.parent_path(), KORVANTO_SHARED_FROM_PROGRAM);
  return ProgramHome(std::move(places), shared);
}

bool ProgramHome::TakeOption(int& argc, char** argv, std::ostream& err) {
  if (argc < 2) return true;
  const std::string first = argv[1];
  int taken = 0;
  std::string folder;
  if (first == "--home") {
    taken = 2;
    if (argc > 2) folder = argv[2];
  } else if (first.rfind("--home=", 0) == 0) {
    taken = 1;
    folder = first.substr(7);
  } else {
    return true;
  }
  if (folder.empty()) {
    err << "korvanto: --home needs a folder\n";
    return false;
  }
  std::string error;
  if (!EnterGiven(places_.current / folder, error)) {
    err << "korvanto: " << error << "\n";
    return false;
  }
  for (int i = 1; i + taken <= argc; ++i) argv[i] = argv[i + taken];
  argc -= taken;
  return true;
}

bool ProgramHome::EnterGiven(const fs::path& folder, std::string& error) {
  try {
    Enter(folder, true);
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  given_ = true;
  return true;
}

std::vector<std::string> ProgramHome::EnterForWindows(const std::vector<std::string>& arguments,
                                                      std::ostream& err) {
  if (given_) return arguments;
  const HomeChoice choice = ChooseHome(places_, arguments);
  if (choice.folder == places_.current) return arguments;
  // Songs are named from the start folder, which is about to change.
  std::vector<std::string> seen = arguments;
  bool songNamed = false;
  for (std::string& argument : seen)
    if (IsSongArgument(argument)) {
      argument = (places_.current / argument).lexically_normal().string();
      songNamed = true;
    }
  bool filled = false;
  try {
    filled = Enter(choice.folder, choice.fill);
  } catch (const std::exception& error) {
    err << "korvanto: " << error.what() << "; the home folder stays "
        << DisplayPath(places_.current) << "\n";
    return arguments;
  }
  std::error_code ec;
  if (filled && !songNamed && fs::is_regular_file(kDemoSong, ec)) seen.push_back(kDemoSong);
  return seen;
}

bool ProgramHome::Enter(const fs::path& folder, bool fill) {
  const bool filled = fill && FillHome(folder, shared_);
  std::error_code ec;
  fs::current_path(folder, ec);
  if (ec) throw EFOpenError(DisplayPath(folder));
  places_.current = fs::current_path(ec);
  return filled;
}
