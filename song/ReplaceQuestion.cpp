#include "song/ReplaceQuestion.h"

#include "song/EditedSong.h"

namespace {
// Ask about one part: true when it may be replaced.
bool Settle(const std::string& question, Prompts& prompts, const std::function<bool()>& save) {
  switch (prompts.Message(question, "Korvanto", PromptButtons::SaveDiscardCancel)) {
    case PromptAnswer::Save:
      return save && save();
    case PromptAnswer::Discard:
    case PromptAnswer::No:
      return true;
    default:
      return false;
  }
}
}  // namespace

std::string PatternQuestion(const std::string& name) {
  if (name.empty()) return "Save changes to the pattern in the grid?";
  return "Save changes to pattern '" + name + "'?";
}

std::string ReplacePatternQuestion(const std::string& name) {
  return "A pattern named '" + name + "' exists. Replace it with the pattern in the grid?";
}

std::string SongQuestion(const EditedSong& song) {
  if (!song.SongFile()) return "Save changes to the new song?";
  return "Save changes to '" + song.SongFile()->filename().string() + "'?";
}

bool ReadyToReplace(EditedSong& song, Replacing what, Prompts& prompts, const SaveSteps& save) {
  if (what != Replacing::Song && song.PatternUnsaved() &&
      !Settle(PatternQuestion(song.Grid().Cell(0, 0)), prompts, save.pattern))
    return false;
  if (what != Replacing::Pattern && song.SongUnsaved() &&
      !Settle(SongQuestion(song), prompts, save.song))
    return false;
  return true;
}
