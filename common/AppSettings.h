#pragma once
// What the program remembers between runs, in the desktop's settings store:
// organisation and application "korvanto", so ~/.config/korvanto/korvanto.conf.
// Each part keeps its own group ("window/", "recent/", "folders/", ...).
#include <QSettings>

class AppSettings : public QSettings {
 public:
  static constexpr char kOrganisation[] = "korvanto";
  static constexpr char kApplication[] = "korvanto";
  AppSettings() : QSettings(kOrganisation, kApplication) {}
};
