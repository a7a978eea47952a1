#include "kit/KitMaker.h"

#include <algorithm>

#include "common/Exception.h"
#include "common/Text.h"
#include "kit/AudioStream.h"
#include "kit/DXSounds.h"
#include "kit/SoundFormat.h"
#include "kit/SoundImport.h"
#include "kit/Wave.h"
#include "kit/WaveformSource.h"

namespace {

// The error a kit entry's index outside the kit raises.
[[noreturn]] void ListIndexError(int index) {
  throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

TWaveCollectionItem& EntryOf(const TWaveCollection& kit, int index) {
  if (index < 0 || index >= kit.Count()) ListIndexError(index);
  return kit[index];
}

void CopyEntry(const TWaveCollectionItem& from, TWaveCollectionItem& to) {
  to.SetName(from.Name());
  to.SetWave(from.Wave());
}

uint16_t BitsPerSampleOf(const std::vector<uint8_t>& format) {
  if (format.size() < 16) return 16;
  return static_cast<uint16_t>(format[14] | format[15] << 8);
}

}  // namespace

std::string KitMakerRowName(const std::string& chooserItem) {
  std::string name = chooserItem.substr(0, chooserItem.size() >= 3 ? chooserItem.size() - 3 : 0);
  const auto first = name.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

std::string KitMakerEntryName(const std::string& rowName) {
  std::string name = rowName;
  if (name.size() < KitMaker::kNameLength) name.resize(KitMaker::kNameLength, ' ');
  return name + "[ ]";
}

KitMaker::KitMaker(TDXSound& sound, UiThread& ui) : sound_(sound), ui_(ui) {
  files_.resize(kMaxRows + 1);
  // A stream must never outlive the device it plays on, whoever closes it.
  sound_.RegisterNotifyEvent(this, [this](TDXSound&, TDXSoundNotifyType notice) {
    if (notice == TDXSoundNotifyType::dsntFinalize) DXSoundFinalize();
  });
}

KitMaker::~KitMaker() {
  stream_.reset();
  sound_.UnRegisterNotifyEvent(this);
}

void KitMaker::GetKitList(const TWaveCollection& mainKit) {
  chooser_.Rebuild(mainKit);
  names_.clear();
  for (int i = 1; i < mainKit.Count(); ++i) names_.push_back(KitMakerRowName(chooser_.Item(i)));
  sources_.assign(names_.size(), "");
  listeningRow_ = -1;
  selectedRow_ = 0;
  buttonRow_ = 0;
}

void KitMaker::PrepareKit(const TWaveCollection& mainKit, const std::filesystem::path& homeDir,
                          bool templated) {
  stream_.reset();
  // Without a sound device a kit can still be built; only listening fails.
  try {
    sound_.Initialize();
  } catch (const EDirectSoundError&) {
  }
  homeDir_ = homeDir;
  const std::string blank = BlankPath().string();
  files_[0] = blank;
  stream_ = std::make_unique<TAudioFileStream>(sound_.DSound(), ui_);
  stream_->OnError = [this](const std::string& message) {
    if (OnError) OnError(message);
  };
  stream_->SetFileName(blank);

  kit_.Clear();
  sources_.assign(names_.size(), "");
  currentEntry_ = 1;
  const int count = mainKit.Count();
  files_.assign(std::max(kMaxRows, count) + 1, "");
  for (int i = 0; i <= count; ++i) files_[i] = blank;
  for (int i = 0; i < count; ++i) {
    TWaveCollectionItem& entry = kit_.Add();
    entry.SetName(mainKit[i].Name());
    entry.Wave().LoadFromFile(BlankPath());
  }
  if (!templated) return;
  for (int i = 1; i < count; ++i) {
    const std::filesystem::path copy = homeDir_ / "temp" / (std::to_string(i) + ".wav");
    mainKit[i].Wave().SaveToFile(copy);
    kit_[i].Wave().LoadFromFile(copy);
    files_[i] = copy.string();
    if (i <= RowCount()) sources_[i - 1] = kCurrentKitSound;
  }
}

void KitMaker::SetRowName(int row, const std::string& typed) {
  std::string& current = names_.at(row);
  const std::string name = WithoutControlCharacters(typed);
  if (name.size() > kNameLength && name.size() > current.size()) return;
  current = name;
}

void KitMaker::SelectRow(int row) {
  if (row >= 0 && row < RowCount()) selectedRow_ = row;
}

void KitMaker::PickFor(int row) {
  buttonRow_ = row;
  SelectRow(row);
  currentEntry_ = row + 1;
}

void KitMaker::LoadSample(const std::string& path) {
  TWaveCollectionItem& entry = EntryOf(kit_, currentEntry_);
  const SoundFile sound =
      ImportSoundFile(path, DecodedWorkFile(homeDir_ / "temp", "kit", currentEntry_));
  Wave::TWave wave;
  wave.LoadFromFile(sound.readable);
  entry.SetWave(wave);
  files_[0] = path;
  SetFile(currentEntry_, sound.readable);
  if (currentEntry_ <= RowCount())
    sources_[currentEntry_ - 1] = std::filesystem::path(path).filename().string();
}

void KitMaker::Play() {
  if (RowCount() == 0) return;
  currentEntry_ = selectedRow_ + 1;
  if (!stream_) throw EAudioStreamError("WaveStream not set");
  stream_->SetFileName(File(currentEntry_));
  const uint16_t bits = BitsPerSampleOf(stream_->Format());
  if (TDirectSoundBuffer* primary = sound_.Primary())
    primary->SetFormat(Wave::MakePcmFormat(44100, bits, 2));
  stream_->SetPosition(0);
  stream_->Play();
  listeningRow_ = selectedRow_;
}

bool KitMaker::AddRow() {
  if (RowCount() >= kMaxRows) return false;
  const int row = RowCount();
  names_.push_back(KitMakerRowName(chooser_.Item(row + 1)));
  sources_.emplace_back();
  selectedRow_ = row;
  currentEntry_ = RowCount();
  kit_.Add().Wave().LoadFromFile(BlankPath());
  return true;
}

void KitMaker::SaveKit(const std::filesystem::path& path, bool keepSilentRows) {
  // Every row needs its entry; a kit whose preparation failed may lack some.
  if (kit_.Count() <= RowCount()) ListIndexError(kit_.Count());
  for (int a = 1; a <= RowCount(); ++a) kit_[a].SetName(KitMakerEntryName(names_[a - 1]));
  TWaveCollection saved;
  CopyEntry(kit_[0], saved.Add());
  for (int a = 1; a <= RowCount(); ++a)
    if (keepSilentRows || RowHasSound(a - 1)) CopyEntry(kit_[a], saved.Add());
  if (saved.Count() < 2) throw Exception(kNothingToSave);
  saved.SaveToFile(path);
}

double KitMaker::RowSeconds(int row) const {
  if (row < 0 || row + 1 >= kit_.Count()) return 0;
  const Wave::TWave& wave = kit_[row + 1].Wave();
  if (wave.BlockAlign() == 0 || wave.SamplesPerSec() == 0) return 0;
  return static_cast<double>(wave.Size() / wave.BlockAlign()) / wave.SamplesPerSec();
}

std::vector<int> KitMaker::SilentRows() const {
  std::vector<int> silent;
  for (int row = 0; row < RowCount(); ++row)
    if (!RowHasSound(row)) silent.push_back(row);
  return silent;
}

void KitMaker::RemoveRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  names_.erase(names_.begin() + row);
  sources_.erase(sources_.begin() + row);
  // The sound being heard keeps its row, or no row once its row is gone.
  if (listeningRow_ == row)
    listeningRow_ = -1;
  else if (listeningRow_ > row)
    --listeningRow_;
  if (row + 1 < kit_.Count()) kit_.Delete(row + 1);
  files_.erase(files_.begin() + row + 1);
  files_.emplace_back();
  // The selection stays on the same row where it can, else on the one above.
  if (selectedRow_ > row || selectedRow_ >= RowCount())
    selectedRow_ = std::max(0, selectedRow_ - 1);
  buttonRow_ = selectedRow_;
  currentEntry_ = selectedRow_ + 1;
}

std::shared_ptr<const WaveformPeaks> KitMaker::RowWaveform(int row) {
  if (row < 0 || row >= RowCount() || row + 1 >= kit_.Count() || !RowHasSound(row)) return nullptr;
  return WaveformOf(waveforms_, kit_[row + 1].Wave());
}

int KitMaker::ListeningRow() const {
  return stream_ && stream_->Playing() ? listeningRow_ : -1;
}

int64_t KitMaker::ListeningFrame() {
  if (ListeningRow() < 0) return -1;
  const auto layout = ParseSampleLayout(stream_->Format());
  if (!layout || layout->blockAlign == 0) return -1;
  return stream_->PlayingPosition() / layout->blockAlign;
}

void KitMaker::DXSoundFinalize() {
  stream_.reset();
}

const std::string& KitMaker::File(int index) const {
  static const std::string none;
  return index >= 0 && index < static_cast<int>(files_.size()) ? files_[index] : none;
}

void KitMaker::SetFile(int index, const std::string& path) {
  if (index >= static_cast<int>(files_.size())) files_.resize(index + 1);
  files_[index] = path;
}
