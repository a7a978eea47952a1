#pragma once
// The play list's buttons: add from the library, remove the selected entry,
// remove the checked ones, clear.
#include <functional>

class PatternLibrary;
class PlayList;

// The library entry at libraryIndex goes to the end of the play list.
// Nothing for "<Blank>" or an index outside the library.
bool AddToPlayList(const PatternLibrary& library, int libraryIndex, PlayList& playList);

// Removes the selected entry. A name the library lacks (one from a song
// file) goes back into the library first; a selected "<Blank>" stays.
bool RemoveSelectedEntry(PlayList& playList, PatternLibrary& library);

// Empties the play list, then tells the song player (it stops, empties the
// play sequence and enables "Play, play list"; the pattern player plays on).
void ClearPlayList(PlayList& playList, const std::function<void()>& songPlayerCleared);
