#include "song/RecoveryFiles.h"

#include <algorithm>
#include <system_error>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Prompts.h"
#include "pattern/PatternGrid.h"
#include "song/PlayList.h"
#include "song/SongFile.h"
#include "song/UnsavedChanges.h"

namespace fs = std::filesystem;

namespace {

void RemoveFile(const fs::path& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

void MakeFolder(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) throw EFCreateError(DisplayPath(folder));
}

}  // namespace

RecoveryWork UnsavedWork(const UnsavedChanges& unsaved, const SongSettings& settings,
                         const PatternGrid& grid, PatternValues values, const PlayList& playList,
                         SlotAccess& slots) {
  RecoveryWork work;
  if (unsaved.PatternChanged(grid, values)) {
    try {
      const int steps = grid.StepCount();
      if (steps < 1) throw EConvertError(grid.Cell(2, 0));
      work.pattern = BuildPatternLines(grid, steps, values, slots);
    } catch (const Exception&) {
      work.patternUnwritable = true;
    }
  }
  if (unsaved.SongChanged(playList, slots, settings)) {
    work.song = BuildSongLines(playList.Names(), slots, settings);
    work.songFile = unsaved.SongFile();
  }
  return work;
}

RecoveryFiles::RecoveryFiles(const fs::path& home, const std::string& folder)
    : folder_(home / "temp" / folder) {}

std::string RecoveryFiles::OwnFolder(long pid) {
  return std::string(kSharedFolder) + "-" + std::to_string(pid);
}

std::vector<std::string> RecoveryFiles::FoundIn(const fs::path& home) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(home / "temp", ec)) {
    const std::string name = entry.path().filename().string();
    if ((name == kSharedFolder || name.starts_with(std::string(kSharedFolder) + "-")) &&
        RecoveryFiles(home, name).Found())
      found.push_back(name);
  }
  // The shared folder first, the others in a steady order.
  std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
    return a == kSharedFolder || (b != kSharedFolder && a < b);
  });
  return found;
}

bool RecoveryFiles::Found() const {
  std::error_code ec;
  return fs::is_regular_file(PatternFile(), ec) || fs::is_regular_file(SongFile(), ec);
}

std::optional<fs::path> RecoveryFiles::RecoveredSongFile() const {
  try {
    const Lines lines = ReadTextLines(SongNameFile());
    if (!lines.empty() && !lines[0].empty()) return fs::path(lines[0]);
  } catch (const Exception&) {
  }
  return std::nullopt;
}

void RecoveryFiles::Keep(const RecoveryWork& work) {
  if (work.pattern) {
    if (work.pattern != writtenPattern_) {
      MakeFolder(folder_);
      WriteTextLines(PatternFile(), *work.pattern);
      writtenPattern_ = work.pattern;
    }
  } else if (!work.patternUnwritable) {
    RemoveFile(PatternFile());
    writtenPattern_.reset();
  }
  if (work.song) {
    Lines written{work.songFile ? work.songFile->string() : ""};
    written.insert(written.end(), work.song->begin(), work.song->end());
    if (written != writtenSong_) {
      MakeFolder(folder_);
      // The name first: a song.sng found always has its own beside it.
      WriteTextLines(SongNameFile(), {written[0]});
      WriteTextLines(SongFile(), *work.song);
      writtenSong_ = std::move(written);
    }
  } else {
    RemoveFile(SongFile());
    RemoveFile(SongNameFile());
    writtenSong_.reset();
  }
}

void RecoveryFiles::Remove() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
  writtenPattern_.reset();
  writtenSong_.reset();
}

bool OfferRecoveredWork(RecoveryFiles& files, Prompts& prompts,
                        const std::function<void()>& restore) {
  if (!files.Found()) return true;
  switch (prompts.Message(kRecoveryQuestion, kRecoveryCaption, PromptButtons::RestoreDiscard)) {
    case PromptAnswer::Restore:
      restore();
      return true;
    case PromptAnswer::Discard:
      files.Remove();
      return true;
    default:
      return false;
  }
}
