#include "song/EditedSong.h"

#include <system_error>

#include "common/Files.h"
#include "pattern/PatternLoad.h"
#include "pattern/PatternName.h"
#include "song/Compile.h"
#include "song/SongFile.h"
#include "song/SongMenu.h"
#include "song/Tempo.h"

namespace fs = std::filesystem;

SequencerCore EditedSong::Core(Prompts& prompts) {
  return SequencerCore{home_, grid_, library_, playList_, Slots(), prompts, settings_};
}

void EditedSong::StartIn(const fs::path& home) {
  home_ = home;
  PatternMet();
  SongMet(std::nullopt);
}

bool EditedSong::OtherPatternsFile(const std::string& name) const {
  if (!IsUsablePatternName(name) || name == unsaved_.PatternFileName()) return false;
  std::error_code ignored;
  return fs::exists(PatternFilePath(home_, name), ignored);
}

void EditedSong::SongMet(std::optional<fs::path> file) {
  unsaved_.SongMet(playList_, Slots(), settings_, std::move(file));
}

void EditedSong::SongRecovered(std::optional<fs::path> file) {
  unsaved_.SongRecovered(std::move(file));
}

RecoveryWork EditedSong::UnsavedWork() {
  RecoveryWork work = ::UnsavedWork(unsaved_, settings_, grid_, Values(), playList_, Slots());
  if (GridIsBlank()) {
    work.pattern.reset();
    work.patternUnwritable = false;
  }
  return work;
}

bool EditedSong::GridIsBlank() const {
  if (!grid_.Cell(0, 0).empty()) return false;
  for (int row = PatternGrid::kFirstStepRow; row < grid_.StoredRows(); ++row)
    for (int col = 1; col <= PatternGrid::kChannels; ++col)
      if (!grid_.Cell(col, row).empty()) return false;
  return true;
}

void EditedSong::CompileInto(Lines& sequence, std::vector<PatternMeter>* meters) {
  CompilePlaySequence(home_, playList_, sequence, meters);
}

SongChange EditedSong::Record(const std::function<void()>& step) {
  const int tempo = tempo_, loops = loops_;
  const PlayListState list = playList_.State();
  const std::vector<std::string> library = library_.Entries();
  const UnsavedChanges saved = unsaved_;
  const SongSettings settings = settings_;
  SongChange change;
  change.grid = grid_.Record(step);
  if (tempo != tempo_) change.tempo = BeforeAfter<int>{tempo, tempo_};
  if (loops != loops_) change.loops = BeforeAfter<int>{loops, loops_};
  change.list = PlayListSplice::Between(list, playList_.State());
  if (library != library_.Entries())
    change.library = BeforeAfter<std::vector<std::string>>{library, library_.Entries()};
  if (!(saved == unsaved_)) change.saved = BeforeAfter<UnsavedChanges>{saved, unsaved_};
  if (!(settings == settings_)) change.settings = BeforeAfter<SongSettings>{settings, settings_};
  return change;
}

SongChange EditedSong::EditGrid(const std::function<void(PatternGrid&)>& operation) {
  SongChange change;
  change.grid = grid_.Record([&] { operation(grid_); });
  return change;
}

SongChange EditedSong::SetTempo(int position) {
  SongChange change;
  change.tempo = BeforeAfter<int>{tempo_, ClampTempoPosition(position)};
  tempo_ = change.tempo->after;
  return change;
}

SongChange EditedSong::SetLoops(int loops) {
  SongChange change;
  change.loops = BeforeAfter<int>{loops_, ClampLoopCount(loops)};
  loops_ = change.loops->after;
  return change;
}

SongChange EditedSong::ClearPattern() {
  return Record([&] {
    grid_.ClearPattern();
    loops_ = 1;
  });
}

SongChange EditedSong::NewPattern() {
  return Record([&] {
    grid_.ClearPattern();
    grid_.WriteNewPattern(16, 4);
    loops_ = 1;
    PatternMet();
  });
}

SongChange EditedSong::EditList(const std::function<void(PlayList&, PatternLibrary&)>& operation) {
  return Record([&] { operation(playList_, library_); });
}

SongChange EditedSong::LoadPattern(const fs::path& file, std::string& slotError) {
  return Record([&] {
    const PatternLoad loaded = LoadPatternIntoGrid(file, grid_, Slots());
    tempo_ = loaded.values.tempoPosition;
    loops_ = loaded.values.loops;
    slotError = loaded.slotError;
    PatternMet();
  });
}

SongChange EditedSong::NewSong() {
  return Record([&] {
    grid_.ClearPattern();
    playList_.Clear();
    settings_ = {};
    SongMet(std::nullopt);
  });
}

SongChange EditedSong::OpenSong(const fs::path& file, std::string& slotError) {
  return Record([&] {
    slotError = LoadSongFile(file, playList_, Slots(), &settings_).slotError;
    SongMet(file);
  });
}

SongChange EditedSong::SetSettings(SongSettings settings) {
  std::erase_if(settings.mix, [](const auto& entry) { return entry.second.IsPlain(); });
  SongChange change;
  change.settings = BeforeAfter<SongSettings>{settings_, settings};
  settings_ = std::move(settings);
  return change;
}

SongChange EditedSong::DeletePattern(const std::string& name) {
  std::optional<SongChange::DeletedFile> deleted;
  const fs::path file = IsUsablePatternName(name) ? PatternFilePath(home_, name) : fs::path();
  SongChange change = Record([&] {
    if (!file.empty() && fs::is_regular_file(file)) {
      deleted = SongChange::DeletedFile{name, ReadTextLines(file)};
      std::error_code ignored;
      fs::remove(file, ignored);
    }
    library_.Remove(name);
    playList_.RemoveAll(name);
  });
  change.deleted = std::move(deleted);
  return change;
}

void EditedSong::Apply(const SongChange& change, bool undo) {
  if (!change.grid.Empty()) grid_.Apply(change.grid, undo);
  if (change.tempo) tempo_ = change.tempo->Side(undo);
  if (change.loops) loops_ = change.loops->Side(undo);
  if (!change.list.Empty()) change.list.Apply(playList_, undo);
  if (change.library) {
    PatternLibrary library;
    for (const auto& name : change.library->Side(undo))
      if (name != PatternLibrary::kBlank) library.Add(name);
    library_ = std::move(library);
  }
  if (change.saved) unsaved_ = change.saved->Side(undo);
  if (change.settings) settings_ = change.settings->Side(undo);
  if (change.deleted) {
    const fs::path file = PatternFilePath(home_, change.deleted->name);
    std::error_code ignored;
    if (undo)
      WriteTextLines(file, change.deleted->lines);
    else
      fs::remove(file, ignored);
  }
}
