#include "render/RenderPlan.h"

#include <algorithm>
#include <limits>
#include <map>

#include "common/Files.h"
#include "kit/InstrumentTable.h"
#include "kit/WaveCollection.h"
#include "pattern/HomeFiles.h"
#include "render/GrooveHits.h"
#include "render/HitTable.h"
#include "render/wavaudio.h"
#include "render/wavaudioErrors.h"
#include "song/HitGroove.h"
#include "song/MixRule.h"

namespace {

// What a load left in the input wave, to tell whether loading the same file
// again changes it.
struct InputState {
  wavaudio::FormatBytes format{};
  std::int32_t frames = 0;
  std::vector<std::uint8_t> data;

  explicit InputState(const wavaudio::TWave& wave)
      : format(wave.Format.ToBytes()), frames(wave.FrameCount()), data(wave.Data()) {}
  bool operator==(const InputState&) const = default;
};

struct HitSound {
  std::int32_t rate = 0;
  double pan = 0;
  bool kit = false;
  std::int32_t slotVolume = 0;
  double mixGain = 1.0;  // the song's mix of a kit instrument
};

// Voices of one state of the input wave, one per volume level.
class VoiceSet {
 public:
  VoiceSet(const wavaudio::TWave& source, const HitSound& sound, InstrumentPass& pass,
           const wavaudio::TWave& output)
      : source_(source), sound_(sound), pass_(pass), output_(output) {}

  // A kit hit's voice has its level and its humanize loudness; a slot's one.
  const wavaudio::MixVoice& For(const Hit& hit) {
    const int level = hit.level;
    const int quieter = sound_.kit ? hit.quieterTenthDb : 0;
    const int key = sound_.kit ? level * 1000 + quieter : 0;
    auto found = voices_.find(key);
    if (found != voices_.end()) return *found->second;
    const std::int32_t rate =
        sound_.rate != 0 ? sound_.rate : static_cast<std::int32_t>(source_.Format.nSamplesPerSec);
    double volume =
        sound_.kit ? KitHitVolume(level) * sound_.mixGain : SlotHitVolume(sound_.slotVolume);
    if (quieter != 0) volume *= QuieterGain(quieter);
    pass_.voices.push_back(
        std::make_unique<wavaudio::MixVoice>(source_, rate, volume, sound_.pan, output_.Format));
    voices_[key] = pass_.voices.back().get();
    return *pass_.voices.back();
  }

 private:
  const wavaudio::TWave& source_;
  HitSound sound_;
  InstrumentPass& pass_;
  const wavaudio::TWave& output_;
  std::map<int, const wavaudio::MixVoice*> voices_;
};

PlacedHit Place(const wavaudio::MixVoice& voice, const Hit& hit, const wavaudio::TWave& output) {
  const std::int32_t offset = output.MixOffset(hit.time);
  if (std::int64_t(offset) + voice.DestLen() > std::numeric_limits<std::int32_t>::max())
    throw wavaudio::EInvalidOp();
  return {offset, offset + voice.DestLen(), &voice};
}

// The song's mix of a kit instrument; slots sound as they are.
MixVerdict MixOf(const RenderInput& input, int instrument) {
  if (instrument > input.chooser.LastKitIndex()) return {};
  return MixVerdictOf(input.mix, InstrumentName(input.chooser.Item(instrument)));
}

HitSound SoundOf(const RenderInput& input, int instrument, const wavaudio::TWave& source) {
  HitSound sound;
  const int last = input.chooser.LastKitIndex();
  if (instrument <= last) {
    sound.kit = true;
    sound.rate = static_cast<std::int32_t>(source.Format.nSamplesPerSec);
    sound.pan = HitPan(input.kit.Find(input.chooser.Item(instrument)).Pan);
    sound.mixGain = MixOf(input, instrument).Gain();
  } else {
    const SlotSound& slot = input.slots[instrument - last - 1];
    sound.rate = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(slot.frequency, 0, std::numeric_limits<std::int32_t>::max()));
    sound.pan = HitPan(slot.pan);
    sound.slotVolume = slot.volume;
  }
  return sound;
}

