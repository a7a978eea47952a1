#include "render/SongMix.h"

#include <algorithm>
#include <limits>
#include <system_error>

#include "render/RenderProgress.h"
#include "render/wavaudio.h"
#include "render/wavaudioErrors.h"
#include "render/wavaudioFile.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kNoFrame = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kHeaderBytes = wavaudio::kWaveHeaderSize;

struct Cancelled {};

// The frames hits reach: [first, end).
struct Span {
  std::int64_t first = kNoFrame;
  std::int64_t end = 0;
  bool Empty() const { return first >= end; }
};

Span SpanOf(std::span<const InstrumentPass> passes) {
  Span span;
  for (const auto& pass : passes)
    for (const auto& hit : pass.hits)
      if (hit.end > hit.offset) {
        span.first = std::min<std::int64_t>(span.first, hit.offset);
        span.end = std::max<std::int64_t>(span.end, hit.end);
      }
  return span;
}

// The window starts at frame; frames between the end of the song so far and
// it are written as silence first, as a mix there would do.
void StartWindowAt(wavaudio::TWave& out, std::int32_t frame) {
  out.FlushWindow();
  if (out.FrameCount() < frame)
    for (int c = 0; c < out.Format.nChannels; ++c) out.SetSample(c, frame, 0);
  out.PlaceWindow(frame);
}

class Mixdown {
 public:
  // Frame f of the song goes to frame f + shift of out.
  Mixdown(wavaudio::TWave& out, std::int32_t shift, std::span<const InstrumentPass> passes,
          RenderProgress& progress, std::int64_t progressBase)
      : out_(out),
        shift_(shift),
        passes_(passes),
        progress_(progress),
        base_(progressBase),
        cursors_(passes.size(), 0),
        span_(SpanOf(passes)) {}

  // Whether any hit was mixed: a song stopped before that has no frame.
  bool MixedAny() const { return mixedAny_; }

  void Run() {
    for (std::int64_t start = span_.first; start < span_.end;) {
      const std::int64_t stop = std::min<std::int64_t>(start + wavaudio::kWindowFrames, span_.end);
      StartWindowAt(out_, static_cast<std::int32_t>(start + shift_));
      for (std::size_t k = 0; k < passes_.size(); ++k) {
        MixPassInto(k, start, stop);
        progress_.Advance(base_ + (start - span_.first) * std::int64_t(passes_.size()) +
                          (stop - start) * std::int64_t(k + 1));
      }
      start = NextStart(stop);
    }
  }

 private:
  void MixPassInto(std::size_t k, std::int64_t start, std::int64_t stop) {
    const auto& hits = passes_[k].hits;
    std::size_t& cursor = cursors_[k];
    while (cursor < hits.size() && hits[cursor].end <= start) ++cursor;
    bool told = false;
    for (std::size_t h = cursor; h < hits.size() && hits[h].offset < stop; ++h) {
      if (hits[h].end <= start) continue;
      if (!told && passes_[k].label != shown_) {
        shown_ = passes_[k].label;
        progress_.Adding(shown_);
      }
      told = true;
      if (progress_.Cancelled()) throw Cancelled{};
      mixedAny_ = true;
      out_.AddVoice(*hits[h].voice, hits[h].offset + shift_,
                    static_cast<std::int32_t>(start + shift_),
                    static_cast<std::int32_t>(stop + shift_));
    }
  }

  // The first frame from stop on that a hit reaches.
  std::int64_t NextStart(std::int64_t stop) const {
    std::int64_t next = span_.end;
    for (std::size_t k = 0; k < passes_.size(); ++k) {
      const auto& hits = passes_[k].hits;
      for (std::size_t h = cursors_[k]; h < hits.size() && hits[h].offset < next; ++h)
        if (hits[h].end > stop && hits[h].end > hits[h].offset)
          next = std::min<std::int64_t>(next, std::max<std::int64_t>(hits[h].offset, stop));
    }
    return next;
  }

  wavaudio::TWave& out_;
  std::int32_t shift_;
  std::span<const InstrumentPass> passes_;
  RenderProgress& progress_;
  std::int64_t base_;
  std::vector<std::size_t> cursors_;
  Span span_;
  std::string shown_;
  bool mixedAny_ = false;
};

// Writes the header over the room left for it.
void WriteHeader(const fs::path& path, const wavaudio::TWaveFormat& format) {
  wavaudio::WaveFile file(path, wavaudio::WaveFile::Mode::ReadWrite);
  const std::int64_t data = std::max<std::int64_t>(0, file.Size() - kHeaderBytes);
  // Sizes beyond what the header can state would give a broken file.
  if (data > std::int64_t(0xFFFFFFFFu) - 36) throw wavaudio::EWriteError();
  const auto header = wavaudio::WaveHeader(format, static_cast<std::uint32_t>(data));
  file.WriteAt(0, header.data(), header.size());
  file.Close();
}

}  // namespace

std::int64_t MixWorkOf(std::span<const InstrumentPass> passes) {
  const Span span = SpanOf(passes);
  return span.Empty() ? 0 : (span.end - span.first) * std::int64_t(passes.size());
}

std::int32_t SongEndOf(std::span<const InstrumentPass> passes) {
  return static_cast<std::int32_t>(SpanOf(passes).end);
}

MixOutcome MixToFile(std::unique_ptr<wavaudio::TWave> out, std::span<const InstrumentPass> passes,
                     std::int32_t minFrames, RenderProgress& progress, std::int64_t progressBase) {
  const wavaudio::TWaveFormat format = out->Format;
  const auto shift = static_cast<std::int32_t>(kHeaderBytes / format.nBlockAlign);
  MixOutcome outcome;
  Mixdown mixdown(*out, shift, passes, progress, progressBase);
  try {
    mixdown.Run();
  } catch (const Cancelled&) {
    outcome.cancelled = true;
  }
  out->FlushWindow();
  if (!outcome.cancelled && out->FrameCount() - shift < minFrames) {
    for (int c = 0; c < format.nChannels; ++c) out->SetSample(c, shift + minFrames - 1, 0);
    out->FlushWindow();
  }
  outcome.frames = std::max(0, out->FrameCount() - shift);
  const fs::path path = out->FileName;
  out.reset();  // closes the file
  if (outcome.cancelled && !mixdown.MixedAny()) {
    // The silence placed before the first window goes with it.
    outcome.frames = 0;
    std::error_code error;
    fs::resize_file(path, kHeaderBytes, error);
    if (error) throw wavaudio::EWriteError(error.value());
  }
  WriteHeader(path, format);
  return outcome;
}
