#include "song/PlayheadShown.h"

#include "song/EditedSong.h"
#include "song/SongPlaybackHost.h"

namespace {

PlayheadShown SongRow(const SongPlace& place, const EditedSong& song) {
  PlayheadShown shown;
  const int entry = place.entry - 1;
  if (entry < 0 || entry >= song.List().Count()) return shown;
  shown.entry = entry;
  const PatternGrid& grid = song.Grid();
  const int row = PatternGrid::kFirstStepRow + place.step;
  if (song.List().Name(entry) == grid.Cell(0, 0) && !song.PatternUnsaved() && row < grid.RowCount())
    shown.gridRow = row;
  return shown;
}

}  // namespace

PlayheadShown ShowPlayhead(const std::optional<PlayheadMark>& sounding,
                           const SongPlaybackHost& host, const EditedSong& song) {
  if (!sounding) return {};
  if (sounding->kind == PlayheadMark::Kind::Pattern) {
    const auto row = sounding->where;
    if (row < PatternGrid::kFirstStepRow || row >= song.Grid().RowCount()) return {};
    return {static_cast<int>(row), -1};
  }
  if (sounding->kind != PlayheadMark::Kind::Song) return {};
  const auto place = host.PlaceAt(sounding->where);
  return place ? SongRow(*place, song) : PlayheadShown{};
}
