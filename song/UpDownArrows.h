#pragma once
// The up/down arrows beside the play list. The control keeps a position of
// its own (0..100, starting at 0, no wrap) and reports a press only when that
// position moves: right after start-up the down arrow reports nothing.
class PlayList;

enum class Arrow { Up, Down };

class UpDownArrows {
 public:
  static constexpr int kMin = 0, kMax = 100;

  int Position() const { return position_; }
  // True when the press moved the position and so is reported.
  bool Press(Arrow arrow);

 private:
  int position_ = kMin;
};

// Moves the selected entry one place; it stays selected. False when there
// is no selection or no place to go.
bool MoveSelectedEntry(PlayList& playList, Arrow arrow);

// UpDown1Click as the user meets it: a press the control reports moves the
// selected entry.
bool PressPlayListArrow(UpDownArrows& arrows, PlayList& playList, Arrow arrow);
