#include "kit/SdlAudioOutput.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "kit/AudioThreadPriority.h"
#include "kit/SoundOutputChoice.h"

namespace {

constexpr const char* kServerLatencyMs = "18";

bool InitSdlAudio() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] {
    // SDL's events carry device removal; its signal handlers would take
    // Ctrl+C away from the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // SDL asks a PulseAudio server (or PipeWire's) to hold a single block:
    // 256-frame blocks then starve on a busy desktop. The server keeps its
    // own margin instead, unless the user chose one.
    ::setenv("PULSE_LATENCY_MSEC", kServerLatencyMs, 0);
    ok = SDL_InitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS) == 0;
  });
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

std::string DefaultDeviceName() {
#if SDL_VERSION_ATLEAST(2, 24, 0)
  SDL_AudioSpec spec;
  char* name = nullptr;
  if (SDL_GetDefaultAudioInfo(&name, &spec, 0) == 0 && name) {
    std::string result = name;
    SDL_free(name);
    return result;
  }
#endif
  const char* driver = SDL_GetCurrentAudioDriver();
  return std::string("default output") + (driver ? std::string(" (") + driver + ")" : "");
}

// The one SDL device, opened while any output is open. The callback takes no
// lock: it reads the started outputs from an immutable list the UI thread
// swaps for a new one, and an old list is freed only once no callback can be
// reading it. While the device is lost a thread of our own calls the outputs
// at the device's pace, so that the mixers, and the players behind them,
// carry on without sound.
class SharedDevice : public LosableDevice {
 public:
  static constexpr int kMaxOutputs = 16;

  static SharedDevice& Instance() {
    static SharedDevice device;
    return device;
  }

  bool Acquire(int preferredRate, int& rate, int& period) {
    if (users_ == 0 && !OpenDevice(DeviceRate(preferredRate), true)) return false;
    ++users_;
    rate = rate_;
    period = period_;
    return true;
  }

  void Release() {
    if (--users_ > 0) return;
    StopStandIn();
    if (device_) SDL_CloseAudioDevice(device_);
    device_ = 0;
    lost_ = false;
  }

  void Attach(SdlAudioOutput* output) {
    {
      std::lock_guard lock(editMutex_);
      const OutputList& now = *list_.load();
      if (now.size() < kMaxOutputs) {
        auto next = std::make_unique<OutputList>(now);
        next->push_back(output);
        Swap(std::move(next));
      }
    }
    Unpause();
  }

  // Once it returns, the callback no longer calls the output.
  void Detach(SdlAudioOutput* output) {
    std::lock_guard lock(editMutex_);
    auto next = std::make_unique<OutputList>(*list_.load());
    std::erase(*next, output);
    Swap(std::move(next));
    // A callback that took the old list before the swap may still be in it.
    const uint64_t entered = entered_.load();
    while (left_.load() < entered) std::this_thread::yield();
    FreeRetired();
  }

