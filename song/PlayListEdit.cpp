#include "song/PlayListEdit.h"

#include "pattern/PatternLibrary.h"
#include "song/PlayList.h"

bool AddToPlayList(const PatternLibrary& library, int libraryIndex, PlayList& playList) {
  const auto& entries = library.Entries();
  if (libraryIndex < 0 || libraryIndex >= static_cast<int>(entries.size())) return false;
  if (entries[libraryIndex] == PatternLibrary::kBlank) return false;
  playList.Append(entries[libraryIndex]);
  return true;
}

bool RemoveSelectedEntry(PlayList& playList, PatternLibrary& library) {
  const int selected = playList.Selected();
  if (selected == PlayList::kNone) return false;
  const std::string name = playList.Name(selected);
  if (!library.Contains(name)) {
    if (name == PatternLibrary::kBlank) return false;
    library.Add(name);
  }
  playList.RemoveAt(selected);
  return true;
}

void ClearPlayList(PlayList& playList, const std::function<void()>& songPlayerCleared) {
  playList.Clear();
  if (songPlayerCleared) songPlayerCleared();
}
