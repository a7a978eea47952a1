#pragma once
// The main window's status bar while the song plays: the entry playing with
// its pass ("3/9 Funk, pass 2 of 4") and the time ("0:05.1 / 0:09.7").
#include <QWidget>

#include "song/SongMap.h"

class QLabel;

class SongStatus : public QWidget {
 public:
  explicit SongStatus(QWidget* parent = nullptr);
  void Show(const SongPlace& place);
  void Clear();  // the song stopped
  QLabel* Entry() const { return entry_; }
  QLabel* Time() const { return time_; }

 private:
  QLabel* entry_;
  QLabel* time_;
};
