#include "song/PlayList.h"

#include <algorithm>
#include <utility>

std::vector<std::string> PlayList::Names() const {
  std::vector<std::string> names;
  names.reserve(entries_.size());
  for (const auto& entry : entries_) names.push_back(entry.name);
  return names;
}

bool PlayList::Contains(const std::string& name) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const PlayListEntry& entry) { return entry.name == name; });
}

void PlayList::Select(int index) {
  selected_ = index >= 0 && index < Count() ? index : kNone;
}

void PlayList::Append(const std::string& name) {
  entries_.push_back({name, false});
}

void PlayList::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return;
  entries_.erase(entries_.begin() + index);
  if (selected_ == index)
    selected_ = kNone;
  else if (selected_ > index)
    --selected_;
}

int PlayList::RemoveAll(const std::string& name) {
  int removed = 0;
  for (int i = 0; i < Count();) {
    if (entries_[i].name == name) {
      RemoveAt(i);
      ++removed;
    } else {
      ++i;
    }
  }
  return removed;
}

int PlayList::RemoveChecked() {
  int removed = 0;
  // The entry that moves into a removed one's place is looked at next.
  for (int i = 0; i < Count();) {
    if (entries_[i].checked) {
      RemoveAt(i);
      ++removed;
    } else {
      ++i;
    }
  }
  return removed;
}

void PlayList::Exchange(int a, int b) {
  std::swap(entries_.at(a), entries_.at(b));
}

void PlayList::Clear() {
  entries_.clear();
  selected_ = kNone;
}

void PlayList::Splice(int at, int count, const std::vector<PlayListEntry>& entries) {
  const auto first = entries_.begin() + at;
  entries_.erase(first, first + count);
  entries_.insert(entries_.begin() + at, entries.begin(), entries.end());
}

void PlayList::Restore(const PlayListState& state) {
  entries_ = state.entries;
  Select(state.selected);
}

void PlayList::SetNames(const std::vector<std::string>& names) {
  entries_.clear();
  for (const auto& name : names) entries_.push_back({name, false});
  selected_ = kNone;
}
