#include "render/SongRender.h"

#include <algorithm>
#include <limits>
#include <system_error>

#include "common/Exception.h"
#include "common/Files.h"
#include "render/RenderProgress.h"
#include "render/wavaudio.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kNoFrame = std::numeric_limits<std::int64_t>::max();

// Removes the backing file however the render ends.
class BackingFile {
 public:
  explicit BackingFile(fs::path path) : path_(std::move(path)) {}
  ~BackingFile() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

// Tells the watcher the render is over however it ends.
class ProgressScope {
 public:
  ProgressScope(RenderProgress& progress, std::int64_t total) : progress_(progress) {
    progress_.Begin(total);
  }
  ~ProgressScope() { progress_.End(); }

 private:
  RenderProgress& progress_;
};

struct Cancelled {};

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
  Mixdown(wavaudio::TWave& out, const std::vector<InstrumentPass>& passes, RenderProgress& progress)
      : out_(out), passes_(passes), progress_(progress), cursors_(passes.size(), 0) {
    for (const auto& pass : passes_)
      for (const auto& hit : pass.hits)
        if (hit.end > hit.offset) {
          first_ = std::min<std::int64_t>(first_, hit.offset);
          end_ = std::max<std::int64_t>(end_, hit.end);
        }
  }

  std::int64_t Total() const {
    return first_ < end_ ? (end_ - first_) * std::int64_t(passes_.size()) : 0;
  }

  void Run() {
    for (std::int64_t start = first_; start < end_;) {
      const std::int64_t stop = std::min<std::int64_t>(start + wavaudio::kWindowFrames, end_);
      StartWindowAt(out_, static_cast<std::int32_t>(start));
      for (std::size_t k = 0; k < passes_.size(); ++k) {
        MixPassInto(k, start, stop);
        progress_.Advance((start - first_) * std::int64_t(passes_.size()) +
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
      out_.AddVoice(*hits[h].voice, hits[h].offset, static_cast<std::int32_t>(start),
                    static_cast<std::int32_t>(stop));
    }
  }

  // The first frame from stop on that a hit reaches.
  std::int64_t NextStart(std::int64_t stop) const {
    std::int64_t next = end_;
    for (std::size_t k = 0; k < passes_.size(); ++k) {
      const auto& hits = passes_[k].hits;
      for (std::size_t h = cursors_[k]; h < hits.size() && hits[h].offset < next; ++h)
        if (hits[h].end > stop && hits[h].end > hits[h].offset)
          next = std::min<std::int64_t>(next, std::max<std::int64_t>(hits[h].offset, stop));
    }
    return next;
  }

  wavaudio::TWave& out_;
  const std::vector<InstrumentPass>& passes_;
  RenderProgress& progress_;
  std::vector<std::size_t> cursors_;
  std::int64_t first_ = kNoFrame;
  std::int64_t end_ = 0;
  std::string shown_;
};

}  // namespace

RenderResult AssembleSong(const RenderInput& input, const Lines& sequence,
                          const std::vector<int>& used, const fs::path& destination,
                          RenderProgress& progress,
                          const std::function<void(const std::string&)>& onFallback) {
  BackingFile backing(input.home / kRenderBackingFile);
  RenderResult result;
  {
    wavaudio::TWave out;
    out.FileName = backing.Path();
    out.SetUseFile(true);
    out.Format.nSamplesPerSec = 44100;
    const std::vector<InstrumentPass> passes = PlanRender(input, sequence, used, out);
    Mixdown mixdown(out, passes, progress);
    ProgressScope shown(progress, mixdown.Total());
    try {
      mixdown.Run();
    } catch (const Cancelled&) {
      result.outcome = RenderOutcome::Cancelled;
    }
    out.FlushWindow();
    result.frames = out.FrameCount();
    result.savedTo = destination;
    if (result.outcome == RenderOutcome::Cancelled || !onFallback) {
      out.SaveToFile(destination);
      return result;
    }
    try {
      out.SaveToFile(destination);
      return result;
    } catch (const std::exception&) {
    }
    const fs::path fallback = input.home / kRenderFallbackFile;
    onFallback(kRenderFallbackText + DisplayPath(fallback));
    std::error_code ignored;
    fs::remove(fallback, ignored);
    out.SaveToFile(fallback);
    result.outcome = RenderOutcome::SavedToFallback;
    result.savedTo = fallback;
  }
  return result;
}
