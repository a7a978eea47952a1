#pragma once
// The one question before work is replaced: every action that replaces the
// pattern being edited or the song (a play list entry loaded, New Song, Open
// Song, recovered work restored, closing, a kit that silences cells) asks
// here, for each part that differs from its file.
#include <functional>
#include <string>

#include "common/Prompts.h"

class EditedSong;

enum class Replacing { Pattern, Song, Both };

// Each saves its part and says whether it was saved.
struct SaveSteps {
  std::function<bool()> pattern;
  std::function<bool()> song;
};

// "Save changes to pattern 'Rock'?" / "Save changes to 'Demo.sng'?" with
// Save, Discard and Cancel. Save that does not save, or Cancel, stops:
// false, and nothing was replaced. True: the action goes on.
bool ReadyToReplace(EditedSong& song, Replacing what, Prompts& prompts, const SaveSteps& save);

std::string PatternQuestion(const std::string& name);
// Saving the grid under the name of another pattern file.
std::string ReplacePatternQuestion(const std::string& name);
std::string SongQuestion(const EditedSong& song);
