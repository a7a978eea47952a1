#include "help/AboutBox.h"

#include <QAbstractButton>
#include <QMessageBox>

#include "app/Licence.h"

#ifndef KORVANTO_VERSION
#define KORVANTO_VERSION "unknown"
#endif

QMessageBox* MakeAboutBox(QWidget* parent) {
  auto* box = new QMessageBox(parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowTitle("About Korvanto");
  box->setIcon(QMessageBox::Information);
  box->setText(QString("Korvanto %1\nDrum machine and beat sequencer").arg(KORVANTO_VERSION));
  box->setInformativeText(QString(kLicenceNotice).replace('\n', ' ').trimmed());
  box->setStandardButtons(QMessageBox::Close);
  return box;
}

void ShowAboutBox(QWidget* parent) {
  QMessageBox* box = MakeAboutBox(parent);
  box->open();
  box->activateWindow();
  box->button(QMessageBox::Close)->setFocus();
}
