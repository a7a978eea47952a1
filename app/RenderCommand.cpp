#include "app/RenderCommand.h"

#include <algorithm>
#include <array>
#include <memory>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/OutputRule.h"
#include "common/PrivateFolder.h"
#include "kit/InstrumentTable.h"
#include "kit/KitPanning.h"
#include "kit/PanningTable.h"
#include "kit/SoundImport.h"
#include "kit/Wave.h"
#include "kit/WaveCollection.h"
#include "pattern/PatternFile.h"
#include "pattern/PatternLoad.h"
#include "pattern/SlotAccess.h"
#include "render/HitTable.h"
#include "render/InstrumentCheck.h"
#include "render/LoopFold.h"
#include "render/MidiExport.h"
#include "render/RenderPrep.h"
#include "render/SongRender.h"
#include "song/Compile.h"
#include "song/PlayList.h"
#include "song/SongFile.h"

namespace fs = std::filesystem;

namespace {

// The 32 slots as plain records: what a song or pattern file gives them.
class RecordSlots : public SlotAccess {
 public:
  // Decoded sounds go to the work folder.
  RecordSlots(const fs::path& home, const fs::path& work) : tempDir_(work) {
    std::int64_t blankRate = 0;
    if (fs::exists(home / kBlankName)) blankRate = FileRate(home / kBlankName);
    for (auto& slot : sounds_) slot = SlotSound{kBlankName, blankRate, 0, 0};
    chosen_.fill(kBlankName);
  }
  const SlotSounds& Sounds() const { return sounds_; }
  // The files the song or pattern chose for its slots.
  std::vector<fs::path> ChosenFiles() const {
    std::vector<fs::path> files;
    for (const std::string& chosen : chosen_)
      if (chosen != kBlankName) files.emplace_back(chosen);
    return files;
  }

  std::string FileName(int n) override {
    At(n);
    return chosen_[n - 1];
  }
  int64_t Frequency(int n) override { return At(n).frequency; }
  int32_t Pan(int n) override { return At(n).pan; }
  // The slot plays the file (decoded when it needs to be) at its own rate
  // until told otherwise.
  void LoadFile(int n, const std::string& path) override {
    SlotSound& slot = At(n);
    const SoundFile sound = ImportSoundFile(path, DecodedWorkFile(tempDir_, "sample", n));
    const std::int64_t rate = FileRate(sound.readable);
    slot.fileName = sound.readable;
    slot.chosenFile = sound.chosen;
    slot.frequency = rate;
    chosen_[n - 1] = sound.chosen;
  }
  // The sound device takes 100 .. 200000 Hz and refuses the rest.
  void SetFrequency(int n, int64_t frequency) override {
    if (frequency >= 100 && frequency <= 200000) At(n).frequency = frequency;
  }
  void SetBaseFrequency(int, int64_t) override {}
  void SetPan(int n, int32_t pan) override { At(n).pan = std::clamp(pan, -10000, 10000); }
  void SetButtonCaption(int, const std::string&) override {}
  void MarkHoldingSample() override {}
  void SetFrequencyBar(int64_t) override {}

