#pragma once
// The song: the pattern library and the play list with their buttons. It
// shows the edited song's lists and tells what the user did; a move of the
// play list's highlight and its tick marks go to the song at once.
#include <QWidget>
#include <string>
#include <vector>

#include "song/PlayList.h"
#include "song/UpDownArrows.h"

class EditedSong;
class QListWidget;
class QToolButton;

class SongPanel : public QWidget {
  Q_OBJECT
 public:
  explicit SongPanel(EditedSong& song, QWidget* parent = nullptr);

  void ShowLibrary();
  void ShowPlayList();
  // Marks the entry playing (-1: none), kept in view; the highlight stays.
  void ShowEntryPlaying(int index);
  int EntryPlaying() const { return entryPlaying_; }

  QListWidget* MusicLib = nullptr;
  QListWidget* SongList = nullptr;
  QToolButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *LibBin = nullptr, *SongBin = nullptr,
              *UpDownUp = nullptr, *UpDownDown = nullptr;

 Q_SIGNALS:
  void AddPressed();
  void RemovePressed();
  void DeletePatternPressed();
  void EntryPressed(int row);
  void EntryHighlighted(int row);
  void EntryTicked(int row, bool ticked);
  void ArrowPressed(Arrow arrow);
  void RemoveTickedPressed();

 private:
  QWidget* BuildLibrary();
  QWidget* BuildPlayList();

  EditedSong& song_;
  // What the lists show: a refresh that would show the same leaves them be
  // (their scroll position and the library's highlight stay).
  std::vector<std::string> shownLibrary_;
  PlayListState shownList_{{}, -2};
  int entryPlaying_ = -1;
  void PaintEntryPlaying(bool playing);
};
