#pragma once
// The program's start in its home folder. "--home DIR" before everything
// else says it outright, for the command-line commands too: DIR is made,
// filled when it holds no kit, and becomes the current folder, so the paths
// after it are read from there. Without it the commands work in the current
// folder, and the windows start in the home ChooseHome picks.
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/HomeFolder.h"

class ProgramHome {
 public:
  // shared: the shared content a new home is filled from.
  ProgramHome(HomePlaces places, std::filesystem::path shared);
  // The running program's: its current folder, environment and shared content.
  static ProgramHome OfThisProgram();

  // Takes "--home DIR" or "--home=DIR" from the front of argv (argc and
  // argv shrink) and enters DIR. False, the message written to err, when DIR
  // is missing or can't be made.
  bool TakeOption(int& argc, char** argv, std::ostream& err);
  // Enters folder (made and filled as --home's) as a home given outright:
  // a session manager's session folder. False, the reason in error, when
  // it can't be made.
  bool EnterGiven(const std::filesystem::path& folder, std::string& error);

  // Unless --home said it, enters the home ChooseHome picks; a home that
  // can't be made is reported on err, and the current folder stays the home.
  // Returns the arguments, a song's path made absolute when the home is
  // another folder. The first start in the user's data folder, just filled,
  // opens the demo song "Demo.sng" unless a song was named.
  std::vector<std::string> EnterForWindows(const std::vector<std::string>& arguments,
                                           std::ostream& err);

  const std::filesystem::path& Shared() const { return shared_; }

 private:
  // True when the folder was filled from the shared content.
  bool Enter(const std::filesystem::path& folder, bool fill);

  HomePlaces places_;
  std::filesystem::path shared_;
  bool given_ = false;
};
