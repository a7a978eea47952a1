#pragma once
// The kit maker's working state: one row per instrument with the name the
// user gives it, the WAV file chosen for each kit entry, the kit being built
// and the stream that plays a row's file for listening.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kit/InstrumentTable.h"
#include "kit/WaveCollection.h"
#include "kit/WaveformCache.h"

class TAudioFileStream;
class TDXSound;
class UiThread;

// What saving a kit without instruments is refused with.
inline constexpr const char* kNothingToSave = "The kit has no instrument to save";

class KitMaker {
 public:
  // Names are typed into boxes of at most this many characters and saved
  // padded to it; a kit's longer names are kept as they are.
  static constexpr int kNameLength = 10;
  // The file table holds entries 1 .. 100: "Add new sample" stops there.
  static constexpr int kMaxRows = 100;
  // What a row templated from the main kit names as its file.
  static constexpr const char* kCurrentKitSound = "current kit";

  // sound: the kit maker's own device, on which it listens.
  KitMaker(TDXSound& sound, UiThread& ui);
  ~KitMaker();
  KitMaker(const KitMaker&) = delete;
  KitMaker& operator=(const KitMaker&) = delete;

  // Fresh rows for entries 1 .. K-1 of the main kit, named like its chooser
  // items; the first row selected.
  void GetKitList(const TWaveCollection& mainKit);
  // Builds the working kit anew: entry i named like the main kit's entry i,
  // with the blank sound or, templated, a copy of the main kit's sound made
  // through homeDir/temp/i.wav. Stops at the first failing step.
  void PrepareKit(const TWaveCollection& mainKit, const std::filesystem::path& homeDir,
                  bool templated);

  int RowCount() const { return static_cast<int>(names_.size()); }
  const std::string& RowName(int row) const { return names_.at(row); }
  // The name of the file a row's sound came from: the picked file's name,
  // kCurrentKitSound for a templated sound, "" for a row without a sound.
  const std::string& RowFileName(int row) const { return sources_.at(row); }
  bool RowHasSound(int row) const { return !RowFileName(row).empty(); }
  // The length of the row's sound in seconds (0 for a sound without frames).
  double RowSeconds(int row) const;
  // The rows without a sound, in row order.
  std::vector<int> SilentRows() const;
  // Takes the row and its kit entry out; later rows move up one.
  void RemoveRow(int row);
  // Typing is limited to kNameLength characters: a typed name that would
  // grow past it is refused (the row keeps its name), while a longer name
  // from the kit stays as it is and may be shortened. Control characters
  // never reach a name.
  void SetRowName(int row, const std::string& name);
  int SelectedRow() const { return selectedRow_; }
  void SelectRow(int row);  // GetRadioTag
  int ButtonRow() const { return buttonRow_; }
  // The kit entry the next picked file goes to.
  int CurrentEntry() const { return currentEntry_; }

  // The "..." of a row was clicked: it becomes the selected row and the
  // target of the next picked file.
  void PickFor(int row);
  // The picked file becomes the current entry's sound; a file of another
  // format than 8- or 16-bit PCM WAV is decoded to temp/decoded-kit<entry>.wav
  // first. A file that can't be read leaves the entry's sound and its file as
  // they were.
  void LoadSample(const std::string& path);
  // Plays the selected row's file through the listening stream; nothing
  // without rows.
  void Play();
  // A new selected row named like the next chooser item, with the blank
  // sound. False, changing nothing, when kMaxRows rows exist.
  bool AddRow();
  // Names entries 1 .. row count after the rows (padded to kNameLength, then
  // "[ ]") and writes the working kit as a kit library file; without
  // keepSilentRows the rows without a sound are left out of the file. A kit
  // left without instruments is refused.
  void SaveKit(const std::filesystem::path& path, bool keepSilentRows = true);
  // The device went away: the stream on it goes too.
  void DXSoundFinalize();

  const TWaveCollection& Kit() const { return kit_; }
  // 0: the last picked file; n: the file entry n reads ("" when it has none).
  const std::string& File(int index) const;
  // Told of an error that stopped the listening stream in a refill.
  std::function<void(const std::string& message)> OnError;
  TAudioFileStream* ListeningStream() const { return stream_.get(); }

  // The row's sound as a waveform; null for a row without a sound.
  std::shared_ptr<const WaveformPeaks> RowWaveform(int row);
  // The row the listening stream plays; -1 when it doesn't play.
  int ListeningRow() const;
  // The frame of that row's sound that plays now; -1 when none plays.
  int64_t ListeningFrame();

 private:
  std::filesystem::path BlankPath() const { return homeDir_ / "Blank.wav"; }
  void SetFile(int index, const std::string& path);

  TDXSound& sound_;
  UiThread& ui_;
  std::filesystem::path homeDir_;
  InstrumentTable chooser_;  // the main kit's chooser items at the last GetKitList
  std::vector<std::string> names_;
  std::vector<std::string> sources_;  // per row, as RowFileName gives it
  std::vector<std::string> files_;
  int selectedRow_ = 0;
  int buttonRow_ = 0;
  int currentEntry_ = 1;
  TWaveCollection kit_;
  std::unique_ptr<TAudioFileStream> stream_;
  int listeningRow_ = -1;
  WaveformCache waveforms_{kMaxRows + 28};
};

// A chooser item as a row shows it: without its last 3 characters ("[ ]")
// and surrounding blanks, at most kNameLength characters.
std::string KitMakerRowName(const std::string& chooserItem);
// "Snare" is saved as "Snare     [ ]".
std::string KitMakerEntryName(const std::string& rowName);
