#include "kit/DrumkitXml.h"

#include <QFile>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <optional>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/KitArchive.h"
#include "kit/KitSourceReaders.h"

namespace fs = std::filesystem;

namespace {

constexpr qint64 kMaxXmlBytes = 16 << 20;

class DrumkitXmlReader {
 public:
  DrumkitXmlReader(const fs::path& file, const QByteArray& bytes) : file_(file), xml_(bytes) {}

  ImportedKit Read() {
    kit_.source = file_;
    kit_.folder = file_.parent_path().empty() ? fs::path(".") : file_.parent_path();
    if (!xml_.readNextStartElement()) Fail("no XML element");
    if (xml_.name() != u"drumkit_info")
      Fail("not a Hydrogen drumkit: its root is <" + xml_.name().toString().toStdString() + ">");
    while (xml_.readNextStartElement()) {
      if (xml_.name() == u"name")
        kit_.name = Text();
      else if (xml_.name() == u"instrumentList")
        InstrumentList();
      else
        xml_.skipCurrentElement();
    }
    if (xml_.hasError()) Fail(xml_.errorString().toStdString());
    return std::move(kit_);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) {
    throw Exception(SourcePlace(file_, static_cast<int>(xml_.lineNumber())) + what);
  }

  std::string Text() {
    const QString text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
    if (xml_.hasError()) Fail(xml_.errorString().toStdString());
    return text.trimmed().toStdString();
  }

  double Number() {
    const int line = static_cast<int>(xml_.lineNumber());
    const std::string name = xml_.name().toString().toStdString();
    const QString text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
    if (xml_.hasError()) Fail(xml_.errorString().toStdString());
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
      throw Exception(SourcePlace(file_, line) + "<" + name + "> '" + text.trimmed().toStdString() +
                      "' is not a number");
    return value;
  }

  void InstrumentList() {
    while (xml_.readNextStartElement()) {
      if (xml_.name() == u"instrument")
        Instrument();
      else
        xml_.skipCurrentElement();
    }
  }

  void Instrument() {
    ImportedInstrument instrument;
    instrument.source = file_;
    instrument.line = static_cast<int>(xml_.lineNumber());
    double volume = 1.0, gain = 1.0, panL = 1.0, panR = 1.0;
    std::optional<double> pan;
    bool componentTaken = false;
    while (xml_.readNextStartElement()) {
      const auto name = xml_.name();
      if (name == u"name") {
        instrument.name = Text();
      } else if (name == u"volume") {
        volume = Number();
      } else if (name == u"gain") {
        gain = Number();
      } else if (name == u"pan") {
        pan = Number();
      } else if (name == u"pan_L") {
        panL = Number();
      } else if (name == u"pan_R") {
        panR = Number();
      } else if (name == u"midiOutNote") {
        const double note = Number();
        instrument.note = note >= 0 && note <= 127 ? static_cast<int>(note) : -1;
      } else if (name == u"filename") {
        // The oldest layout: one sample for every velocity.
        ImportedLayer layer;
        layer.source = file_;
        layer.line = static_cast<int>(xml_.lineNumber());
        layer.sample = Text();
        instrument.layers.push_back(layer);
      } else if (name == u"layer") {
        instrument.layers.push_back(Layer());
      } else if (name == u"instrumentComponent") {
        Component(instrument, componentTaken);
      } else {
        xml_.skipCurrentElement();
      }
    }
    instrument.gain = std::max(0.0, volume * gain);
    instrument.pan = std::clamp(pan ? *pan : PanOf(panL, panR), -1.0, 1.0);
    kit_.instruments.push_back(std::move(instrument));
  }

  // pan_L and pan_R are each side's level: equal is the middle, and the
  // quieter side's share of the louder one tells how far the other way.
  static double PanOf(double left, double right) {
    if (left == right || std::max(left, right) <= 0) return 0.0;
    return left > right ? -(1.0 - right / left) : 1.0 - left / right;
  }

  void Component(ImportedInstrument& instrument, bool& taken) {
    double gain = 1.0;
    std::vector<ImportedLayer> layers;
    while (xml_.readNextStartElement()) {
      if (xml_.name() == u"gain")
        gain = Number();
      else if (xml_.name() == u"layer")
        layers.push_back(Layer());
      else
        xml_.skipCurrentElement();
    }
    if (taken || layers.empty()) return;
    taken = true;
    for (ImportedLayer& layer : layers) {
      layer.gain *= std::max(0.0, gain);
      instrument.layers.push_back(layer);
    }
  }

  ImportedLayer Layer() {
    ImportedLayer layer;
    layer.source = file_;
    layer.line = static_cast<int>(xml_.lineNumber());
    while (xml_.readNextStartElement()) {
      const auto name = xml_.name();
      if (name == u"filename") {
        layer.line = static_cast<int>(xml_.lineNumber());
        layer.sample = Text();
      } else if (name == u"min") {
        layer.lowVelocity = Number();
      } else if (name == u"max") {
        layer.highVelocity = Number();
      } else if (name == u"gain") {
        layer.gain = std::max(0.0, Number());
      } else {
        xml_.skipCurrentElement();
      }
    }
    return layer;
  }

  fs::path file_;
  QXmlStreamReader xml_;
  ImportedKit kit_;
};

}  // namespace

ImportedKit ReadDrumkitXml(const fs::path& drumkitXml) {
  QFile file(QString::fromStdString(drumkitXml.string()));
  if (!file.open(QIODevice::ReadOnly)) throw EFOpenError(DisplayPath(drumkitXml));
  if (file.size() > kMaxXmlBytes)
    throw Exception(DisplayPath(drumkitXml) + ": larger than a drumkit.xml can be");
  return DrumkitXmlReader(drumkitXml, file.readAll()).Read();
}

KitSourceReaders QtKitSourceReaders() {
  return {&ReadDrumkitXml, &UnpackKitArchive};
}
