#pragma once
// Preferences' JACK options: connections at start, a port pair per
// instrument, following the transport and being its timebase master.
#include <QGroupBox>

#include "kit/JackAudioOutput.h"

class QCheckBox;

class JackPreferences : public QGroupBox {
 public:
  explicit JackPreferences(QWidget* parent = nullptr);

  void Show(const JackLinkOptions& options);
  JackLinkOptions Chosen() const;
  // Keeps the options and puts them to use at once.
  void Apply();

  QCheckBox* ConnectBox = nullptr;
  QCheckBox* PortsBox = nullptr;
  QCheckBox* FollowBox = nullptr;
  QCheckBox* TimebaseBox = nullptr;
};
