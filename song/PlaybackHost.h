#pragma once
// What the playback engine needs from the main window: the step grid, the
// pattern's tempo, the read-out, the play buttons and the play list.
#include <cstdint>
#include <string>
#include <vector>

// ToolButton1 ("Play pattern") and ToolButton7 ("Play, play list").
enum class PlayButton { Pattern, Song };

class PlaybackHost {
 public:
  virtual ~PlaybackHost() = default;

  // The grid cell's text; empty beyond the stored rows.
  virtual std::string Cell(int col, int row) const = 0;

  // The tempo position of the pattern being edited (what the tempo bar
  // Delay shows). The players never change it: a song plays its patterns'
  // own tempos and only shows them.
  virtual int DelayPosition() const = 0;
  // The figure under "BPM" (Label6): the tempo that plays.
  virtual void ShowBeatsPerMinute(double beatsPerMinute) = 0;

  virtual void EnablePlayButton(PlayButton button, bool enabled) = 0;

  virtual int PlayListCount() const = 0;
  // Selects a play list entry; an index out of range selects none.
  virtual void SelectPlayListEntry(int index) = 0;
  // Compiles the play list from its selected entry, appending to the
  // sequence. Raises the file's error when a pattern cannot be read.
  virtual void CompilePlayList(std::vector<std::string>& sequence) = 0;
  // The song player reached the step row at this position of the sequence.
  virtual void ShowSongRow(std::int64_t position) { (void)position; }
};
