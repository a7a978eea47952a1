#pragma once
// What the playback engine needs from the main window: the step grid, the
// tempo bar, its read-out, the play buttons and the play list.
#include <string>
#include <vector>

// ToolButton1 ("Play pattern") and ToolButton7 ("Play, play list").
enum class PlayButton { Pattern, Song };

class PlaybackHost {
 public:
  virtual ~PlaybackHost() = default;

  // The grid cell's text; empty beyond the stored rows.
  virtual std::string Cell(int col, int row) const = 0;

  // The tempo bar Delay's position.
  virtual int DelayPosition() const = 0;
  // Sets the position from the program: clamped to 1..140, and not a user
  // move, so the tempo handler does not run.
  virtual void SetDelayPosition(int position) = 0;
  // The figure under "BPM" (Label6).
  virtual void ShowBeatsPerMinute(int beatsPerMinute) = 0;

  virtual void EnablePlayButton(PlayButton button, bool enabled) = 0;

  virtual int PlayListCount() const = 0;
  // Selects a play list entry; an index out of range selects none.
  virtual void SelectPlayListEntry(int index) = 0;
  // Compiles the play list from its selected entry, appending to the
  // sequence. Raises the file's error when a pattern cannot be read.
  virtual void CompilePlayList(std::vector<std::string>& sequence) = 0;
};
