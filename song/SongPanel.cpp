#include "song/SongPanel.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPalette>
#include <QToolButton>

#include "pattern/PanelParts.h"
#include "song/EditedSong.h"

SongPanel::SongPanel(EditedSong& song, QWidget* parent) : QWidget(parent), song_(song) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  row->addWidget(BuildLibrary(), 1);
  row->addWidget(BuildPlayList(), 1);
}

QWidget* SongPanel::BuildLibrary() {
  MusicLib = new QListWidget;
  MusicLib->setObjectName("MusicLib");
  MusicLib->setMinimumSize(110, 120);
  BitBtn1 = SmallButton(ToolIcon::ArrowRight, "Add to play list");
  BitBtn2 = SmallButton(ToolIcon::ArrowLeft, "Remove from play list");
  LibBin = SmallButton(ToolIcon::Bin, "Delete pattern");
  connect(MusicLib, &QListWidget::itemDoubleClicked, this, &SongPanel::AddPressed);
  connect(BitBtn1, &QToolButton::clicked, this, &SongPanel::AddPressed);
  connect(BitBtn2, &QToolButton::clicked, this, &SongPanel::RemovePressed);
  connect(LibBin, &QToolButton::clicked, this, &SongPanel::DeletePatternPressed);
  return ListPanel("Pattern Library", MusicLib, {BitBtn1, BitBtn2}, LibBin);
}

QWidget* SongPanel::BuildPlayList() {
  SongList = new QListWidget;
  SongList->setObjectName("SongList");
  SongList->setMinimumSize(110, 120);
  UpDownUp = SmallButton(ToolIcon::ArrowUp, "Move up", {28, 22});
  UpDownDown = SmallButton(ToolIcon::ArrowDown, "Move down", {28, 22});
  SongBin = SmallButton(ToolIcon::Bin, "Remove ticked entries");
  connect(UpDownUp, &QToolButton::clicked, this, [this] { Q_EMIT ArrowPressed(Arrow::Up); });
  connect(UpDownDown, &QToolButton::clicked, this, [this] { Q_EMIT ArrowPressed(Arrow::Down); });
  connect(SongBin, &QToolButton::clicked, this, &SongPanel::RemoveTickedPressed);
  connect(SongList, &QListWidget::itemPressed, this,
          [this](QListWidgetItem* item) { Q_EMIT EntryPressed(SongList->row(item)); });
  // The play list has one selection, the song's: refreshes only show it.
  connect(SongList, &QListWidget::currentRowChanged, this, &SongPanel::EntryHighlighted);
  connect(SongList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    Q_EMIT EntryTicked(SongList->row(item), item->checkState() == Qt::Checked);
  });
  return ListPanel("Play List", SongList, {UpDownUp, UpDownDown}, SongBin);
}

void SongPanel::ShowLibrary() {
  if (song_.Library().Entries() == shownLibrary_) return;
  shownLibrary_ = song_.Library().Entries();
  MusicLib->clear();
  for (const auto& name : song_.Library().Entries()) MusicLib->addItem(Latin1(name));
}

void SongPanel::ShowPlayList() {
  if (song_.List().State() == shownList_) return;
  shownList_ = song_.List().State();
  const QSignalBlocker block(SongList);
  SongList->clear();
  for (const auto& entry : song_.List().Entries()) {
    auto* item = new QListWidgetItem(Latin1(entry.name), SongList);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(entry.checked ? Qt::Checked : Qt::Unchecked);
  }
  SongList->setCurrentRow(song_.List().Selected());
  PaintEntryPlaying(true);
}

void SongPanel::ShowEntryPlaying(int index) {
  if (index == entryPlaying_) return;
  PaintEntryPlaying(false);
  entryPlaying_ = index;
  PaintEntryPlaying(true);
  if (QListWidgetItem* item = SongList->item(entryPlaying_)) SongList->scrollToItem(item);
}

void SongPanel::PaintEntryPlaying(bool playing) {
  QListWidgetItem* item = SongList->item(entryPlaying_);
  if (!item) return;
  QFont font = item->font();
  font.setBold(playing);
  item->setFont(font);
  item->setBackground(playing ? QBrush(SongList->palette().color(QPalette::Highlight).lighter(160))
                              : QBrush());
}
