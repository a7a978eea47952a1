#pragma once
// The players' view of the edited song: they read the grid and the
// pattern's tempo and compile the play list; what they show (the tempo that
// plays, the play buttons, the entry playing) goes to the window through
// the callbacks. The players never write the edited pattern.
#include <functional>
#include <optional>

#include "song/EditedSong.h"
#include "song/PlaybackHost.h"
#include "song/SongMap.h"

class SongPlaybackHost : public PlaybackHost {
 public:
  explicit SongPlaybackHost(EditedSong& song) : song_(song) {}

  std::function<void(double beatsPerMinute)> showBeatsPerMinute;
  std::function<void(PlayButton, bool enabled)> enablePlayButton;
  // The play list's selection moved: show it.
  std::function<void()> playListShown;
  // The song player reached a row: where in the song it is.
  std::function<void(const SongPlace&)> songPlaceShown;

  std::string Cell(int col, int row) const override { return song_.Grid().Cell(col, row); }
  int DelayPosition() const override { return song_.Values().tempoPosition; }
  void ShowBeatsPerMinute(double beatsPerMinute) override;
  void EnablePlayButton(PlayButton button, bool enabled) override;
  int PlayListCount() const override { return song_.List().Count(); }
  void SelectPlayListEntry(int index) override;
  void CompilePlayList(std::vector<std::string>& sequence) override;
  void ShowSongRow(std::int64_t position) override;
  // Where in the last compiled song a sequence position is; nothing when
  // no song was compiled.
  std::optional<SongPlace> PlaceAt(std::int64_t position) const;

 private:
  EditedSong& song_;
  SongMap map_;  // of the last compile, from the sequence's line mapStart_
  std::int64_t mapStart_ = 0;
};
