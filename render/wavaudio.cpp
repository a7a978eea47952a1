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
  const auto held = static_cast<std::int64_t>(data_.size());
  if (!useFile_) return held;
  if (!WindowLoaded()) return file_.Size();
  return std::max(file_.Size(), WindowByteStart() + held);
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
  const auto held = static_cast<std::int64_t>(data_.size());
  if (!useFile_ || (WindowLoaded() && pos >= WindowByteStart() && pos < WindowByteStart() + held)) {
    const std::int64_t rel = useFile_ ? pos - WindowByteStart() : pos;
    // Past the end of the bytes there is nothing to read.
    if (rel + bytes > held) return 0;
    return DecodeSample(&data_[static_cast<std::size_t>(rel)], eightBit);
  }
  std::uint8_t raw[2] = {0, 0};
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
  }
  GrowTo(rel);
  if (static_cast<std::int64_t>(data_.size()) < rel + bytes)
    data_.resize(static_cast<std::size_t>(rel + bytes));
  EncodeSample(value, Format.EightBit(), &data_[static_cast<std::size_t>(rel)]);
  MarkDirty(rel, rel + bytes);
  if (frame >= frameCount_) frameCount_ = frame + 1;
}

void TWave::GrowTo(std::int64_t bytes) {
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
  dirtyFrom_ = dirtyTo_ = 0;
}

void TWave::LoadWindow() {
  if (!useFile_) return;
  data_.clear();
  dirtyFrom_ = dirtyTo_ = 0;
  if (!WindowLoaded() || !file_.IsOpen()) return;
  const std::int64_t start = WindowByteStart();
  const std::int64_t count = std::min(file_.Size() - start, WindowBytes());
  if (count <= 0) return;
  data_.resize(static_cast<std::size_t>(count));
  file_.ReadExactly(start, data_.data(), data_.size());
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
