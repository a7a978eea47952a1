#include "pattern/InstrumentPanel.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSlider>
#include <QVBoxLayout>

#include "common/Text.h"
#include "pattern/PanelParts.h"
#include "song/Tempo.h"

InstrumentPanel::InstrumentPanel(QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  row->addWidget(BuildTempoBar());
  row->addWidget(BuildInstruments());
}

QWidget* InstrumentPanel::BuildTempoBar() {
  Delay = new QSlider(Qt::Vertical);
  Delay->setObjectName("Delay");
  Delay->setFixedWidth(41);
  Delay->setMinimumHeight(120);
  Delay->setRange(kMinTempoPosition, kMaxTempoPosition);
  Delay->setValue(kStartTempoPosition);
  Delay->setInvertedAppearance(true);
  // Faster is up, for the keys and the wheel as for a drag.
  Delay->setInvertedControls(true);
  Delay->setTickPosition(QSlider::TicksBothSides);
  Delay->setTickInterval(1);
  Delay->setToolTip("Tempo");
  Delay->setAccessibleName("Tempo");
  // Only a move by the user changes the tempo; the program's moves don't.
  // The action is told before the bar moves: the move is read once it has.
  connect(Delay, &QSlider::actionTriggered, this, [this] {
    QMetaObject::invokeMethod(
        this, [this] { Q_EMIT TempoMoved(); }, Qt::QueuedConnection);
  });
  connect(Delay, &QSlider::sliderMoved, this, &InstrumentPanel::TempoMoved);
  return Delay;
}

QWidget* InstrumentPanel::BuildInstruments() {
  auto* instruments = new QFrame;
  instruments->setObjectName("Instruments");
  instruments->setFrameStyle(QFrame::Panel | QFrame::Raised);
  instruments->setFixedWidth(160);
  auto* column = new QVBoxLayout(instruments);
  column->setContentsMargins(8, 6, 8, 6);
  column->setSpacing(2);
  auto* chooserLabel = BoldLabel("Instr&uments");
  column->addWidget(chooserLabel);
  ComboBox1 = new QComboBox;
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setAccessibleName("Instruments");
  ComboBox1->setEditable(true);
  ComboBox1->setMaxVisibleItems(17);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  chooserLabel->setBuddy(ComboBox1);
  connect(ComboBox1, &QComboBox::currentTextChanged, this, &InstrumentPanel::ChooserChanged);
  column->addWidget(ComboBox1);
  auto* panLabel = BoldLabel("Pa&nning");
  column->addWidget(panLabel);
  Panning = new QSlider(Qt::Horizontal);
  Panning->setObjectName("Panning");
  Panning->setAccessibleName("Panning");
  Panning->setRange(-2000, 2000);
  Panning->setValue(0);
  Panning->setTickInterval(100);
  Panning->setTickPosition(QSlider::TicksBothSides);
  panLabel->setBuddy(Panning);
  connect(Panning, &QSlider::valueChanged, this, &InstrumentPanel::PanMoved);
  connect(Panning, &QSlider::sliderPressed, this, &InstrumentPanel::PanGrabbed);
  connect(Panning, &QSlider::sliderReleased, this, &InstrumentPanel::PanReleased);
  column->addWidget(Panning);
  auto* bpm = BoldLabel("BPM");
  bpm->setAlignment(Qt::AlignCenter);
  column->addWidget(bpm);
  Label6 = new QLabel;
  Label6->setObjectName("Label6");
  Label6->setAccessibleName("Beats per minute");
  Label6->setAlignment(Qt::AlignCenter);
  QFont big = Label6->font();
  big.setBold(true);
  big.setPointSize(big.pointSize() + 4);
  Label6->setFont(big);
  column->addWidget(Label6);
  BpmBox = new QLineEdit;
  BpmBox->setObjectName("BpmBox");
  BpmBox->setAccessibleName("Tempo in BPM");
  BpmBox->setToolTip("Type a tempo in BPM: the nearest the tempo bar holds is taken");
  BpmBox->setAlignment(Qt::AlignCenter);
  connect(BpmBox, &QLineEdit::returnPressed, this, &InstrumentPanel::TempoTyped);
  column->addWidget(BpmBox);
  column->addStretch(1);
  return instruments;
}

void InstrumentPanel::ShowTempo(int position) {
  const QSignalBlocker block(Delay);
  Delay->setValue(ClampTempoPosition(position));
  if (!BpmBox->hasFocus()) BpmBox->setText(Latin1(TempoText(BeatsPerMinuteFor(Delay->value()))));
}

std::string InstrumentPanel::BpmText() const {
  return BpmBox->text().toLatin1().toStdString();
}

void InstrumentPanel::ShowBeatsPerMinute(double beatsPerMinute) {
  Label6->setText(Latin1(TempoText(beatsPerMinute)));
}

void InstrumentPanel::ShowChooserItems(const std::vector<std::string>& items) {
  const QSignalBlocker block(ComboBox1);
  const QString text = ComboBox1->currentText();
  ComboBox1->clear();
  for (const auto& item : items) ComboBox1->addItem(Latin1(item));
  ComboBox1->setCurrentText(text);
}

void InstrumentPanel::ShowPan(int pan) {
  const QSignalBlocker block(Panning);
  Panning->setValue(pan);
}

std::string InstrumentPanel::ChooserText() const {
  return WithoutControlCharacters(ComboBox1->currentText().toLatin1().toStdString());
}

void InstrumentPanel::CleanChooserText() {
  const QString clean = Latin1(ChooserText());
  if (clean == ComboBox1->currentText()) return;
  const QSignalBlocker block(ComboBox1);
  ComboBox1->setCurrentText(clean);
}
