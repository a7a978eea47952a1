#include "song/Compile.h"

#include "common/Exception.h"
#include "pattern/PatternGrid.h"
#include "pattern/PatternName.h"
#include "song/PlayList.h"

namespace {

void CheckRoom(int64_t total) {
  if (total > kMaxSequenceLines) throw Exception("Out of memory");
}

// One pattern block: header, tempo, and rows 2..L+1 of the grid per loop.
void AppendBlock(const PatternGrid& grid, const PatternFileData& data, int64_t before, Lines& out) {
  const int64_t rowLines = int64_t{data.steps} * PatternGrid::kChannels;
  CheckRoom(before + static_cast<int64_t>(out.size()) + 2 + rowLines * data.values.loops);
  out.push_back(kPatternHeader);
  out.push_back(std::to_string(data.values.tempoPosition));
  for (int loop = 0; loop < data.values.loops; ++loop)
    for (int row = PatternGrid::kFirstStepRow; row < PatternGrid::kFirstStepRow + data.steps; ++row)
      for (int col = 1; col <= PatternGrid::kChannels; ++col) out.push_back(grid.Cell(col, row));
}

}  // namespace

std::optional<PatternValues> CompilePlaySequence(const std::filesystem::path& home,
                                                 PlayList& playList, PatternGrid& grid,
                                                 Lines& sequence) {
  const int start = playList.Selected() == PlayList::kNone ? 0 : playList.Selected();
  // Built aside and taken over only when every entry compiled.
  PatternGrid work = grid;
  Lines out;
  std::optional<PatternValues> last;
  const int64_t before = static_cast<int64_t>(sequence.size());
  for (int k = start; k < playList.Count(); ++k) {
    const auto data = ReadPatternFile(PatternPathForReading(home, playList.Name(k)), false);
    PutPatternCells(data, work);
    AppendBlock(work, data, before, out);
    last = data.values;
  }
  CheckRoom(before + static_cast<int64_t>(out.size()) + 1);
  out.push_back(kEndOfSong);
  sequence.insert(sequence.end(), std::make_move_iterator(out.begin()),
                  std::make_move_iterator(out.end()));
  if (last) grid = std::move(work);
  playList.Select(start - 1);
  return last;
}
