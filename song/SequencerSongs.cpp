// TSequence: the song's handlers: pattern files, the library, the play list
// and song files. Each forwards the user's action to the edited song.
#include <QListWidget>
#include <QToolButton>

#include "common/QtPrompts.h"
#include "pattern/PanelParts.h"
#include "pattern/PatternLibrary.h"
#include "pattern/PatternName.h"
#include "pattern/PatternStore.h"
#include "pattern/Sequencer.h"
#include "song/PlayListEdit.h"
#include "song/SongMenu.h"

void TSequence::SetSampleEditor(SampleEditor* editor) {
  slotAccess_ = editor ? std::make_unique<EditorSlotAccess>(*editor) : nullptr;
  song_.SetSlots(slotAccess_.get());
  // What a new program's slots hold is no unsaved work.
  if (editor && !song_.SongFile() && song_.List().Count() == 0) song_.SongMet(std::nullopt);
}

// "Save pattern": a new pattern also joins the play list, a step of its own.
// Another pattern's file is replaced only after asking.
void TSequence::BitBtn6Click() {
  if (song_.Grid().Cell(0, 0).empty() && !AskPatternName()) return;
  const std::string name = song_.Grid().Cell(0, 0);
  if (song_.OtherPatternsFile(name) &&
      AppPrompts().Message(ReplacePatternQuestion(name), "Korvanto", PromptButtons::YesNo) !=
          PromptAnswer::Yes)
    return;
  auto core = song_.Core(AppPrompts());
  bool saved = false;
  SongChange change = song_.EditList(
      [&](PlayList&, PatternLibrary&) { saved = SavePattern(core, song_.Values()); });
  if (saved) song_.PatternMet();
  KeepRecoveryFiles();  // the copies follow the save at once
  Push("Add " + Latin1(song_.Grid().Cell(0, 0)) + " to the play list", std::move(change));
}

// "Name of pattern?" with a text field: the typed name names the pattern, a
// step of its own; a name no file can have is refused with the reason and
// asked again. False when the user gave no name.
bool TSequence::AskPatternName() {
  std::string question = kNameQuestion;
  for (;;) {
    const auto typed = AppPrompts().AskText(question, kNameCaption, "");
    if (!typed || typed->empty()) return false;
    if (const std::string refusal = PatternNameRefusal(*typed); !refusal.empty()) {
      question = refusal + "\n" + kNameQuestion;
      continue;
    }
    Push("Rename pattern", song_.EditGrid([&](PatternGrid& grid) { grid.SetName(*typed); }));
    return true;
  }
}

// The bin under the library: the pattern's file and its entries go.
void TSequence::LibBinClick() {
  const auto& entries = song_.Library().Entries();
  const int row = MusicLib->currentRow();
  if (row < 1 || row >= static_cast<int>(entries.size())) return;
  const std::string name = entries[row];
  if (AppPrompts().Message(kDeleteQuestion, kDeleteCaption, PromptButtons::OkCancel) !=
      PromptAnswer::Ok)
    return;
  Push("Delete pattern " + Latin1(name), song_.DeletePattern(name));
}

// A double click in the library, or the right arrow: the pattern joins the list.
void TSequence::MusicLibDblClick() {
  const int row = MusicLib->currentRow();
  bool added = false;
  SongChange change = song_.EditList(
      [&](PlayList& list, PatternLibrary& library) { added = AddToPlayList(library, row, list); });
  if (added) Push("Add " + Latin1(song_.Library().Entries()[row]) + " to the play list", change);
}

// The left arrow: the selected entry leaves the list.
void TSequence::BitBtn2Click() {
  const int selected = song_.List().Selected();
  const QString name = selected >= 0 ? Latin1(song_.List().Name(selected)) : "";
  Push("Remove " + name + " from the play list",
       song_.EditList(
           [](PlayList& list, PatternLibrary& library) { RemoveSelectedEntry(list, library); }));
}

// The up and down arrows beside the play list.
void TSequence::UpDown1Click(Arrow arrow) {
  SongChange change = song_.EditList(
      [&](PlayList& list, PatternLibrary&) { PressPlayListArrow(upDown_, list, arrow); });
  const int moved = song_.List().Selected();
  if (moved < 0) return;
  Push(QString("Move %1 %2")
           .arg(Latin1(song_.List().Name(moved)), arrow == Arrow::Up ? "up" : "down"),
       std::move(change));
}

