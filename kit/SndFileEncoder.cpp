#include "kit/SndFileEncoder.h"

#include <cerrno>
#include <cstring>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/SndFile.h"

namespace {

class SndFileWriter : public SoundWriter {
 public:
  SndFileWriter(SndFileHandle file, std::filesystem::path path)
      : file_(std::move(file)), path_(std::move(path)) {}
  void Write(const std::int16_t* frames, std::int64_t count) override {
    if (sf_writef_short(file_.get(), frames, count) != count) Fail();
    written_ += count;
  }
  void Close() override {
    // The encoder starts the stream at the first frame: a file of none
    // gets its header here, so that it is a valid FLAC file all the same.
    if (written_ == 0 && sf_command(file_.get(), SFC_UPDATE_HEADER_NOW, nullptr, 0) != 0) Fail();
    // The encoder writes its last block and the stream's summary on close.
    if (sf_close(file_.release()) != 0) Fail();
  }

 private:
  [[noreturn]] void Fail() {
    const int error = errno;
    file_.reset();
    throw EFileError(DisplayPath(path_),
                     std::string("Stream write error (") + std::strerror(error) + ")");
  }
  SndFileHandle file_;
  std::filesystem::path path_;
  std::int64_t written_ = 0;
};

class SndFileEncoder : public SoundEncoder {
 public:
  std::unique_ptr<SoundWriter> CreateFlac(const std::filesystem::path& path, std::int64_t rate,
                                          int channels) override {
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = channels;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SndFileHandle file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!file) throw EFCreateError(DisplayPath(path));
    return std::make_unique<SndFileWriter>(std::move(file), path);
  }
};

}  // namespace

std::shared_ptr<SoundEncoder> MakeSndFileEncoder() {
  return std::make_shared<SndFileEncoder>();
}
