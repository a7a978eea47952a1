#include "song/GroovePanel.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSignalBlocker>
#include <QSpinBox>
#include <cmath>

namespace {

QSpinBox* WholeBox(const char* name, const QString& accessible, int most, const QString& suffix) {
  auto* box = new QSpinBox;
  box->setObjectName(name);
  box->setAccessibleName(accessible);
  box->setRange(0, most);
  box->setSuffix(suffix);
  return box;
}

}  // namespace

GroovePanel::GroovePanel(QWidget* parent) : QGroupBox("Groove", parent) {
  setObjectName("GroovePanel");
  SwingBox = WholeBox("SwingBox", "Swing", Groove::kMostSwing, " %");
  SwingBox->setToolTip("Every second step of a pair is late by this share of a step");
  TimingBox = WholeBox("TimingBox", "Humanize timing", Groove::kMostTimingMs, " ms");
  TimingBox->setToolTip("Each hit moves by up to this much, earlier or later");
  LoudnessBox = new QDoubleSpinBox;
  LoudnessBox->setObjectName("LoudnessBox");
  LoudnessBox->setAccessibleName("Humanize loudness");
  LoudnessBox->setToolTip("Each kit hit is quieter by up to this much");
  LoudnessBox->setDecimals(1);
  LoudnessBox->setSingleStep(0.5);
  LoudnessBox->setRange(0, Groove::kMostLoudnessTenthDb / 10.0);
  LoudnessBox->setSuffix(" dB");
  auto* form = new QFormLayout(this);
  form->setContentsMargins(6, 4, 6, 4);
  form->setSpacing(2);
  form->addRow("&Swing", SwingBox);
  form->addRow("Hu&manize", TimingBox);  // Alt+H opens the Help menu
  form->addRow("&Loudness", LoudnessBox);
  connect(SwingBox, &QSpinBox::valueChanged, this, &GroovePanel::SwingEdited);
  connect(TimingBox, &QSpinBox::valueChanged, this, &GroovePanel::TimingEdited);
  connect(LoudnessBox, &QDoubleSpinBox::valueChanged, this, &GroovePanel::LoudnessEdited);
}

void GroovePanel::ShowGroove(const Groove& groove) {
  // A box already showing the value is left alone: its text may be half
  // typed ("4." on the way to "4.5").
  const QSignalBlocker swing(SwingBox), timing(TimingBox), loudness(LoudnessBox);
  if (SwingBox->value() != groove.swingPercent) SwingBox->setValue(groove.swingPercent);
  if (TimingBox->value() != groove.timingMs) TimingBox->setValue(groove.timingMs);
  if (Shown(groove.seed).loudnessTenthDb != groove.loudnessTenthDb)
    LoudnessBox->setValue(groove.loudnessTenthDb / 10.0);
}

Groove GroovePanel::Shown(std::uint32_t seed) const {
  Groove groove;
  groove.swingPercent = SwingBox->value();
  groove.timingMs = TimingBox->value();
  groove.loudnessTenthDb = static_cast<int>(std::lround(LoudnessBox->value() * 10));
  groove.seed = seed;
  return groove;
}
