#include "render/SongRender.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <system_error>

#include "common/Exception.h"
#include "common/Files.h"
#include "render/RenderProgress.h"
#include "render/wavaudio.h"
#include "render/wavaudioErrors.h"
#include "render/wavaudioFile.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kNoFrame = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kHeaderBytes = 44;

// The song being written beside its destination: header room, then the
// samples. Removed unless it was moved into place.
class PartFile {
 public:
  explicit PartFile(const fs::path& target) : path_(target) { path_ += ".part"; }
  ~PartFile() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;
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
  // Frame f of the song goes to frame f + shift of out.
  Mixdown(wavaudio::TWave& out, std::int32_t shift, const std::vector<InstrumentPass>& passes,
          RenderProgress& progress)
      : out_(out), shift_(shift), passes_(passes), progress_(progress), cursors_(passes.size(), 0) {
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
      StartWindowAt(out_, static_cast<std::int32_t>(start + shift_));
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
      out_.AddVoice(*hits[h].voice, hits[h].offset + shift_,
                    static_cast<std::int32_t>(start + shift_),
                    static_cast<std::int32_t>(stop + shift_));
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
  std::int32_t shift_;
  const std::vector<InstrumentPass>& passes_;
  RenderProgress& progress_;
  std::vector<std::size_t> cursors_;
  std::int64_t first_ = kNoFrame;
  std::int64_t end_ = 0;
  std::string shown_;
};

// The header of a 16-bit PCM file of the output's format, as the wave
// buffer writes it.
std::string Header(const wavaudio::TWaveFormat& format, std::uint32_t dataSize) {
  auto le32 = [](std::uint32_t v) {
    return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF),
                       char(v >> 24 & 0xFF)};
  };
  const auto record = format.ToBytes();
  return "RIFF" + le32(dataSize + 36) + "WAVE" + "fmt " + le32(wavaudio::kFormatRecordSize) +
         std::string(record.begin(), record.end()) + "data" + le32(dataSize);
}

// Writes the header over the room left for it; returns the song's frames.
void WriteHeader(const fs::path& path, const wavaudio::TWaveFormat& format) {
  wavaudio::WaveFile file(path, wavaudio::WaveFile::Mode::ReadWrite);
  const std::int64_t data = std::max<std::int64_t>(0, file.Size() - kHeaderBytes);
  // Sizes beyond what the header can state would give a broken file.
  if (data > std::int64_t(0xFFFFFFFFu) - 36) throw wavaudio::EWriteError();
  const std::string header = Header(format, static_cast<std::uint32_t>(data));
  file.WriteAt(0, header.data(), header.size());
  file.Close();
}

// Moves the finished file into place: renamed, or copied where the two lie
// on different file systems.
void MoveInto(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::rename(from, to, error);
  if (!error) return;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  fs::remove(from);
}

}  // namespace

RenderResult AssembleSong(const RenderInput& input, const Lines& sequence,
                          const std::vector<int>& used, const fs::path& destination,
                          RenderProgress& progress,
                          const std::function<void(const std::string&)>& onFallback) {
  auto out = std::make_unique<wavaudio::TWave>();
  out->Format.nSamplesPerSec = 44100;
  const std::vector<InstrumentPass> passes = PlanRender(input, sequence, used, *out);
  const wavaudio::TWaveFormat format = out->Format;
  const auto shift = static_cast<std::int32_t>(kHeaderBytes / format.nBlockAlign);

  const fs::path fallback = input.home / kRenderFallbackFile;
  auto tellFallback = [&] {
    onFallback(kRenderFallbackText + DisplayPath(fallback));
    std::error_code ignored;
    fs::remove(fallback, ignored);
  };
  RenderResult result;
  result.savedTo = destination;
  // The song is built in its own file beside the destination, behind room
  // for the header, so finishing it costs one rename and a good file there
  // is replaced only by a complete one.
  auto part = std::make_unique<PartFile>(destination);
  out->FileName = part->Path();
  try {
    out->SetUseFile(true);
  } catch (const std::exception&) {
    if (!onFallback) throw EFCreateError(DisplayPath(destination));
    tellFallback();
    result.outcome = RenderOutcome::SavedToFallback;
    result.savedTo = fallback;
    part = std::make_unique<PartFile>(fallback);
    out->FileName = part->Path();
    out->SetUseFile(true);
  }

  Mixdown mixdown(*out, shift, passes, progress);
  ProgressScope shown(progress, mixdown.Total());
  try {
    mixdown.Run();
  } catch (const Cancelled&) {
    result.outcome = RenderOutcome::Cancelled;
  }
  out->FlushWindow();
  result.frames = std::max(0, out->FrameCount() - shift);
  out.reset();  // closes the file
  WriteHeader(part->Path(), format);
  try {
    MoveInto(part->Path(), result.savedTo);
    return result;
  } catch (const std::exception&) {
    if (!onFallback || result.outcome != RenderOutcome::Saved)
      throw EFCreateError(DisplayPath(result.savedTo));
  }
  tellFallback();
  MoveInto(part->Path(), fallback);
  result.outcome = RenderOutcome::SavedToFallback;
  result.savedTo = fallback;
  return result;
}
