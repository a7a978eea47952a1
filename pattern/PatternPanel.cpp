#include "pattern/PatternPanel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>

#include "pattern/PanelParts.h"
#include "pattern/StepGridView.h"
#include "pattern/TimeBeat.h"
#include "song/EditedSong.h"

PatternPanel::PatternPanel(EditedSong& song, QWidget* parent) : QWidget(parent), song_(song) {
  StringGrid1 = new StepGridView(song_.Grid());
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->setAccessibleName("Step grid");
  connect(StringGrid1, &StepGridView::MouseUp, this, &PatternPanel::CellReleased);
  connect(StringGrid1, &StepGridView::DeletePressed, this, &PatternPanel::DeletePressed);
  connect(StringGrid1, &StepGridView::CharacterTyped, this, &PatternPanel::CharacterTyped);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(StringGrid1);
  BuildToolBarControls();
}

void PatternPanel::BuildToolBarControls() {
  Label3 = new QLabel("Time/Beat ");
  Label3->setObjectName("Label3");
  TimeBar = new QComboBox;
  TimeBar->setObjectName("TimeBar");
  TimeBar->setEditable(true);
  TimeBar->setToolTip("Time/Beat Selector");
  TimeBar->setAccessibleName("Time/Beat Selector");
  for (const auto& entry : TimeBarEntries()) TimeBar->addItem(Latin1(entry));
  TimeBar->setCurrentIndex(-1);
  TimeBar->setMinimumContentsLength(7);  // "16 | 16" whole
  TimeBar->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  connect(TimeBar, &QComboBox::currentTextChanged, this, &PatternPanel::TimeTextChanged);
  ToolButton13 = BarButton(ToolIcon::UpdateTime, "Update time/beat to pattern", this);
  connect(ToolButton13, &QToolButton::clicked, this, &PatternPanel::UpdateTimePressed);

  Edit2 = new QLineEdit;
  Edit2->setPlaceholderText("Name");  // what the box is for, until the pattern has a name
  Edit2->setObjectName("Edit2");
  Edit2->setToolTip("Pattern Name");
  Edit2->setAccessibleName("Pattern Name");
  QFont bold = Edit2->font();
  bold.setBold(true);
  Edit2->setFont(bold);
  Edit2->setFixedWidth(96);
  connect(Edit2, &QLineEdit::textChanged, this, &PatternPanel::NameEdited);
  ToolButton16 = BarButton(ToolIcon::ClearPattern, "Clear pattern", this);
  connect(ToolButton16, &QToolButton::clicked, this, &PatternPanel::ClearPressed);

  Loop = new QSpinBox;
  Loop->setObjectName("Loop");
  Loop->setToolTip("Set loops in pattern");
  Loop->setAccessibleName("Set loops in pattern");
  Loop->setRange(INT_MIN, INT_MAX);
  Loop->setValue(1);
  Loop->setFixedWidth(48);
  connect(Loop, &QSpinBox::valueChanged, this, &PatternPanel::LoopsChanged);
}

QString PatternPanel::NameText() const {
  return Edit2->text();
}

// The name box turns italic, its tip starred, while the pattern differs
// from its file.
void PatternPanel::Show() {
  StringGrid1->Refresh();
  const QString name = Latin1(song_.Grid().Cell(0, 0));
  if (Edit2->text() != name) {
    const QSignalBlocker block(Edit2);
    Edit2->setText(name);
  }
  if (Loop->value() != song_.Values().loops) {
    const QSignalBlocker block(Loop);
    Loop->setValue(song_.Values().loops);
  }
  const std::string meter = song_.Grid().Cell(2, 0) + "|" + song_.Grid().Cell(4, 0);
  if (meter != shownMeter_) {
    shownMeter_ = meter;
    // Told as a change: what Update applies is what the selector shows.
    TimeBar->setCurrentText(
        Latin1(TimeBarTextFor(song_.Grid().Cell(2, 0), song_.Grid().Cell(4, 0))));
  }
  const bool changed = song_.PatternUnsaved();
  QFont font = Edit2->font();
  font.setItalic(changed);
  Edit2->setFont(font);
  Edit2->setToolTip(changed ? "Pattern Name *" : "Pattern Name");
}
