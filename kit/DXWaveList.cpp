#include "kit/DXWaveList.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "common/Exception.h"
#include "kit/Mixer.h"

TDXWaveList::TDXWaveList(UiThread& ui) : ui_(ui) {
  playing_.reserve(256);
}

TDXWaveList::~TDXWaveList() {
  try {
    SetDXSound(nullptr);
  } catch (...) {
  }
  Finalize();
}

void TDXWaveList::SetDXSound(TDXSound* sound) {
  if (sound == sound_) return;
  if (sound_) {
    if (sound_->Initialized()) DXSoundNotify(*sound_, TDXSoundNotifyType::dsntFinalize);
    sound_->UnRegisterNotifyEvent(this);
  }
  sound_ = sound;
  if (!sound_) return;
  sound_->RegisterNotifyEvent(
      this, [this](TDXSound& sender, TDXSoundNotifyType notice) { DXSoundNotify(sender, notice); },
      [this] { sound_ = nullptr; });
  if (sound_->Initialized()) {
    DXSoundNotify(*sound_, TDXSoundNotifyType::dsntInitialize);
    DXSoundNotify(*sound_, TDXSoundNotifyType::dsntRestore);
  }
}

void TDXWaveList::DXSoundNotify(TDXSound& sender, TDXSoundNotifyType notice) {
  switch (notice) {
    case TDXSoundNotifyType::dsntInitializing:
      break;
    case TDXSoundNotifyType::dsntInitialize:
      Initialize(*sender.DSound());
      break;
    case TDXSoundNotifyType::dsntFinalize:
      Finalize();
      break;
    case TDXSoundNotifyType::dsntRestore:
      Restore();
      break;
  }
}

void TDXWaveList::Initialize(TDirectSound& device) {
  Finalize();
  device_ = &device;
  for (int i = 0; i < Items.Count(); ++i) {
    Items[i].Buffer = std::make_shared<TDirectSoundBuffer>(device);
    Items[i].Initialized = true;
  }
  sweep_ = ui_.StartTimer(std::chrono::milliseconds(SweepIntervalMs), [this] { Sweep(); });
}

void TDXWaveList::Finalize() {
  sweep_.reset();
  playing_.clear();
  for (int i = 0; i < Items.Count(); ++i) {
    Items[i].Buffer.reset();
    Items[i].Initialized = false;
  }
  device_ = nullptr;
}

void TDXWaveList::Restore() {
  if (!device_) return;
  for (int i = 0; i < Items.Count(); ++i) RestoreItem(Items[i]);
}

void TDXWaveList::RestoreItem(TWaveCollectionItem& item) {
  if (!item.Buffer) {
    item.Buffer = std::make_shared<TDirectSoundBuffer>(*device_);
    item.Initialized = true;
  }
  LoadWave(item);
}

void TDXWaveList::LoadWave(TWaveCollectionItem& item) {
  TDirectSoundBuffer& buffer = *item.Buffer;
  const Wave::TWave& wave = item.Wave();
  // An empty entry (the kit's blank) has nothing to play.
  if (wave.Size() <= 0 || wave.FormatSize() <= 0) {
    buffer.Release();
    return;
  }
  TDSBufferDesc desc;
  desc.dwFlags =
      DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | device_->FocusFlags();
  desc.dwBufferBytes = static_cast<uint32_t>(wave.Size());
  desc.format = wave.FormatBytes();
  if (!buffer.CreateBuffer(desc))
    throw EDirectSoundBufferError(FormatMessage("%s cannot be made", "Sound Buffer"));
  TLockRegions regions;
  if (!buffer.Lock(0, desc.dwBufferBytes, regions)) {
    buffer.Release();
    throw EDirectSoundBufferError(FormatMessage("%s cannot be locked", "Sound Buffer"));
  }
  std::memcpy(regions.ptr1, wave.Data(), regions.bytes1);
  if (regions.ptr2) std::memcpy(regions.ptr2, wave.Data() + regions.bytes1, regions.bytes2);
  buffer.Unlock(regions);
}

std::unique_ptr<TDirectSoundBuffer> TDXWaveList::MakeDuplicate(TWaveCollectionItem& item,
                                                               VoiceMix mix) {
  if (!item.Buffer) RestoreItem(item);
  if (!item.Buffer)
    throw EWaveCollectionError(FormatMessage("%s cannot be initialized", "TWaveCollectionItem"));
  TDirectSoundBuffer& source = *item.Buffer;
  if (!source.Made()) {
    LoadWave(item);
    if (!source.Made()) return nullptr;  // an empty entry
  }
  auto copy = std::make_unique<TDirectSoundBuffer>(*device_);
  if (source.Status() & DSBSTATUS_BUFFERLOST) LoadWave(item);
  copy->Duplicate(source);
  copy->SetPan(item.Pan);
  copy->SetVolume(item.Volume);
  const int meter = item.Index() > 0 && item.Index() < Mixer::kMeters ? item.Index() : 0;
  copy->SetMix(mix.levelCentiDb, static_cast<uint16_t>(meter));
  return copy;
}

void TDXWaveList::Play(TWaveCollectionItem& item, bool wait, VoiceMix mix) {
  if (!device_) return;
  std::unique_ptr<TDirectSoundBuffer> copy = MakeDuplicate(item, mix);
  if (!copy) return;
  copy->Play();
  if (!wait) {
    playing_.push_back(std::move(copy));
    return;
  }
  while (copy->Playing()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void TDXWaveList::Sweep() {
  std::erase_if(playing_, [](const std::unique_ptr<TDirectSoundBuffer>& copy) {
    return (copy->Status() & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING)) == 0;
  });
}
