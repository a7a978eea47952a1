#pragma once
// Help › About Korvanto: the version and the licence.
class QWidget;
class QMessageBox;

// The box, not yet shown; it deletes itself when closed.
QMessageBox* MakeAboutBox(QWidget* parent);
// Opens the box over parent, taking the keyboard; returns at once.
void ShowAboutBox(QWidget* parent);
