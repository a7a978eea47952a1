#include "kit/JackTimebase.h"

#include "song/SongTimeline.h"

void FillJackPosition(jack_position_t& position) {
  const SongTimeline* timeline = PublishedSongTimeline();
  const double rate = position.frame_rate > 0 ? position.frame_rate : 48000;
  const BarBeatTick at = timeline ? timeline->At(position.frame / rate) : BarBeatTick{};
  position.valid = static_cast<jack_position_bits_t>(position.valid | JackPositionBBT);
  position.bar = at.bar;
  position.beat = at.beat;
  position.tick = at.tick;
  position.bar_start_tick = at.barStartTick;
  position.beats_per_bar = at.beatsPerBar;
  position.beat_type = at.beatType;
  position.ticks_per_beat = at.ticksPerBeat;
  position.beats_per_minute = at.beatsPerMinute;
}
