#include "song/Compile.h"

#include "common/Exception.h"
#include "pattern/PatternGrid.h"
#include "pattern/PatternName.h"
#include "song/PlayList.h"

namespace {

void CheckRoom(int64_t total) {
  if (total > kMaxSequenceLines) throw Exception("Out of memory");
}

// One pattern block: header, tempo, and the cells of step rows 2..L+1 per loop.
void AppendBlock(const PatternFileData& data, int64_t before, Lines& out) {
  const int64_t rowLines = int64_t{data.steps} * PatternGrid::kChannels;
  CheckRoom(before + static_cast<int64_t>(out.size()) + 2 + rowLines * data.values.loops);
  out.push_back(kPatternHeader);
  out.push_back(std::to_string(data.values.tempoPosition));
  for (int loop = 0; loop < data.values.loops; ++loop)
    for (int row = PatternGrid::kFirstStepRow; row < PatternGrid::kFirstStepRow + data.steps; ++row)
      for (int col = 1; col <= PatternGrid::kChannels; ++col)
        out.push_back(data.cells[static_cast<size_t>(row) * kPatternColumns + col]);
}

}  // namespace

std::optional<PatternValues> CompilePlaySequence(const std::filesystem::path& home,
                                                 PlayList& playList, Lines& sequence) {
  const int start = playList.Selected() == PlayList::kNone ? 0 : playList.Selected();
  // Built aside and taken over only when every entry compiled.
  Lines out;
  std::optional<PatternValues> last;
  const int64_t before = static_cast<int64_t>(sequence.size());
  for (int k = start; k < playList.Count(); ++k) {
    const auto data = ReadPatternFile(PatternPathForReading(home, playList.Name(k)), false);
    AppendBlock(data, before, out);
    last = data.values;
  }
  CheckRoom(before + static_cast<int64_t>(out.size()) + 1);
  out.push_back(kEndOfSong);
  sequence.insert(sequence.end(), std::make_move_iterator(out.begin()),
                  std::make_move_iterator(out.end()));
  playList.Select(start - 1);
  return last;
}
