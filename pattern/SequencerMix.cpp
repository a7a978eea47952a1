// TSequence: the mixer. The Kit List's rows change the song's mix as
// undoable steps; meters read the peaks the device's mixer publishes, polled
// only while they show.
#include <QStatusBar>
#include <QTimer>

#include "kit/DXClass.h"
#include "kit/Kit_Listing.h"
#include "kit/LevelMeter.h"
#include "kit/Mixer.h"
#include "pattern/Sequencer.h"
#include "song/MixRule.h"

Mixer* TSequence::DeviceMixer() const {
  TDirectSound* device = DXSound1.DSound();
  return device ? &device->mixer() : nullptr;
}

void TSequence::ConnectKitListMix() {
  kitList_->OnMixChanged = [this](const std::string& name, const InstrumentMix& mix, bool level) {
    Guarded([&] { SetInstrumentMix(name, mix, level); });
  };
  kitList_->TakePeak = [this](int kitIndex) {
    Mixer* mixer = DeviceMixer();
    if (!mixer) return 0.0f;
    mixer->SetMetering(true);  // the device may be new since the window showed
    return mixer->TakeMeterPeak(kitIndex);
  };
  kitList_->OnMetering = [this](bool on) {
    if (Mixer* mixer = DeviceMixer()) mixer->SetMetering(on);
  };
  kitList_->ShowMix(song_.Settings().mix);
}

void TSequence::SetInstrumentMix(const std::string& name, const InstrumentMix& mix, bool level) {
  SongSettings settings = song_.Settings();
  settings.mix = WithInstrumentMix(settings.mix, name, mix);
  const QString text = QString::fromLatin1(("Mix of " + name).c_str());
  Push(text, song_.SetSettings(std::move(settings)), level ? MergeKey::MixLevel : MergeKey::None);
}

void TSequence::BuildOutputMeter() {
  outputMeter_ = new LevelMeter(this);
  outputMeter_->setObjectName("OutputMeter");
  outputMeter_->setFixedSize(90, 12);
  outputMeter_->setToolTip("Output level (click clears the clip mark)");
  statusBar()->addPermanentWidget(outputMeter_);
  outputMeterTimer_ = new QTimer(this);
  outputMeterTimer_->setInterval(TKit_List::kMeterIntervalMs);
  connect(outputMeterTimer_, &QTimer::timeout, this, &TSequence::PollOutputMeter);
}

void TSequence::PollOutputMeter() {
  const double seconds = outputMeterClock_.isValid() ? outputMeterClock_.restart() / 1000.0 : 0.0;
  Mixer* mixer = DeviceMixer();
  if (!mixer) return outputMeter_->Take(0.0f, seconds);
  outputMeter_->Take(mixer->TakeOutputPeak(), seconds);
  const int64_t clips = mixer->ClippedBlocks();
  if (clips > outputClipsSeen_) outputMeter_->MarkClip();
  outputClipsSeen_ = clips;
}

void TSequence::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!outputMeterTimer_) return;
  outputMeterClock_.start();
  outputMeterTimer_->start();
}

void TSequence::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  if (outputMeterTimer_) outputMeterTimer_->stop();
}
