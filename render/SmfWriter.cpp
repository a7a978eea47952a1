#include "render/SmfWriter.h"

#include <algorithm>

#include "common/Exception.h"

namespace {

std::string BigEndian(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
  return out;
}

}  // namespace

std::string VariableLength(std::int64_t value) {
  if (value < 0 || value > 0x0FFFFFFF)
    throw Exception("The song is too long for a MIDI file (" + std::to_string(value) + " ticks)");
  std::string out(1, static_cast<char>(value & 0x7F));
  while ((value >>= 7) > 0) out.insert(out.begin(), static_cast<char>(0x80 | (value & 0x7F)));
  return out;
}

void SmfTrack::Add(std::int64_t tick, int rank, std::string bytes) {
  events_.push_back({tick, rank, events_.size(), std::move(bytes)});
}

void SmfTrack::Meta(std::int64_t tick, int type, const std::string& data) {
  Add(tick, 0,
      std::string{'\xFF', static_cast<char>(type)} + VariableLength(std::ssize(data)) + data);
}

std::string SmfTrack::Chunk() const {
  std::vector<const Event*> sorted;
  for (const Event& event : events_) sorted.push_back(&event);
  std::sort(sorted.begin(), sorted.end(), [](const Event* a, const Event* b) {
    if (a->tick != b->tick) return a->tick < b->tick;
    if (a->rank != b->rank) return a->rank < b->rank;
    return a->order < b->order;
  });
  std::string body;
  std::int64_t now = 0;
  for (const Event* event : sorted) {
    body += VariableLength(event->tick - now) + event->bytes;
    now = event->tick;
  }
  body += VariableLength(std::max(end_, now) - now) + std::string("\xFF\x2F\x00", 3);
  return "MTrk" + BigEndian(static_cast<std::uint32_t>(body.size()), 4) + body;
}

std::string SmfFile(int ticksPerQuarter, const std::vector<SmfTrack>& tracks) {
  std::string file = "MThd" + BigEndian(6, 4) + BigEndian(1, 2) +
                     BigEndian(static_cast<std::uint32_t>(tracks.size()), 2) +
                     BigEndian(static_cast<std::uint32_t>(ticksPerQuarter), 2);
  for (const SmfTrack& track : tracks) file += track.Chunk();
  return file;
}
