#include "kit/SndFileDecoder.h"

#include <sstream>
#include <string>

#include "common/Text.h"
#include "kit/Mpg123Decoder.h"
#include "kit/SndFile.h"

namespace {

// Bits per sample of an integer encoding; 0 where samples are float or
// come from a lossy codec (they may then lie beyond full scale). Companded
// and ADPCM encodings decode to 16 bits.
int SourceBits(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_DPCM_8:
      return 8;
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_DWVW_12:
    case SF_FORMAT_DWVW_16:
    case SF_FORMAT_DPCM_16:
    case SF_FORMAT_ALAC_16:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM:
    case SF_FORMAT_GSM610:
    case SF_FORMAT_VOX_ADPCM:
    case SF_FORMAT_G721_32:
    case SF_FORMAT_G723_24:
    case SF_FORMAT_G723_40:
    case SF_FORMAT_NMS_ADPCM_16:
    case SF_FORMAT_NMS_ADPCM_24:
    case SF_FORMAT_NMS_ADPCM_32:
      return 16;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_DWVW_24:
    case SF_FORMAT_ALAC_20:
    case SF_FORMAT_ALAC_24:
      return 24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
      return 32;
    default:
      return 0;
  }
}

// libsndfile reads a WAV or AIFF whose data chunk runs past the end of the
// file up to that end, and notes the chunk in its log as
// "data : <declared> (should be <there>)" ("SSND : ..." in AIFF).
bool ShorterThanHeader(SNDFILE* file) {
  std::string log(16384, '\0');
  sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
  std::istringstream lines(log.c_str());
  for (std::string line; std::getline(lines, line);) {
    const std::size_t text = line.find_first_not_of(' ');
    if (text == std::string::npos || line.find("(should be") == std::string::npos) continue;
    if (line.compare(text, 6, "data :") == 0 || line.compare(text, 6, "SSND :") == 0) return true;
  }
  return false;
}

class SndFileReader : public SoundReader {
 public:
  SndFileReader(SndFileHandle file, const SF_INFO& info) : file_(std::move(file)) {
    info_.frames = info.frames;
    info_.rate = info.samplerate;
    info_.channels = info.channels;
    info_.bits = SourceBits(info.format);
    info_.shorterThanHeader = ShorterThanHeader(file_.get());
  }
  const SoundInfo& Info() const override { return info_; }
  std::int64_t Read(float* out, std::int64_t frames) override {
    const sf_count_t got = sf_readf_float(file_.get(), out, frames);
    if (got < 0 || sf_error(file_.get()) != SF_ERR_NO_ERROR) return -1;
    return got;
  }

 private:
  SndFileHandle file_;
  SoundInfo info_;
};

class SndFileDecoder : public SoundDecoder {
 public:
  std::unique_ptr<SoundReader> Open(const std::filesystem::path& path) override {
    if (SameTextIgnoringCase(path.extension().string(), ".mp3"))
      if (auto mp3 = OpenMpegAudio(path)) return mp3;
    SF_INFO info{};
    SndFileHandle file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) return nullptr;
    // Samples at full scale +-1 from integer encodings too (the default).
    sf_command(file.get(), SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    return std::make_unique<SndFileReader>(std::move(file), info);
  }
};

}  // namespace

std::shared_ptr<SoundDecoder> MakeSndFileDecoder() {
  return std::make_shared<SndFileDecoder>();
}
