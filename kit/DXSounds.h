#pragma once
// The sound device component: one per window that makes sound. It opens the
// device (through the output the program installed), sets the cooperative
// level and focus policy, and tells its listeners (bound kits) when the
// device comes, goes or must be reloaded.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "kit/DXClass.h"
#include "kit/SoundWindow.h"

enum TDXSoundOption : uint32_t {
  soGlobalFocus = 1,
  soStickyFocus = 2,
  soExclusive = 4,
  soWritePrimary = 8,
};
using TDXSoundOptions = uint32_t;

enum class TDXSoundNotifyType { dsntInitializing, dsntInitialize, dsntFinalize, dsntRestore };

class TDXSound;
using TDXSoundNotifyEvent = std::function<void(TDXSound& sender, TDXSoundNotifyType notice)>;
using TNotifyEvent = std::function<void(TDXSound& sender)>;

// The device of a TDXSound: a lost buffer makes its owner restore.
class TDXSoundDirectSound : public TDirectSound {
 public:
  TDXSoundDirectSound(TDXSound& owner, std::unique_ptr<AudioOutput> output)
      : TDirectSound(std::move(output)), owner_(owner) {}

 protected:
  void DoRestore() override;

 private:
  TDXSound& owner_;
};

class TDXSound {
 public:
  // owner: the window the device binds to; null has none ("Form not found").
  explicit TDXSound(SoundWindow* owner);
  ~TDXSound();
  TDXSound(const TDXSound&) = delete;
  TDXSound& operator=(const TDXSound&) = delete;

  bool AutoInitialize = true;
  TNotifyEvent OnInitializing, OnInitialize, OnFinalize, OnRestore;

  void Initialize();
  // Closes the device; nothing when it is not open.
  void Finalize();
  bool Initialized() const { return initialized_; }
  // The owning window has been loaded: initialises when AutoInitialize is
  // set, and a failure there is ignored.
  void Loaded();

  TDXSoundOptions Options() const { return options_; }
  void SetOptions(TDXSoundOptions options);

  // The device, while initialised; null otherwise.
  TDirectSound* DSound() const { return dsound_.get(); }
  TDirectSoundBuffer* Primary() const { return primary_.get(); }

  // Listeners are told of the four notices; one registration per listener.
  // gone, when given, is called if the device component is destroyed first.
  void RegisterNotifyEvent(const void* listener, TDXSoundNotifyEvent event,
                           std::function<void()> gone = nullptr);
  void UnRegisterNotifyEvent(const void* listener);

  // Sends the restore notice and fires OnRestore.
  void Restore();

 private:
  struct Listener {
    const void* listener;
    TDXSoundNotifyEvent event;
    std::function<void()> gone;
  };
  void Notify(TDXSoundNotifyType notice);
  void OpenDevice();
  void BindWindow(uintptr_t handle);
  uint32_t CooperativeLevel() const;

  SoundWindow* owner_;
  TDXSoundOptions options_ = 0;    // in effect
  TDXSoundOptions requested_ = 0;  // as last set; applies again after Finalize
  bool initialized_ = false;
  bool opening_ = false;
  bool calledDoInitialize_ = false;
  std::unique_ptr<TDXSoundDirectSound> dsound_;
  std::unique_ptr<TDirectSoundBuffer> primary_;
  std::unique_ptr<TControlSubClass> subClass_;
  std::vector<Listener> listeners_;
};
