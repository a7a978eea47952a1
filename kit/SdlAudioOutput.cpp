#include "kit/SdlAudioOutput.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

bool InitSdlAudio() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0; });
  return ok;
}

// The default device's own rate when it is one of the two we prefer.
int DeviceRate(int preferred) {
#if SDL_VERSION_ATLEAST(2, 24, 0)
  SDL_AudioSpec spec;
  char* name = nullptr;
  if (SDL_GetDefaultAudioInfo(&name, &spec, 0) == 0) {
    SDL_free(name);
    if (spec.freq == 48000 || spec.freq == 44100) return spec.freq;
  }
#endif
  return preferred == 44100 ? 44100 : 48000;
}

}  // namespace

SdlAudioOutput::~SdlAudioOutput() {
  if (device_) SDL_CloseAudioDevice(device_);
}

bool SdlAudioOutput::Open(int preferredRate) {
  if (!InitSdlAudio()) return false;
  SDL_AudioSpec want{};
  SDL_AudioSpec have{};
  want.freq = DeviceRate(preferredRate);
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = 256;  // about 5 ms
  want.callback = &SdlAudioOutput::Callback;
  want.userdata = this;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
  if (device_ == 0) return false;
  rate_ = have.freq;
  period_ = have.samples;
  return true;
}

void SdlAudioOutput::Start(Render render) {
  SDL_LockAudioDevice(device_);
  render_ = std::move(render);
  SDL_UnlockAudioDevice(device_);
  SDL_PauseAudioDevice(device_, 0);
}

void SdlAudioOutput::Stop() {
  if (!device_) return;
  SDL_PauseAudioDevice(device_, 1);
  // Taking the device lock waits for a callback in progress.
  SDL_LockAudioDevice(device_);
  render_ = nullptr;
  SDL_UnlockAudioDevice(device_);
}

void SdlAudioOutput::Callback(void* self, uint8_t* stream, int bytes) {
  auto* output = static_cast<SdlAudioOutput*>(self);
  const int frames = bytes / static_cast<int>(2 * sizeof(float));
  ++output->callbacks_;
  if (output->render_)
    output->render_(reinterpret_cast<float*>(stream), frames);
  else
    std::memset(stream, 0, static_cast<size_t>(bytes));
}

AudioOutputFactory SdlAudioOutputFactory() {
  return [] { return std::make_unique<SdlAudioOutput>(); };
}