std::string LabelOf(const RenderInput& input, int instrument) {
  const int last = input.chooser.LastKitIndex();
  if (instrument <= last) return input.chooser.Item(instrument);
  return "Sample " + std::to_string(instrument - last);
}

// What a message calls an instrument's sound: a slot's file, a kit
// instrument's name.
std::string SoundNameOf(const RenderInput& input, int instrument) {
  const int last = input.chooser.LastKitIndex();
  if (instrument <= last) return InstrumentName(input.chooser.Item(instrument));
  return DisplayPath(input.slots[instrument - last - 1].fileName);
}

// Places every hit of one instrument, each with the voice of its level.
void PlanPass(const RenderInput& input, int instrument, const std::vector<Hit>& hits,
              wavaudio::TWave& source, InstrumentPass& pass, const wavaudio::TWave& output) {
  const auto file = InstrumentWorkFile(input, instrument);
  source.LoadFromFile(file);
  VoiceSet first(source, SoundOf(input, instrument, source), pass, output);
  pass.hits.push_back(Place(first.For(hits[0]), hits[0], output));
  if (hits.size() > 1) {
    const InputState before(source);
    source.LoadFromFile(file);
    // Loading a well-formed file twice gives the same wave; the first set
    // then serves every hit.
    std::unique_ptr<VoiceSet> again;
    if (!(InputState(source) == before))
      again = std::make_unique<VoiceSet>(source, SoundOf(input, instrument, source), pass, output);
    VoiceSet& rest = again ? *again : first;
    for (std::size_t h = 1; h < hits.size(); ++h)
      pass.hits.push_back(Place(rest.For(hits[h]), hits[h], output));
  }
}

}  // namespace

std::filesystem::path WorkFolderOf(const RenderInput& input) {
  return input.work.empty() ? HomeWorkFolder(input.home) : input.work;
}

OutputRule OutputRuleOf(const RenderInput& input) {
  OutputRule rule{input.home, input.inputs};
  for (const SlotSound& slot : input.slots) rule.inputs.push_back(SlotFilePath(input.home, slot));
  return rule;
}

std::filesystem::path InstrumentWorkFile(const RenderInput& input, int instrument) {
  const int last = input.chooser.LastKitIndex();
  if (instrument <= last) return KitWorkFile(WorkFolderOf(input), instrument);
  return SlotWorkFile(WorkFolderOf(input), instrument - last);
}

std::vector<InstrumentPass> PlanRender(const RenderInput& input, const Lines& sequence,
                                       const std::vector<int>& used,
                                       const wavaudio::TWave& output) {
  std::vector<int> order = used;
  std::sort(order.begin(), order.end());
  std::vector<InstrumentPass> passes;
  wavaudio::TWave source;  // the one input wave every hit reloads
  bool blankChecked = false;
  const SongSteps steps = input.groove.IsPlain() ? SongSteps{} : StepsOf(sequence);
  for (const int instrument : order) {
    // A kit pass looks up the blank entry at the first tempo line.
    if (instrument <= input.chooser.LastKitIndex() && !blankChecked) {
      input.kit.Find("");
      blankChecked = true;
    }
    std::vector<Hit> hits = FindHits(sequence, input.chooser, instrument);
    if (hits.empty()) continue;
    if (!input.groove.IsPlain())
      ApplyGroove(hits, steps, input.groove, GrooveInstrumentKey(input.chooser.Item(instrument)));
    InstrumentPass pass;
    pass.instrument = instrument;
    pass.label = LabelOf(input, instrument);
    pass.silenced = !MixOf(input, instrument).sounds;
    try {
      PlanPass(input, instrument, hits, source, pass, output);
    } catch (const wavaudio::EMathError& error) {
      // A sound of no frames has no playing speed.
      throw EFileError(SoundNameOf(input, instrument), error.what());
    }
    passes.push_back(std::move(pass));
  }
  return passes;
}
