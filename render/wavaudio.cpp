#include "render/wavaudio.h"

#include <algorithm>

#include "render/wavaudioMath.h"

namespace wavaudio {

TWave::~TWave() {
  // A window still loaded holds writes the backing file has not seen yet.
  if (useFile_ && WindowLoaded()) {
    try {
      WriteBackWindow();
    } catch (...) {
    }
  }
}

std::int64_t TWave::DataSize() const {
  if (!useFile_) return static_cast<std::int64_t>(data_.size());
  if (!WindowLoaded()) return file_.Size();
  return std::max(file_.Size(), WindowByteStart() + HeldBytes());
}

double TWave::Duration() const {
  return Divide(frameCount_, Format.nSamplesPerSec);
}

bool TWave::WindowHolds(std::int64_t pos, int bytes) const {
  return WindowLoaded() && pos >= WindowByteStart() &&
         pos + bytes <= WindowByteStart() + WindowBytes();
}

bool TWave::WindowCovers(std::int64_t frame) const {
  return WindowLoaded() && frame >= windowStart_ &&
         frame < std::int64_t(windowStart_) + kWindowFrames;
}

std::int16_t TWave::GetSample(std::int32_t channel, std::int32_t frame) const {
  if (channel < 0 || channel > Format.nChannels) return 0;
  const std::int64_t pos = Format.SamplePosition(channel, frame);
  if (frame < 0 || frame >= frameCount_ || pos < 0) return 0;
  const int bytes = Format.SampleBytes();
  const bool eightBit = Format.EightBit();
  if (!useFile_) {
    // Past the end of the bytes there is nothing to read.
    if (pos + bytes > static_cast<std::int64_t>(data_.size())) return 0;
    return DecodeSample(&data_[static_cast<std::size_t>(pos)], eightBit);
  }
  std::uint8_t raw[2] = {0, 0};
  const std::int64_t rel = pos - WindowByteStart();
  if (WindowLoaded() && rel >= 0 && rel < HeldBytes()) {
    if (rel + bytes > HeldBytes()) return 0;
    // Bytes of the window not read yet are as the file has them.
    for (int i = 0; i < bytes; ++i) {
      const std::int64_t at = rel + i;
      if (at < static_cast<std::int64_t>(data_.size()))
        raw[i] = data_[static_cast<std::size_t>(at)];
      else if (file_.ReadAt(pos + i, &raw[i], 1) != 1)
        return 0;
    }
    return DecodeSample(raw, eightBit);
  }
  if (file_.ReadAt(pos, raw, static_cast<std::size_t>(bytes)) != std::size_t(bytes)) return 0;
  return DecodeSample(raw, eightBit);
}

void TWave::SetSample(std::int32_t channel, std::int32_t frame, std::int32_t value) {
  if (channel < 0 || channel > Format.nChannels || frame < 0) return;
  const std::int64_t pos = Format.SamplePosition(channel, frame);
  if (pos < 0) return;
  const int bytes = Format.SampleBytes();
  std::int64_t rel = pos;
  if (useFile_) {
    // A sample of the window's last frame may reach into the next frame; such
    // a write moves the window too, so that it is never cut off on flushing.
    if (!WindowHolds(pos, bytes)) {
      FlushWindow();
      FillFileTo(pos);
      windowStart_ = frame;
      LoadWindow();
    }
    FillFileTo(WindowByteStart());
    rel = pos - WindowByteStart();
    EnsureRead(rel + bytes);
  }
  GrowTo(rel);
  if (static_cast<std::int64_t>(data_.size()) < rel + bytes)
    data_.resize(static_cast<std::size_t>(rel + bytes));
  EncodeSample(value, Format.EightBit(), &data_[static_cast<std::size_t>(rel)]);
  MarkDirty(rel, rel + bytes);
  if (frame >= frameCount_) frameCount_ = frame + 1;
}

void TWave::EnsureRead(std::int64_t bytes) {
  constexpr std::int64_t kReadAhead = 1 << 16;
  const auto have = static_cast<std::int64_t>(data_.size());
  if (!useFile_ || have >= bytes || have >= windowLength_) return;
  const std::int64_t want = std::min(windowLength_, std::max(bytes, have + kReadAhead));
  data_.resize(static_cast<std::size_t>(want));
  file_.ReadExactly(WindowByteStart() + have, &data_[static_cast<std::size_t>(have)],
                    static_cast<std::size_t>(want - have));
}

void TWave::GrowTo(std::int64_t bytes) {
  EnsureRead(bytes);
  const auto held = static_cast<std::int64_t>(data_.size());
  if (held >= bytes) return;
  MarkDirty(held, bytes);
  data_.resize(static_cast<std::size_t>(bytes), Format.SilenceByte());
}

void TWave::FillFileTo(std::int64_t bytes) {
  if (file_.Size() < bytes) file_.AppendFill(Format.SilenceByte(), bytes - file_.Size());
}

void TWave::MarkDirty(std::int64_t from, std::int64_t to) {
  if (!useFile_) return;
  if (dirtyFrom_ >= dirtyTo_) {
    dirtyFrom_ = from;
    dirtyTo_ = to;
    return;
  }
  dirtyFrom_ = std::min(dirtyFrom_, from);
  dirtyTo_ = std::max(dirtyTo_, to);
}

void TWave::DropWindow() {
  data_.clear();
  windowStart_ = kNoWindow;
  windowLength_ = 0;
  dirtyFrom_ = dirtyTo_ = 0;
}

void TWave::LoadWindow() {
  if (!useFile_) return;
  data_.clear();
  dirtyFrom_ = dirtyTo_ = 0;
  windowLength_ = 0;
  if (!WindowLoaded() || !file_.IsOpen()) return;
  windowLength_ =
      std::max<std::int64_t>(0, std::min(file_.Size() - WindowByteStart(), WindowBytes()));
}

void TWave::WriteBackWindow() {
  if (!useFile_ || !file_.IsOpen() || !WindowLoaded()) return;
  // Only changed bytes go back; the rest of the window came from the file.
  const std::int64_t end =
      std::min({dirtyTo_, static_cast<std::int64_t>(data_.size()), WindowBytes()});
  if (dirtyFrom_ < end)
    file_.WriteAt(WindowByteStart() + dirtyFrom_, &data_[static_cast<std::size_t>(dirtyFrom_)],
                  static_cast<std::size_t>(end - dirtyFrom_));
  DropWindow();
}

void TWave::FlushWindow() {
  if (!useFile_ || !file_.IsOpen()) return;
  WriteBackWindow();
  file_.Flush();
  frameCount_ = RoundToInt32(Divide(double(file_.Size()), Format.nBlockAlign));
}

void TWave::SetUseFile(bool on) {
  if (on && !useFile_) {
    WaveFile created(FileName, WaveFile::Mode::CreateEmpty);
    created.WriteAt(0, data_.data(), data_.size());
    created.Close();
    file_ = WaveFile(FileName, WaveFile::Mode::ReadWrite);
    std::vector<std::uint8_t>().swap(data_);
    useFile_ = true;
    DropWindow();
    return;
  }
  if (!on && useFile_ && file_.IsOpen()) {
    // Writes in the window would be lost if the file were read without them.
    WriteBackWindow();
    std::vector<std::uint8_t> all(static_cast<std::size_t>(file_.Size()));
    file_.ReadExactly(0, all.data(), all.size());
    file_ = WaveFile();
    data_.swap(all);
    useFile_ = false;
    return;
  }
  useFile_ = on;
}

}  // namespace wavaudio
