#include "song/SongStatus.h"

#include <QHBoxLayout>
#include <QLabel>

SongStatus::SongStatus(QWidget* parent)
    : QWidget(parent), entry_(new QLabel(this)), time_(new QLabel(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 0, 4, 0);
  layout->setSpacing(16);
  layout->addWidget(entry_);
  layout->addWidget(time_);
  layout->addStretch();
  entry_->setAccessibleName("Entry playing");
  time_->setAccessibleName("Song time");
}

void SongStatus::Show(const SongPlace& place) {
  entry_->setText(QString::fromLatin1(SongPlaceEntryText(place)));
  time_->setText(QString::fromLatin1(SongPlaceTimeText(place)));
}

void SongStatus::Clear() {
  entry_->clear();
  time_->clear();
}
