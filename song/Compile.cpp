#include "song/Compile.h"

#include <charconv>

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

// The "Time:" value of the header, cell (4, 0).
int TimeOf(const PatternFileData& data) {
  const std::string& text = data.cells.size() > 4 ? data.cells[4] : std::string();
  int time = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), time);
  return error == std::errc() && end == text.data() + text.size() && time > 0 ? time : 4;
}

}  // namespace

std::optional<PatternValues> CompilePlaySequence(const std::filesystem::path& home,
                                                 PlayList& playList, Lines& sequence,
                                                 std::vector<PatternMeter>* meters) {
  const int start = playList.Selected() == PlayList::kNone ? 0 : playList.Selected();
  // Built aside and taken over only when every entry compiled.
  Lines out;
  std::vector<PatternMeter> blocks;
  std::int64_t rows = 0;
  std::optional<PatternValues> last;
  const int64_t before = static_cast<int64_t>(sequence.size());
  for (int k = start; k < playList.Count(); ++k) {
    const auto data = ReadPatternFile(PatternPathForReading(home, playList.Name(k)), false);
    AppendBlock(data, before, out);
    blocks.push_back({rows, data.steps, TimeOf(data)});
    rows += std::int64_t{data.steps} * data.values.loops;
    last = data.values;
  }
  CheckRoom(before + static_cast<int64_t>(out.size()) + 1);
  out.push_back(kEndOfSong);
  sequence.insert(sequence.end(), std::make_move_iterator(out.begin()),
                  std::make_move_iterator(out.end()));
  playList.Select(start - 1);
  if (meters) *meters = std::move(blocks);
  return last;
}
