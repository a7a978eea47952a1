#include "kit/JackTransportLink.h"

#include <exception>

#include "kit/DXSounds.h"
#include "kit/JackAudioOutput.h"
#include "song/PlaybackEngine.h"

namespace {

TransportSeen::State SeenState(JackTransportView::State state) {
  switch (state) {
    case JackTransportView::State::Starting:
      return TransportSeen::State::Starting;
    case JackTransportView::State::Rolling:
      return TransportSeen::State::Rolling;
    case JackTransportView::State::Stopped:
      break;
  }
  return TransportSeen::State::Stopped;
}

}  // namespace

JackTransportLink::JackTransportLink(UiThread& ui, PlaybackEngine& engine, TDXSound& sound,
                                     std::function<void(const std::string&)> told)
    : engine_(engine), sound_(sound), told_(std::move(told)) {
  timer_ = ui.StartTimer(kPoll, [this] { Poll(); });
}

void JackTransportLink::Poll() {
  TDirectSound* device = sound_.DSound();
  auto* jack = device ? dynamic_cast<JackAudioOutput*>(device->Output()) : nullptr;
  if (!jack || !CurrentJackOptions().followTransport) return;
  jack->FollowTransport();
  const JackTransportView view = jack->Transport();
  // Frames of another rate than the mixer's don't place steps.
  if (!view.valid || view.rate != device->mixer().Rate()) return;
  // A song the user stopped, or one that ended, is not the transport's.
  const bool playing = engine_.SongPlaying();
  if (songPlaying_ && !playing && follower_.Following()) follower_.Forget();
  songPlaying_ = playing;
  const Mixer& mixer = device->mixer();
  const int64_t earliest = mixer.FramesRendered() + mixer.PeriodFrames();
  const TransportSeen seen{SeenState(view.state), view.position, view.outputFrame,
                           JackBlockFrames()};
  const TransportMove move = follower_.Follow(seen, earliest);
  if (move.kind == TransportMove::Kind::Stop) {
    if (engine_.SongPlaying()) engine_.BitBtn4Click();
    songPlaying_ = false;
    return;
  }
  if (move.kind == TransportMove::Kind::Retime) {
    engine_.RetimeSong(move.frameOfZero);
    return;
  }
  if (move.kind != TransportMove::Kind::Start) return;
  if (move.rollAt >= 0) jack->HoldTransportUntil(move.position, move.rollAt);
  try {
    songPlaying_ = engine_.StartSongAtFrame(move.position, move.frameOfZero);
  } catch (const std::exception& e) {
    songPlaying_ = false;
    if (told_) told_(e.what());
  }
}
