#include "song/SongSettings.h"

#include <algorithm>
#include <sstream>

#include "common/Exception.h"

namespace {

constexpr const char* kGrooveMark = "<*groove ";
constexpr const char* kMixMark = "<*mix ";

// The whitespace-separated words of a line after its mark; the last takes
// the rest of the line (a name may hold spaces).
std::vector<std::string> Words(const std::string& rest, size_t count) {
  std::vector<std::string> words;
  size_t at = 0;
  while (words.size() + 1 < count && at < rest.size()) {
    const size_t end = rest.find(' ', at);
    words.push_back(rest.substr(at, end - at));
    at = end == std::string::npos ? rest.size() : end + 1;
  }
  words.push_back(at < rest.size() ? rest.substr(at) : "");
  return words;
}

// index: the line's, counted from 0 over the whole file.
std::int64_t Number(const std::string& word, std::int64_t index) {
  try {
    return ParseWholeNumber(word);
  } catch (const EConvertError& error) {
    throw ELineError(index + 1, error.Message());
  }
}

int Within(std::int64_t value, int least, int most) {
  return static_cast<int>(std::clamp<std::int64_t>(value, least, most));
}

}  // namespace

bool SongSettings::IsPlain() const {
  return groove.IsPlain() && std::all_of(mix.begin(), mix.end(),
                                         [](const auto& entry) { return entry.second.IsPlain(); });
}

Lines SongSettingsLines(const SongSettings& settings) {
  Lines lines;
  const Groove& g = settings.groove;
  if (!g.IsPlain())
    lines.push_back(kGrooveMark + std::to_string(g.swingPercent) + " " +
                    std::to_string(g.timingMs) + " " + std::to_string(g.loudnessTenthDb) + " " +
                    std::to_string(g.seed));
  for (const auto& [name, mix] : settings.mix)
    if (!mix.IsPlain())
      lines.push_back(kMixMark + std::to_string(mix.levelCentiDb) + " " + (mix.mute ? "1" : "0") +
                      " " + (mix.solo ? "1" : "0") + " " + name);
  return lines;
}

SongSettings ParseSongSettings(const Lines& lines, std::int64_t firstLine) {
  SongSettings settings;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::int64_t line = firstLine + static_cast<std::int64_t>(i);
    const std::string& text = lines[i];
    if (text.starts_with(kGrooveMark)) {
      const auto w = Words(text.substr(std::string(kGrooveMark).size()), 4);
      Groove& g = settings.groove;
      g.swingPercent = Within(Number(w[0], line), 0, Groove::kMostSwing);
      g.timingMs = Within(Number(w[1], line), 0, Groove::kMostTimingMs);
      g.loudnessTenthDb = Within(Number(w[2], line), 0, Groove::kMostLoudnessTenthDb);
      g.seed = static_cast<std::uint32_t>(Within(Number(w[3], line), 0, Groove::kMostSeed));
    } else if (text.starts_with(kMixMark)) {
      const auto w = Words(text.substr(std::string(kMixMark).size()), 4);
      InstrumentMix mix;
      mix.levelCentiDb =
          Within(Number(w[0], line), InstrumentMix::kSilent, InstrumentMix::kMostLevel);
      mix.mute = Number(w[1], line) != 0;
      mix.solo = Number(w[2], line) != 0;
      if (!w[3].empty() && !mix.IsPlain()) settings.mix[w[3]] = mix;
    }
  }
  return settings;
}
