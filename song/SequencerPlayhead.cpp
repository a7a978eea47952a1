// TSequence: the playhead. The players publish where each step sounds; a
// timer of the window reads it and shows the row heard and the entry playing.
#include <QTimer>

#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "song/PlayheadShown.h"
#include "song/SongPanel.h"

namespace {
constexpr int kPlayheadMs = 16;  // a frame of a 60 Hz display
}

void TSequence::FollowPlayhead() {
  if (!playheadTimer_) {
    playheadTimer_ = new QTimer(this);
    playheadTimer_->setInterval(kPlayheadMs);
    connect(playheadTimer_, &QTimer::timeout, this, [this] { ShowPlayhead(); });
  }
  if (engine_.PatternPlaying() || engine_.SongPlaying()) playheadTimer_->start();
  ShowPlayhead();
}

void TSequence::ShowPlayhead() {
  const auto now = PlaybackSound::Clock::now();
  const auto sounding = engine_.SoundingAt(now);
  const PlayheadShown shown = ::ShowPlayhead(sounding, playbackHost_, song_);
  StringGrid1->ShowPlayhead(shown.gridRow);
  songPanel_->ShowEntryPlaying(shown.entry);
  // The last steps sound on after their player ended: the timer stops once they are over.
  const bool playing = engine_.PatternPlaying() || engine_.SongPlaying();
  if (playheadTimer_ && !playing && engine_.PlayheadFinished(now)) playheadTimer_->stop();
}
