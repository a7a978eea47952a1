#include "song/CollectSong.h"

#include <fstream>
#include <system_error>
#include <vector>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/OutputRule.h"
#include "render/RenderProgress.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCopyBlock = 1 << 20;

struct Stopped {};

void RefuseUnlessEmpty(const fs::path& folder) {
  std::error_code error;
  if (!fs::exists(folder, error)) return;
  if (!fs::is_directory(folder, error))
    throw Exception(DisplayPath(folder) + " is not a folder: collect a song into an empty folder");
  if (!fs::is_empty(folder, error) || error)
    throw Exception("The folder " + DisplayPath(folder) +
                    " is not empty: collect a song into an empty folder");
}

// What was made, undone unless kept.
class Undo {
 public:
  ~Undo() {
    if (kept_) return;
    std::error_code ignored;
    for (auto at = made_.rbegin(); at != made_.rend(); ++at) fs::remove(*at, ignored);
  }
  void Made(const fs::path& path) { made_.push_back(path); }
  void Keep() { kept_ = true; }

 private:
  std::vector<fs::path> made_;  // in the order made: folders before their files
  bool kept_ = false;
};

void MakeFolder(const fs::path& folder, Undo& undo) {
  std::vector<fs::path> missing;
  std::error_code error;
  for (fs::path at = folder; !at.empty() && !fs::exists(at, error); at = at.parent_path()) {
    missing.insert(missing.begin(), at);
    if (at == at.parent_path()) break;
  }
  for (const auto& path : missing) {
    if (!fs::create_directory(path, error) && !fs::is_directory(path, error))
      throw EFCreateError(DisplayPath(folder));
    undo.Made(path);
  }
}

class Writer {
 public:
  Writer(RenderProgress& progress, Undo& undo) : progress_(progress), undo_(undo) {}

  void Write(const CollectItem& item, const fs::path& target) {
    progress_.Adding(item.name);
    const PartFile part(target);
    {
      std::ofstream out(part.Path(), std::ios::binary | std::ios::trunc);
      if (!out) throw EFCreateError(DisplayPath(target));
      if (item.bytes)
        Put(out, item.bytes->data(), item.bytes->size(), target);
      else
        Copy(item.source, out, target);
      out.close();
      if (!out) throw EFCreateError(DisplayPath(target));
    }
    part.Commit();
    undo_.Made(target);
  }

 private:
  void Copy(const fs::path& source, std::ofstream& out, const fs::path& target) {
    std::ifstream in(source, std::ios::binary);
    if (!in) throw EFOpenError(DisplayPath(source));
    std::vector<char> block(kCopyBlock);
    while (in) {
      in.read(block.data(), static_cast<std::streamsize>(block.size()));
      Put(out, block.data(), static_cast<std::size_t>(in.gcount()), target);
    }
    if (in.bad()) throw EReadError();
  }

  void Put(std::ofstream& out, const char* data, std::size_t size, const fs::path& target) {
    for (std::size_t at = 0; at < size; at += kCopyBlock) {
      if (progress_.Cancelled()) throw Stopped{};
      const std::size_t count = std::min(kCopyBlock, size - at);
      out.write(data + at, static_cast<std::streamsize>(count));
      if (!out) throw EFCreateError(DisplayPath(target));
      done_ += static_cast<std::int64_t>(count);
      progress_.Advance(done_);
    }
  }

  RenderProgress& progress_;
  Undo& undo_;
  std::int64_t done_ = 0;
};

std::int64_t TotalBytes(const CollectPlan& plan) {
  std::int64_t total = 0;
  std::error_code error;
  for (const auto& item : plan.items)
    total += item.bytes ? static_cast<std::int64_t>(item.bytes->size())
                        : static_cast<std::int64_t>(fs::file_size(item.source, error));
  return total;
}

}  // namespace

CollectResult CollectSong(const CollectInput& input, const fs::path& folder,
                          RenderProgress& progress) {
  // An empty or new folder replaces nothing, but the home's temp folder is
  // the program's.
  CheckOutput({input.home, {}}, folder);
  RefuseUnlessEmpty(folder);
  const CollectPlan plan = PlanCollect(input);
  if (!plan.missing.empty()) throw Exception(MissingFilesMessage(plan.missing));

  Undo undo;
  MakeFolder(folder, undo);
  CollectResult result;
  {
    const RenderProgressScope shown(progress, TotalBytes(plan));
    Writer writer(progress, undo);
    try {
      for (const auto& item : plan.items) writer.Write(item, folder / item.name);
    } catch (const Stopped&) {
      result.cancelled = true;
      return result;
    }
  }
  std::error_code error;
  if (!fs::create_directory(folder / "temp", error) && error)
    throw EFCreateError(DisplayPath(folder / "temp"));
  undo.Made(folder / "temp");
  undo.Keep();
  result.files = plan.items.size();
  return result;
}
