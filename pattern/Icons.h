#pragma once
// The tool bar's pictures, drawn rather than stored.
#include <QIcon>

enum class ToolIcon {
  Play, Stop, RepeatPattern, RenderWave, ClearList, PlayList, RepeatList, PlaySample,
  UpdateTime, SavePattern, ClearPattern, GlobalSpeed, ArrowRight, ArrowLeft, Bin, ArrowUp,
  ArrowDown, Undo, Redo
};

// A toggle's picture follows its image index: 0 off, 1 on.
QIcon MakeToolIcon(ToolIcon icon, int imageIndex = 0);