 private:
  static std::int64_t FileRate(const fs::path& path) {
    Wave::TWave wave;
    wave.LoadFromFile(path);
    return wave.SamplesPerSec();
  }
  SlotSound& At(int n) {
    if (n < 1 || n > kCount) throw Exception("Sample slot " + std::to_string(n) + " out of range");
    return sounds_[n - 1];
  }
  fs::path tempDir_;
  SlotSounds sounds_;                       // what the render reads
  std::array<std::string, kCount> chosen_;  // the files as the song names them
};

bool HasExtension(const fs::path& path, const std::string& extension) {
  return SameTextIgnoringCase(path.extension().string(), extension);
}

// The play list a song file or a single pattern makes; the slots take what
// the file gives them, as opening it in the program would.
Lines Compile(const fs::path& home, const fs::path& input, RecordSlots& slots,
              std::vector<PatternMeter>& meters, SongSettings& settings) {
  PlayList playList;
  fs::path patterns = home;
  if (HasExtension(input, ".sng")) {
    const SongFileData song = ReadSongFile(input);
    for (std::size_t i = 0; i < song.slots.size(); ++i)
      ApplySongSlot(static_cast<int>(i) + 1, song.slots[i], slots);
    playList.SetNames(song.entries);
    settings = song.settings;
  } else if (HasExtension(input, ".pat")) {
    const PatternFileData pattern = ReadPatternFile(input, true);
    for (const SlotLoad& load : pattern.slotLoads) LoadPatternSlot(load, slots);
    // Compiled from its own folder, as the one entry of a play list.
    patterns = input.parent_path().empty() ? fs::path(".") : input.parent_path();
    playList.Append(input.stem().string());
  } else {
    throw Exception("Not a song (.sng) or pattern (.pat) file: " + DisplayPath(input));
  }
  if (playList.Count() == 0) throw Exception("The song has no patterns: " + DisplayPath(input));
  Lines sequence;
  CompilePlaySequence(patterns, playList, sequence, &meters);
  return sequence;
}

// The slots when their files aren't read: empty, as "Blank.wav" leaves them.
class NoSlotFiles : public RecordSlots {
 public:
  using RecordSlots::RecordSlots;
  void LoadFile(int, const std::string&) override {}
};

// A song loaded, its kit and slot sounds written to a work folder of the
// command's own for the render to read: the windows' temp files stay theirs.
struct ReadySong {
  explicit ReadySong(const fs::path& home) : work(HomeWorkFolder(home), "command") {}
  PrivateFolder work;
  CommandLineSong song;
  SongSteps steps;
  std::vector<int> used;
  RenderInput Input(const fs::path& home) const {
    RenderInput input{home, song.kit, song.chooser, song.slots, work.Path(), song.inputs};
    input.groove = song.settings.groove;
    input.mix = song.settings.mix;
    return input;
  }
};

void MakeReady(ReadySong& ready, const fs::path& home, const fs::path& input,
               const RenderRequest& request) {
  LoadCommandLineSong(ready.song, home, input, SlotFiles::Read, ready.work.Path());
  ready.steps = StepsOf(ready.song.sequence);
  ready.used = UsedInstruments(ready.song.sequence, ready.song.chooser);
  CheckInstruments(ready.song.sequence, ready.song.chooser, ready.used, request.warn);
  ExportKit(ready.work.Path(), ready.song.kit);
  ExportSlots(home, ready.work.Path(), ready.song.slots);
}

SongShape ShapeOf(const RenderRequest& request, const SongSteps& steps) {
  SongShape shape;
  shape.mono = request.mono;
  if (request.loop) shape.loopFrames = LoopFrames(steps);
  return shape;
}

}  // namespace

void LoadCommandLineSong(CommandLineSong& song, const fs::path& home, const fs::path& input,
                         SlotFiles slotFiles, const fs::path& work) {
  song.kit.LoadFromFile(home / "power.dxg");
  song.chooser.Rebuild(song.kit);
  if (fs::exists(home / "Panning.dat")) {
    PanningTable pans;
    pans.Read(home / "Panning.dat");
    ApplyPanningTable(pans, song.chooser, song.kit);
  }
  const auto slots = slotFiles == SlotFiles::Skip ? std::make_unique<NoSlotFiles>(home, work)
                                                  : std::make_unique<RecordSlots>(home, work);
  song.sequence = Compile(home, input, *slots, song.meters, song.settings);
  song.slots = slots->Sounds();
  song.inputs = slots->ChosenFiles();
  song.inputs.insert(song.inputs.end(), {input, home / "power.dxg", home / "Panning.dat"});
}

RenderCommandResult RenderFromCommandLine(const fs::path& home, const fs::path& input,
                                          const fs::path& output, RenderProgress& progress,
                                          const RenderRequest& request) {
  ReadySong ready(home);
  MakeReady(ready, home, input, request);
  const RenderResult result = AssembleSong(ready.Input(home), ready.song.sequence, ready.used,
                                           output, progress, {}, ShapeOf(request, ready.steps));
  return {result.frames, result.outcome == RenderOutcome::Cancelled, ready.steps.rows};
}

StemsCommandResult StemsFromCommandLine(const fs::path& home, const fs::path& input,
                                        const fs::path& folder, RenderProgress& progress,
                                        const RenderRequest& request) {
  ReadySong ready(home);
  MakeReady(ready, home, input, request);
  return {ExportStems(ready.Input(home), ready.song.sequence, ready.used, folder,
                      ShapeOf(request, ready.steps), progress),
          ready.steps.rows};
}

void MidiFromCommandLine(const fs::path& home, const fs::path& input, const fs::path& output) {
  CommandLineSong song;
  LoadCommandLineSong(song, home, input, SlotFiles::Skip, {});
  CheckOutput({home, song.inputs}, output);
  WriteFileAtomically(output, MidiFileBytes(song.sequence, song.chooser, song.slots, song.meters,
                                            song.settings.groove, song.settings.mix));
}

CollectResult CollectFromCommandLine(const fs::path& home, const fs::path& songFile,
                                     const fs::path& folder, RenderProgress& progress) {
  if (!HasExtension(songFile, ".sng"))
    throw Exception("Not a song (.sng) file: " + DisplayPath(songFile));
  CollectInput input;
  input.home = home;
  input.songFileName = songFile.filename().string();
  input.song = ReadSongFile(songFile);
  return CollectSong(input, folder, progress);
}