  News Poll() override {
    News news;
    SDL_Event events[16];
    int n;
    while ((n = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_AUDIODEVICEADDED,
                               SDL_AUDIODEVICEREMOVED)) > 0) {
      for (int i = 0; i < n; ++i) {
        const SDL_AudioDeviceEvent& e = events[i].adevice;
        if (e.iscapture) continue;
        if (events[i].type == SDL_AUDIODEVICEADDED) news.added = true;
        if (events[i].type == SDL_AUDIODEVICEREMOVED && device_ && e.which == device_)
          news.removed = true;
      }
    }
    // SDL stops a device it found disconnected, also when no event got through.
    if (device_ && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) news.removed = true;
    if (news.removed && !lost_) Lose();
    news.removed = news.removed || lost_;
    return news;
  }

  std::string Name() const override { return name_; }

  bool Reopen() override {
    if (users_ == 0) return true;
    if (!lost_) return true;
    StopStandIn();
    if (!OpenDevice(rate_, false)) {
      // The chosen device may be gone for good: the default then.
      const SoundOutputChoice chosen = choice_;
      choice_.device.clear();
      if (chosen.device.empty() || !OpenDevice(rate_, false)) {
        choice_ = chosen;
        StartStandIn();
        return false;
      }
    }
    lost_ = false;
    Unpause();
    return true;
  }

  SDL_AudioDeviceID DeviceId() const { return device_; }

  // The output as chosen; while outputs play they go on through it at once.
  // False, and the output as it was, when it cannot be opened.
  bool Use(const SoundOutputChoice& choice) {
    if (!InitSdlAudio()) return false;
    const SoundOutputChoice before = choice_;
    if (users_ == 0) return TryChoice(choice, before);
    StopStandIn();
    if (device_) SDL_CloseAudioDevice(device_);
    device_ = 0;
    choice_ = choice;
    if (SwitchDriver(choice.driver) && OpenDevice(rate_, false)) {
      lost_ = false;
      Unpause();
      return true;
    }
    choice_ = before;
    if (SwitchDriver(before.driver) && OpenDevice(rate_, false)) {
      lost_ = false;
      Unpause();
    } else {
      lost_ = true;  // the watch opens the default again when it can
      StartStandIn();
    }
    return false;
  }

  // SDL's drivers but its silent ones; those that fail to start are left
  // out when they could be tried (no output open, as at start-up).
  std::vector<std::string> Drivers() {
    if (!InitSdlAudio()) return {};
    if (!drivers_.empty() && (probed_ || users_ > 0)) return drivers_;
    drivers_.clear();
    const bool probe = users_ == 0;
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) {
      const std::string name = SDL_GetAudioDriver(i);
      if (name == "dummy" || name == "disk") continue;
      if (!probe || Starts(name)) drivers_.push_back(name);
    }
    if (probe) {
      SwitchDriver(initDriver_, true);
      probed_ = true;
    }
    return drivers_;
  }

  std::vector<std::string> Devices() {
    std::vector<std::string> names;
    if (!InitSdlAudio()) return names;
    const int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; ++i)
      if (const char* name = SDL_GetAudioDeviceName(i, 0)) names.push_back(name);
    return names;
  }

  int Rate() const { return rate_ > 0 ? rate_ : DeviceRate(48000); }

  // No callback and no stand-in block runs once this returns; the outputs
  // stay attached and are simply not called again.
  void End() {
    StopStandIn();
    if (device_) SDL_CloseAudioDevice(device_);
    device_ = 0;
  }

 private:
  using OutputList = std::vector<SdlAudioOutput*>;
  struct Retired {
    std::unique_ptr<OutputList> list;
    uint64_t entered;  // callbacks begun when it was swapped out
  };

  SharedDevice() : owned_(std::make_unique<OutputList>()) { list_.store(owned_.get()); }

  // SDL takes the device's own lock to unpause it, which its thread holds
  // through every callback: only once after opening, never while it plays.
  void Unpause() {
    if (!device_ || unpaused_) return;
    SDL_PauseAudioDevice(device_, 0);
    unpaused_ = true;
  }

  // Under editMutex_: the callback sees the new list from its next block on.
  void Swap(std::unique_ptr<OutputList> next) {
    list_.store(next.get());
    retired_.push_back({std::move(owned_), entered_.load()});
    owned_ = std::move(next);
    FreeRetired();
  }

  // Lists no callback can still be reading: every callback begun before
  // their swap has ended.
  void FreeRetired() {
    const uint64_t left = left_.load();
    std::erase_if(retired_, [left](const Retired& r) { return r.entered <= left; });
  }
  // Static: when the program ends without closing its outputs, the callback
  // must not go on into a destroyed device.
  ~SharedDevice() { End(); }

  // The first opening takes the device's rate and block length; a reopening
  // keeps them, so the mixers go on unchanged (SDL converts if it must).
  bool OpenDevice(int rate, bool first) {
    if (!InitSdlAudio()) return false;
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(choice_.blockFrames);
    want.callback = &SharedDevice::Callback;
    want.userdata = this;
    const int changes =
        first ? SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE : 0;
    const char* device = choice_.device.empty() ? nullptr : choice_.device.c_str();
    device_ = SDL_OpenAudioDevice(device, 0, &want, &have, changes);
    if (device_ == 0) return false;
    unpaused_ = false;
    name_ = device ? choice_.device : DefaultDeviceName();
    if (!first) return true;
    rate_ = have.freq;
    period_ = have.samples;
    // Room for the largest block SDL may ask for, made before it starts.
    mix_.assign(static_cast<size_t>(std::max(period_, 4096)) * 2, 0.0f);
    standInBlock_.assign(static_cast<size_t>(period_) * 2, 0.0f);
    return true;
  }

  void Lose() {
    lost_ = true;
    if (device_) SDL_CloseAudioDevice(device_);
    device_ = 0;
    StartStandIn();
  }

  void StartStandIn() {
    stopStandIn_ = false;
    standIn_ = std::thread([this] { RunStandIn(); });
  }

  void StopStandIn() {
    if (!standIn_.joinable()) return;
    {
      std::lock_guard lock(standInMutex_);
      stopStandIn_ = true;
    }
    standInWake_.notify_all();
    standIn_.join();
  }

  void RunStandIn() {
    RaiseToAudioPriority();
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    for (int64_t block = 1;; ++block) {
      const auto due =
          start + std::chrono::nanoseconds(block * period_ * int64_t{1000000000} / rate_);
      std::unique_lock lock(standInMutex_);
      if (standInWake_.wait_until(lock, due, [this] { return stopStandIn_; })) return;
      lock.unlock();
      Mix(standInBlock_.data(), period_);
    }
  }

  static void Callback(void* self, uint8_t* stream, int bytes) {
    // SDL asks for no more than an ordinary priority without a session bus.
    thread_local const bool raised = (RaiseToAudioPriority(), true);
    (void)raised;
    static_cast<SharedDevice*>(self)->Mix(reinterpret_cast<float*>(stream),
                                          bytes / static_cast<int>(2 * sizeof(float)));
  }

  void Mix(float* out, int frames) {
    entered_.fetch_add(1);
    std::memset(out, 0, static_cast<size_t>(frames) * 2 * sizeof(float));
    const size_t samples = std::min(static_cast<size_t>(frames) * 2, mix_.size());
    const OutputList& started = *list_.load();
    for (SdlAudioOutput* output : started) {
      output->RenderInto(mix_.data(), static_cast<int>(samples / 2));
      for (size_t i = 0; i < samples; ++i) out[i] += mix_[i];
    }
    if (started.size() > 1)
      for (size_t i = 0; i < samples; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
    left_.fetch_add(1);
  }

  // SDL runs one audio driver at a time: another means starting it afresh.
  // Empty: the one SDL picks itself.
  bool SwitchDriver(const std::string& driver, bool force = false) {
    if (driver == initDriver_ && !force) return true;
    SDL_AudioQuit();
    if (SDL_AudioInit(driver.empty() ? nullptr : driver.c_str()) == 0) {
      initDriver_ = driver;
      return true;
    }
    SDL_AudioInit(initDriver_.empty() ? nullptr : initDriver_.c_str());
    return false;
  }

  bool Starts(const std::string& driver) {
    SDL_AudioQuit();
    const bool ok = SDL_AudioInit(driver.c_str()) == 0;
    SDL_AudioQuit();
    return ok;
  }

  // No output is open: a trial opening tells whether the choice works; the
  // first output opens it.
  bool TryChoice(const SoundOutputChoice& choice, const SoundOutputChoice& before) {
    if (!SwitchDriver(choice.driver)) return false;
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = DeviceRate(48000);
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(choice.blockFrames);
    want.callback = &SharedDevice::Silence;
    const SDL_AudioDeviceID trial = SDL_OpenAudioDevice(
        choice.device.empty() ? nullptr : choice.device.c_str(), 0, &want, &have, 0);
    if (trial == 0) {
      SwitchDriver(before.driver);
      return false;
    }
    SDL_CloseAudioDevice(trial);
    choice_ = choice;
    return true;
  }

  static void Silence(void*, uint8_t* stream, int bytes) {
    std::memset(stream, 0, static_cast<size_t>(bytes));
  }

  SDL_AudioDeviceID device_ = 0;
  SoundOutputChoice choice_;
  std::string initDriver_;  // the driver asked of SDL; empty: its own pick
  std::vector<std::string> drivers_;
  bool probed_ = false;
  bool unpaused_ = false;
  std::string name_;
  int users_ = 0;
  int rate_ = 0;
  int period_ = 0;
  bool lost_ = false;
  std::mutex editMutex_;  // Attach and Detach, never the callback
  std::unique_ptr<OutputList> owned_;
  std::vector<Retired> retired_;
  std::atomic<const OutputList*> list_{nullptr};
  std::atomic<uint64_t> entered_{0}, left_{0};  // callbacks begun and ended
  std::vector<float> mix_;

  std::thread standIn_;
  std::mutex standInMutex_;
  std::condition_variable standInWake_;
  bool stopStandIn_ = false;
  std::vector<float> standInBlock_;
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

namespace {
class SdlOutputs : public SoundOutputs {
 public:
  std::vector<std::string> Drivers() override { return SharedDevice::Instance().Drivers(); }
  std::string CurrentDriver() override {
    const char* driver = SDL_GetCurrentAudioDriver();
    return driver ? driver : "";
  }
  std::vector<std::string> Devices() override { return SharedDevice::Instance().Devices(); }
  int Rate() override { return SharedDevice::Instance().Rate(); }
  bool Use(const SoundOutputChoice& choice) override {
    return SharedDevice::Instance().Use(choice);
  }
};
}  // namespace

SoundOutputs& SdlSoundOutputs() {
  static SdlOutputs outputs;
  return outputs;
}

AudioOutputFactory SdlAudioOutputFactory() {
  return [] { return std::make_unique<SdlAudioOutput>(); };
}

LosableDevice& SdlSoundDevice() {
  return SharedDevice::Instance();
}

void EndSdlSoundDevice() {
  SharedDevice::Instance().End();
}

uint32_t SdlSoundDeviceId() {
  return SharedDevice::Instance().DeviceId();
}
