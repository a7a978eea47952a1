#include "kit/SdlAudioOutput.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

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

// The one SDL device, opened while any output is open. The started outputs
// are changed only under SDL's device lock, which the callback holds.
class SharedDevice {
 public:
  static constexpr int kMaxOutputs = 16;

  static SharedDevice& Instance() {
    static SharedDevice device;
    return device;
  }

  bool Acquire(int preferredRate, int& rate, int& period) {
    if (users_ == 0 && !OpenDevice(preferredRate)) return false;
    ++users_;
    rate = rate_;
    period = period_;
    return true;
  }

  void Release() {
    if (--users_ > 0) return;
    SDL_CloseAudioDevice(device_);
    device_ = 0;
  }

  void Attach(SdlAudioOutput* output) {
    SDL_LockAudioDevice(device_);
    if (started_.size() < kMaxOutputs) started_.push_back(output);
    SDL_UnlockAudioDevice(device_);
    SDL_PauseAudioDevice(device_, 0);
  }

  // Once it returns, the callback no longer calls the output.
  void Detach(SdlAudioOutput* output) {
    SDL_LockAudioDevice(device_);
    std::erase(started_, output);
    SDL_UnlockAudioDevice(device_);
  }

 private:
  SharedDevice() { started_.reserve(kMaxOutputs); }

  bool OpenDevice(int preferredRate) {
    if (!InitSdlAudio()) return false;
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = DeviceRate(preferredRate);
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 256;  // about 5 ms
    want.callback = &SharedDevice::Callback;
    want.userdata = this;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                  SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (device_ == 0) return false;
    rate_ = have.freq;
    period_ = have.samples;
    // Room for the largest block SDL may ask for, made before it starts.
    mix_.assign(static_cast<size_t>(std::max(period_, 4096)) * 2, 0.0f);
    return true;
  }

  static void Callback(void* self, uint8_t* stream, int bytes) {
    static_cast<SharedDevice*>(self)->Mix(reinterpret_cast<float*>(stream),
                                          bytes / static_cast<int>(2 * sizeof(float)));
  }

  void Mix(float* out, int frames) {
    std::memset(out, 0, static_cast<size_t>(frames) * 2 * sizeof(float));
    const size_t samples = std::min(static_cast<size_t>(frames) * 2, mix_.size());
    for (SdlAudioOutput* output : started_) {
      output->RenderInto(mix_.data(), static_cast<int>(samples / 2));
      for (size_t i = 0; i < samples; ++i) out[i] += mix_[i];
    }
    if (started_.size() > 1)
      for (size_t i = 0; i < samples; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
  }

  SDL_AudioDeviceID device_ = 0;
  int users_ = 0;
  int rate_ = 0;
  int period_ = 0;
  std::vector<SdlAudioOutput*> started_;
  std::vector<float> mix_;
};

}  // namespace

SdlAudioOutput::~SdlAudioOutput() {
  Stop();
  if (opened_) SharedDevice::Instance().Release();
}

bool SdlAudioOutput::Open(int preferredRate) {
  if (opened_) return true;
  opened_ = SharedDevice::Instance().Acquire(preferredRate, rate_, period_);
  return opened_;
}

void SdlAudioOutput::Start(Render render) {
  if (!opened_) return;
  render_ = std::move(render);
  SharedDevice::Instance().Attach(this);
  started_ = true;
}

void SdlAudioOutput::Stop() {
  if (!started_) return;
  SharedDevice::Instance().Detach(this);
  started_ = false;
  render_ = nullptr;
}

void SdlAudioOutput::RenderInto(float* out, int frames) {
  ++callbacks_;
  if (render_)
    render_(out, frames);
  else
    std::memset(out, 0, static_cast<size_t>(frames) * 2 * sizeof(float));
}

AudioOutputFactory SdlAudioOutputFactory() {
  return [] { return std::make_unique<SdlAudioOutput>(); };
}
