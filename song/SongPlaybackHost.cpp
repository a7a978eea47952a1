#include "song/SongPlaybackHost.h"

#include "song/Compile.h"

void SongPlaybackHost::ShowBeatsPerMinute(double beatsPerMinute) {
  if (showBeatsPerMinute) showBeatsPerMinute(beatsPerMinute);
}

void SongPlaybackHost::EnablePlayButton(PlayButton button, bool enabled) {
  if (enablePlayButton) enablePlayButton(button, enabled);
}

void SongPlaybackHost::SelectPlayListEntry(int index) {
  song_.SelectEntry(index);
  if (playListShown) playListShown();
}

void SongPlaybackHost::CompilePlayList(std::vector<std::string>& sequence) {
  song_.CompileInto(sequence);
  if (playListShown) playListShown();
}
