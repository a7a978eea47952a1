#include "kit/Wave.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>
#include <system_error>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/WaveStream.h"

namespace Wave {

namespace {

int64_t BlocksFor(int64_t bytes) {
  return (bytes + TWave::BlockBytes - 1) / TWave::BlockBytes;
}

void PutU16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void PutU32(std::string& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

uint32_t GetLittleEndian(const Bytes& bytes, size_t offset, size_t width) {
  if (bytes.size() < offset + width) return 0;
  uint32_t v = 0;
  for (size_t i = width; i-- > 0;) v = (v << 8) | bytes[offset + i];
  return v;
}

}  // namespace

void TWave::SetSize(int32_t n) {
  n = std::max(n, 0);
  int64_t blocks = BlocksFor(n);
  if (blocks != BlocksFor(size_)) {
    Bytes fresh(static_cast<size_t>(blocks * BlockBytes));
    std::copy_n(data_.begin(), std::min(fresh.size(), data_.size()), fresh.begin());
    data_.swap(fresh);
  }
  size_ = n;
}

void TWave::SetFormatSize(int32_t n) {
  format_.resize(static_cast<size_t>(std::max(n, 0)));
}

void TWave::SetFormat(const Bytes& format) {
  format_ = format;
}

void TWave::Assign(const TWave* source) {
  if (source == this) return;
  if (!source) {
    Clear();
    return;
  }
  format_ = source->format_;
  SetSize(source->size_);
  std::copy_n(source->data_.begin(), source->size_, data_.begin());
}

void TWave::Clear() {
  Bytes().swap(format_);
  Bytes().swap(data_);
  size_ = 0;
}

void TWave::LoadFromFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw EFOpenError(DisplayPath(path));
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError(DisplayPath(path));
  try {
    LoadFromStream(in);
  } catch (const EReadError&) {
    throw EReadError(DisplayPath(path));
  }
}

void TWave::LoadFromStream(std::istream& stream) {
  int64_t end = StreamEnd(stream);
  int64_t start = stream.tellg();
  if (start >= end) {
    Clear();
    return;
  }
  RiffLayout layout = ReadRiffLayout(stream, end);
  // Checked before allocating: a size field may claim far more than is there.
  if (layout.DataSize > end - layout.DataStart) throw EReadError();
  TWave loaded;
  loaded.format_ = std::move(layout.Format);
  loaded.SetSize(static_cast<int32_t>(layout.DataSize));
  stream.clear();
  stream.seekg(layout.DataStart);
  stream.read(reinterpret_cast<char*>(loaded.data_.data()), loaded.size_);
  if (stream.gcount() != loaded.size_) throw EReadError();
  *this = std::move(loaded);
}

std::string TWave::Image() const {
  std::string out;
  if (FormatSize() <= 0 || size_ <= 0) return out;
  out.reserve(static_cast<size_t>(FormatSize()) + size_ + 29);
  out += "RIFF";
  PutU32(out, 4 + (8 + FormatSize()) + (8 + size_));
  out += "WAVEfmt ";
  PutU32(out, FormatSize());
  out.append(reinterpret_cast<const char*>(format_.data()), format_.size());
  out += "data";
  PutU32(out, size_);
  out.append(reinterpret_cast<const char*>(data_.data()), size_);
  out.push_back('\0');
  return out;
}

void TWave::SaveToFile(const std::filesystem::path& path) const {
  WriteFileAtomically(path, Image());
}

void TWave::SaveToStream(std::ostream& stream) const {
  std::string image = Image();
  stream.write(image.data(), static_cast<std::streamsize>(image.size()));
}

uint16_t TWave::FormatTag() const {
  return GetLittleEndian(format_, 0, 2);
}
uint16_t TWave::Channels() const {
  return GetLittleEndian(format_, 2, 2);
}
uint32_t TWave::SamplesPerSec() const {
  return GetLittleEndian(format_, 4, 4);
}
uint32_t TWave::AvgBytesPerSec() const {
  return GetLittleEndian(format_, 8, 4);
}
uint16_t TWave::BlockAlign() const {
  return GetLittleEndian(format_, 12, 2);
}
uint16_t TWave::BitsPerSample() const {
  return GetLittleEndian(format_, 14, 2);
}

Bytes MakePcmFormat(uint32_t rate, uint16_t bits, uint16_t channels) {
  uint32_t blockAlign = static_cast<uint32_t>(channels) * (bits / 8);
  std::string out;
  PutU16(out, 1);
  PutU16(out, channels);
  PutU32(out, rate);
  PutU32(out, blockAlign * rate);
  PutU16(out, blockAlign);
  PutU16(out, bits);
  PutU16(out, 0);
  return Bytes(out.begin(), out.end());
}

}  // namespace Wave
