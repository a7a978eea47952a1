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
  const size_t start = sequence.size();
  std::vector<PatternMeter> meters;
  song_.CompileInto(sequence, &meters);
  std::vector<std::string> names;
  for (int k = 0; k < song_.List().Count(); ++k) names.push_back(song_.List().Name(k));
  // The compile leaves the entry before the first compiled one selected.
  mapStart_ = static_cast<std::int64_t>(start);
  map_ = SongMap(std::span(sequence).subspan(start), meters, song_.List().Selected() + 1,
                 std::move(names));
  // A transport we are the timebase of counts the song's bars from here.
  PublishSongTimeline(map_.Timeline());
  if (playListShown) playListShown();
}

void SongPlaybackHost::ShowSongRow(std::int64_t position) {
  if (songPlaceShown && !map_.Empty()) songPlaceShown(map_.At(position - mapStart_));
}

std::optional<SongPlace> SongPlaybackHost::PlaceAt(std::int64_t position) const {
  if (map_.Empty()) return std::nullopt;
  return map_.At(position - mapStart_);
}
