#include "kit/DXSounds.h"

#include "common/Exception.h"

void TDXSoundDirectSound::DoRestore() {
  owner_.Restore();
}

TDXSound::TDXSound(SoundWindow* owner) : owner_(owner) {}

TDXSound::~TDXSound() {
  try {
    Finalize();
  } catch (...) {
    // A listener failing while the window goes away changes nothing more.
  }
  const auto listeners = std::move(listeners_);
  for (const Listener& l : listeners)
    if (l.gone) l.gone();
}

void TDXSound::Initialize() {
  Finalize();
  if (!owner_) throw EDXSoundError("Form not found");
  Notify(TDXSoundNotifyType::dsntInitializing);
  if (OnInitializing) OnInitializing(*this);
  opening_ = true;
  try {
    OpenDevice();
  } catch (...) {
    opening_ = false;
    Finalize();
    throw;
  }
  opening_ = false;
  Notify(TDXSoundNotifyType::dsntInitialize);
  calledDoInitialize_ = true;
  if (OnInitialize) OnInitialize(*this);
  Restore();
}

void TDXSound::OpenDevice() {
  dsound_ = std::make_unique<TDXSoundDirectSound>(*this, MakeAudioOutput());
  dsound_->GlobalFocus = (options_ & soGlobalFocus) != 0;
  dsound_->StickyFocus = (options_ & soStickyFocus) != 0;
  primary_ = std::make_unique<TDirectSoundBuffer>(*dsound_);
  if (!primary_->CreateBuffer({DSBCAPS_PRIMARYBUFFER, 0, {}}))
    throw EDXSoundError(FormatMessage("%s cannot be made", "Primary Buffer"));
  initialized_ = true;
  subClass_ = std::make_unique<TControlSubClass>(*owner_, [this](uintptr_t h) { BindWindow(h); });
  BindWindow(owner_->Handle());
}

void TDXSound::BindWindow(uintptr_t handle) {
  if (dsound_) dsound_->SetCooperativeLevel(handle, CooperativeLevel());
}

uint32_t TDXSound::CooperativeLevel() const {
  if (options_ & soWritePrimary) return DSSCL_WRITEPRIMARY;
  if (options_ & soExclusive) return DSSCL_EXCLUSIVE;
  return DSSCL_NORMAL;
}

void TDXSound::Finalize() {
  if (!dsound_) return;
  subClass_.reset();
  auto release = [this] {
    initialized_ = false;
    SetOptions(requested_);
    primary_.reset();
    dsound_.reset();
  };
  try {
    try {
      if (calledDoInitialize_) {
        calledDoInitialize_ = false;
        if (OnFinalize) OnFinalize(*this);
      }
    } catch (...) {
      Notify(TDXSoundNotifyType::dsntFinalize);
      throw;
    }
    Notify(TDXSoundNotifyType::dsntFinalize);
  } catch (...) {
    release();
    throw;
  }
  release();
}

void TDXSound::Loaded() {
  if (!AutoInitialize) return;
  try {
    Initialize();
  } catch (const std::exception&) {
    // Without a device the window works on, silent.
  }
}

void TDXSound::SetOptions(TDXSoundOptions options) {
  requested_ = options;
  if (!initialized_) {
    options_ = options;
    return;
  }
  // The cooperative level stays as it was until the next Initialize.
  const TDXSoundOptions fixed = soExclusive | soWritePrimary;
  options_ = (options_ & fixed) | (options & ~fixed);
  dsound_->GlobalFocus = (options_ & soGlobalFocus) != 0;
  dsound_->StickyFocus = (options_ & soStickyFocus) != 0;
}

void TDXSound::RegisterNotifyEvent(const void* listener, TDXSoundNotifyEvent event,
                                   std::function<void()> gone) {
  UnRegisterNotifyEvent(listener);
  listeners_.push_back({listener, std::move(event), std::move(gone)});
}

void TDXSound::UnRegisterNotifyEvent(const void* listener) {
  std::erase_if(listeners_, [listener](const Listener& l) { return l.listener == listener; });
}

void TDXSound::Notify(TDXSoundNotifyType notice) {
  const auto listeners = listeners_;  // a listener may leave while told
  for (const Listener& l : listeners) l.event(*this, notice);
}

void TDXSound::Restore() {
  Notify(TDXSoundNotifyType::dsntRestore);
  if (OnRestore) OnRestore(*this);
}
