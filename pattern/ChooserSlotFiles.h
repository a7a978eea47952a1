#pragma once
// The instrument chooser's list shows beside "Sample1" .. "Sample32" the
// file each slot holds ("Sample1 (zap)"). Only the list's look changes: the
// items' texts, which cells and files hold, stay "Sample1" ...
#include <QString>
#include <functional>
#include <string>

class QComboBox;

// The title of slot n's file (SlotFileTitle), "" for none.
using SlotTitleOf = std::function<std::string(int slot)>;

void ShowSlotFilesInChooser(QComboBox& chooser, SlotTitleOf titleOf);

// The text the chooser's list shows for its row.
QString ChooserShownText(const QComboBox& chooser, int row);
