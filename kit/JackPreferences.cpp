#include "kit/JackPreferences.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "kit/StudioOutputs.h"

namespace {

QCheckBox* Box(const char* text, const char* name) {
  auto* box = new QCheckBox(text);
  box->setObjectName(name);
  return box;
}

}  // namespace

JackPreferences::JackPreferences(QWidget* parent) : QGroupBox("JACK", parent) {
  setObjectName("JackBox");
  ConnectBox = Box("&Connect to the system's playback at start", "JackConnectBox");
  PortsBox = Box("A port &pair per instrument (Kick_L, Kick_R, ...)", "JackPortsBox");
  FollowBox = Box("&Follow the JACK transport", "JackFollowBox");
  TimebaseBox =
      Box("Be the &timebase master (bars, beats and tempo of the song)", "JackTimebaseBox");
  auto* layout = new QVBoxLayout(this);
  for (QCheckBox* box : {ConnectBox, PortsBox, FollowBox, TimebaseBox}) layout->addWidget(box);
  Show(LoadJackOptions());
}

void JackPreferences::Show(const JackLinkOptions& options) {
  ConnectBox->setChecked(options.connectToPlayback);
  PortsBox->setChecked(options.groupPorts);
  FollowBox->setChecked(options.followTransport);
  TimebaseBox->setChecked(options.timebaseMaster);
}

JackLinkOptions JackPreferences::Chosen() const {
  JackLinkOptions options;
  options.connectToPlayback = ConnectBox->isChecked();
  options.groupPorts = PortsBox->isChecked();
  options.followTransport = FollowBox->isChecked();
  options.timebaseMaster = TimebaseBox->isChecked();
  return options;
}

void JackPreferences::Apply() {
  const JackLinkOptions options = Chosen();
  SaveJackOptions(options);
  SetJackOptions(options);
}
