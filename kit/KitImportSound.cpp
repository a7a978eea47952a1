#include "kit/KitImportSound.h"

#include <cmath>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/DecodeToWav.h"
#include "kit/DecodeWatch.h"
#include "kit/SoundDecoder.h"
#include "kit/SoundImport.h"

namespace fs = std::filesystem;

namespace {

// The samples of a reader times a gain. They are no longer whole steps of
// the source's width, so they are quantized as float ones: dithered, and
// clipped (and counted) beyond full scale.
class GainReader : public SoundReader {
 public:
  GainReader(SoundReader& source, double gain)
      : source_(source), info_(source.Info()), gain_(static_cast<float>(gain)) {
    info_.bits = 0;
  }
  const SoundInfo& Info() const override { return info_; }
  std::int64_t Read(float* out, std::int64_t frames) override {
    const std::int64_t got = source_.Read(out, frames);
    for (std::int64_t i = 0; i < got * info_.channels; ++i) out[i] *= gain_;
    return got;
  }

 private:
  SoundReader& source_;
  SoundInfo info_;
  float gain_;
};

Wave::TWave Loaded(const fs::path& wav) {
  Wave::TWave wave;
  wave.LoadFromFile(wav);
  return wave;
}

Wave::TWave WithGain(const fs::path& file, double gain, const fs::path& decodedWav) {
  const std::shared_ptr<SoundDecoder> decoder = InstalledSoundDecoder();
  if (!decoder) throw Exception("no sound file decoder is installed to apply a gain");
  const std::unique_ptr<SoundReader> reader = decoder->Open(file);
  if (!reader) throw EWaveStreamError(InvalidSoundMessage(file));
  GainReader scaled(*reader, gain);
  DecodeToWav(scaled, file, decodedWav, CurrentDecodeWatch());
  return Loaded(decodedWav);
}

}  // namespace

Wave::TWave ImportedSound(const fs::path& file, double gain, const fs::path& decodedWav) {
  try {
    if (std::abs(gain - 1.0) > 1e-9) return WithGain(file, gain, decodedWav);
    return Loaded(ImportSoundFile(file.string(), decodedWav).readable);
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& error) {
    const std::string shown = DisplayPath(file);
    if (std::string(error.what()).find(shown) != std::string::npos) throw;
    throw Exception(shown + ": " + error.what());
  }
}
