#pragma once
// "Render song to wav file" from the main window: prepare the temporary
// sounds, compile the play list, ask where to save, assemble. The window
// supplies its state through a RenderHost; nothing here needs a window.
#include <filesystem>
#include <functional>

#include "common/Prompts.h"
#include "common/Text.h"
#include "render/RenderPrep.h"

class InstrumentTable;
class RenderProgress;
class TWaveCollection;

inline constexpr const char* kRenderDialogTitle = "Save As One Big Lovely WAV File";
inline constexpr const char* kRenderDialogFilter = "Audio files (*.wav)|*.WAV|All files (*.*)|*.*";

struct RenderHost {
  std::filesystem::path home;
  const TWaveCollection* kit = nullptr;
  const InstrumentTable* chooser = nullptr;
  std::function<SlotSounds()> slots;
  std::function<bool()> playListEmpty;
  // Compiles the play list from its selected entry into the play sequence
  // (the grid shows the last pattern, the selection moves one up, the song
  // player's position is reset) and returns the sequence.
  std::function<Lines()> compile;
  // "Play pattern" and "Play, play list"; the line buffer is emptied when
  // they are disabled.
  std::function<void(bool)> setPlayButtonsEnabled;
  // Empties the play sequence at the end.
  std::function<void()> clearPlaySequence;
};

FileRequest RenderFileRequest(const std::filesystem::path& home);

class RenderFlow {
 public:
  // The whole render. A request while one runs (its progress lets events
  // run) is ignored and returns at once. Errors are raised to the caller's
  // guard after the window and buttons are restored.
  void RendorClick(RenderHost& host, Prompts& prompts, RenderProgress& progress);
  bool Running() const { return running_; }

 private:
  bool running_ = false;
};
