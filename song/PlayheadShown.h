#pragma once
// What the windows show of the step now sounding: the grid row that plays
// and, during the song, the play list entry playing.
#include <optional>

#include "song/Playhead.h"

class EditedSong;
class SongPlaybackHost;

struct PlayheadShown {
  int gridRow = -1;  // -1: no row of the grid plays
  int entry = -1;    // the play list entry playing, from 0; -1: none
  bool operator==(const PlayheadShown&) const = default;
};

// The pattern player plays the grid itself. The song plays its patterns'
// files: the grid shows the row only while it holds the entry's pattern as
// its file has it (the same name, nothing edited since it was read or saved).
PlayheadShown ShowPlayhead(const std::optional<PlayheadMark>& sounding,
                           const SongPlaybackHost& host, const EditedSong& song);