// The bin under the play list: the ticked entries go.
void TSequence::SongBinClick() {
  Push("Remove ticked entries",
       song_.EditList([](PlayList& list, PatternLibrary&) { list.RemoveChecked(); }));
}

// "Clear play list": the song stops, the pattern plays on.
void TSequence::BitBtn10Click() {
  Push("Clear play list", song_.EditList([&](PlayList& list, PatternLibrary&) {
    ClearPlayList(list, [&] { engine_.PlayListCleared(); });
  }));
}

// A press on a play list entry loads its pattern into the grid, after the
// question when the grid holds unsaved work; undo brings that work back.
void TSequence::SongListMouseDown(int row) {
  song_.SelectEntry(row);
  if (row < 0 || row >= song_.List().Count()) return;
  const std::string name = song_.List().Name(row);
  if (name.empty() || name == PatternLibrary::kBlank || !ReadyToReplace(Replacing::Pattern)) return;
  std::string slotError;
  SongChange change = song_.LoadPattern(PatternPathForReading(song_.Home(), name), slotError);
  Push("Load " + Latin1(name), std::move(change));
  engine_.FollowDelay();
  if (!slotError.empty()) AppPrompts().ShowError(slotError);
}

// File > New Song: an empty pattern and play list; undo brings both back.
void TSequence::New_SongClick() {
  if (!ReadyToReplace(Replacing::Both)) return;
  Push("New Song", song_.NewSong());
}

// File > Open Song.
void TSequence::BitBtn8Click() {
  if (!ReadyToReplace(Replacing::Song)) return;
  const auto chosen = AppPrompts().OpenFile(SongFileRequest(song_.Home()));
  if (!chosen || chosen->empty()) return;
  OpenSongFile(*chosen);
}

// The song's file read, once the one question let the work go.
void TSequence::OpenSongFile(const std::string& path) {
  std::string slotError;
  SongChange change = song_.OpenSong(path, slotError);
  ToolButton1->setEnabled(true);
  Push("Open " + QString::fromStdString(std::filesystem::path(path).filename().string()),
       std::move(change));
  RememberSong(path);
  if (!slotError.empty()) AppPrompts().ShowError(slotError);
}

void TSequence::OpenSongAtStart(const std::string& path) {
  Guarded([&] {
    std::string slotError;
    song_.OpenSong(path, slotError);
    ShowSong();
    RememberSong(path);
    if (!slotError.empty()) AppPrompts().ShowError(slotError);
  });
}

// File > Save Song (Ctrl+S): the song's own file; a new song asks for one.
void TSequence::BitBtn9Click() {
  if (!song_.SongFile()) return SaveSongAsClick();
  auto core = song_.Core(AppPrompts());
  SaveSongTo(core, *song_.SongFile());
  SongSaved(*song_.SongFile());
}

// File > Save Song As... (Ctrl+Shift+S).
void TSequence::SaveSongAsClick() {
  auto core = song_.Core(AppPrompts());
  const std::string name = song_.SongFile() ? song_.SongFile()->stem().string() : "";
  if (const auto saved = SaveSong(core, name)) SongSaved(*saved);
}

void TSequence::SongSaved(const std::filesystem::path& file) {
  ToolButton1->setEnabled(true);
  song_.SongMet(file);
  RememberSong(file);
  KeepRecoveryFiles();  // the copies follow the save at once
  ShowSong();
}

// A session manager's save asks nothing: a grid without a name, or named as
// another pattern's file, stays unsaved and the answer says so.
std::string TSequence::SaveForSession(const std::filesystem::path& songFile) {
  std::string kept = "Saved " + songFile.filename().string();
  const std::string name = song_.Grid().Cell(0, 0);
  if (song_.PatternUnsaved() && name.empty()) {
    kept += "; the pattern in the grid has no name and stays unsaved";
  } else if (song_.PatternUnsaved() && song_.OtherPatternsFile(name)) {
    kept += "; the pattern in the grid is named as another pattern and stays unsaved";
  } else if (song_.PatternUnsaved()) {
    auto core = song_.Core(AppPrompts());
    bool saved = false;
    SongChange change = song_.EditList(
        [&](PlayList&, PatternLibrary&) { saved = SavePattern(core, song_.Values()); });
    if (saved) song_.PatternMet();
    Push("Add " + Latin1(name) + " to the play list", std::move(change));
    kept += " and pattern " + name;
  }
  auto core = song_.Core(AppPrompts());
  SaveSongTo(core, songFile);
  SongSaved(songFile);
  return kept;
}
