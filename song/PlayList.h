#pragma once
// The play list: pattern names in playing order, each with a check mark,
// and at most one selected entry. The same name may stand many times.
#include <string>
#include <vector>

struct PlayListEntry {
  std::string name;
  bool checked = false;
  bool operator==(const PlayListEntry&) const = default;
};

// The whole list as it stands, for undo: entries, marks and selection.
struct PlayListState {
  std::vector<PlayListEntry> entries;
  int selected = -1;
  bool operator==(const PlayListState&) const = default;
};

class PlayList {
 public:
  static constexpr int kNone = -1;

  const std::vector<PlayListEntry>& Entries() const { return entries_; }
  std::vector<std::string> Names() const;
  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& Name(int index) const { return entries_.at(index).name; }
  bool Contains(const std::string& name) const;

  // kNone when nothing is selected.
  int Selected() const { return selected_; }
  // An index outside the list selects nothing.
  void Select(int index);

  bool Checked(int index) const { return entries_.at(index).checked; }
  void SetChecked(int index, bool checked) { entries_.at(index).checked = checked; }

  void Append(const std::string& name);
  // Removing the selected entry leaves nothing selected; otherwise the
  // selection stays on its entry.
  void RemoveAt(int index);
  // Every entry equal to name; returns how many went.
  int RemoveAll(const std::string& name);
  // Walks from the first entry and removes each checked one.
  int RemoveChecked();
  // Exchanges two entries, check marks included; the selection is not moved.
  void Exchange(int a, int b);
  void Clear();
  // Unchecked entries, nothing selected.
  void SetNames(const std::vector<std::string>& names);

  // Replaces count entries from index at with others; the selection is the caller's.
  void Splice(int at, int count, const std::vector<PlayListEntry>& entries);

  PlayListState State() const { return {entries_, selected_}; }
  void Restore(const PlayListState& state);

 private:
  std::vector<PlayListEntry> entries_;
  int selected_ = kNone;
};
