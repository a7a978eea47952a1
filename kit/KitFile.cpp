#include "kit/KitFile.h"

#include <cstring>
#include <istream>
#include <iterator>
#include <streambuf>

#include "common/Exception.h"
#include "kit/WaveCollection.h"

namespace {

constexpr char ResourceName[] = "VELMORXWAVECOLLECTION";  // stored upper case
constexpr uint16_t ResourceType = 10;
constexpr uint16_t ResourceFlags = 0x1030;
constexpr size_t FrameReadLimit = 79;

// Value tags of the object stream.
enum : uint8_t {
  EndOfList = 0x00,
  ListStart = 0x01,
  Int8 = 0x02,
  Int16 = 0x03,
  Int32 = 0x04,
  ShortString = 0x06,
  Binary = 0x0A,
  LongString = 0x0C,
  Collection = 0x0E,
};

EStreamError InvalidFormat() {
  return EStreamError("Invalid stream format");
}
EStreamError NoSuchProperty() {
  return EStreamError("Property does not exist");
}
EStreamError InvalidValue() {
  return EStreamError("Invalid property value");
}

// A read-only stream over bytes held elsewhere, so a wave reads exactly its
// own blob and nothing past it.
class SpanBuf : public std::streambuf {
 public:
  explicit SpanBuf(std::string_view bytes) {
    char* begin = const_cast<char*>(bytes.data());
    setg(begin, begin, begin + bytes.size());
  }

 protected:
  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
    off_type base = dir == std::ios_base::beg   ? 0
                    : dir == std::ios_base::cur ? gptr() - eback()
                                                : egptr() - eback();
    off_type target = base + off;
    if (target < 0 || target > egptr() - eback()) return pos_type(off_type(-1));
    setg(eback(), eback() + target, egptr());
    return pos_type(target);
  }
  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
    return seekoff(off_type(pos), std::ios_base::beg, which);
  }
};

// Reads the object stream; every read is checked against what remains.
class KitReader {
 public:
  explicit KitReader(std::string_view bytes) : bytes_(bytes) {}

  void ReadFrame() {
    if (bytes_.size() < 3 || Byte() != 0xFF || U16() != ResourceType) throw InvalidFormat();
    // The resource name is not compared, only skipped.
    size_t limit = std::min(bytes_.size(), FrameReadLimit);
    size_t zero = bytes_.find('\0', pos_);
    if (zero == std::string_view::npos || zero >= limit) {
      if (bytes_.size() < FrameReadLimit) throw EReadError();
      throw InvalidFormat();
    }
    pos_ = zero + 1;
    Take(2 + 4);  // flags and object stream length
  }

  void ReadObject(TWaveCollection& kit) {
    if (Take(4) != "TPF0") throw InvalidFormat();
    Take(Byte());  // class name
    Take(Byte());  // object name
    for (std::string_view name = Name(); !name.empty(); name = Name()) {
      if (name != "List") throw NoSuchProperty();
      if (Byte() != Collection) throw InvalidValue();
      kit.Clear();
      ReadEntries(kit);
    }
    if (Byte() != EndOfList) throw InvalidFormat();  // the object has no children
  }

 private:
  void ReadEntries(TWaveCollection& kit) {
    for (uint8_t tag = Byte(); tag != EndOfList; tag = Byte()) {
      // Other writers may put the entry's order before it.
      if (tag == Int8 || tag == Int16 || tag == Int32) {
        Take(tag == Int8 ? 1 : tag == Int16 ? 2 : 4);
        tag = Byte();
      }
      if (tag != ListStart) throw InvalidValue();
      TWaveCollectionItem& item = kit.Add();
      for (std::string_view name = Name(); !name.empty(); name = Name())
        ReadEntryProperty(name, item);
    }
  }

  void ReadEntryProperty(std::string_view name, TWaveCollectionItem& item) {
    if (name == "Name") {
      uint8_t tag = Byte();
      if (tag != ShortString && tag != LongString) throw InvalidValue();
      uint32_t length = tag == ShortString ? Byte() : U32();
      item.SetName(std::string(Take(length)));
    } else if (name == "Wave.WAVE") {
      if (Byte() != Binary) throw InvalidValue();
      SpanBuf blob(Take(U32()));
      std::istream in(&blob);
      item.Wave().LoadFromStream(in);
    } else {
      throw NoSuchProperty();
    }
  }

  std::string_view Name() { return Take(Byte()); }

  std::string_view Take(size_t n) {
    if (n > bytes_.size() - pos_) throw EReadError();
    std::string_view part = bytes_.substr(pos_, n);
    pos_ += n;
    return part;
  }
  uint8_t Byte() { return static_cast<uint8_t>(Take(1)[0]); }
  uint16_t U16() {
    std::string_view b = Take(2);
    return static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8;
  }
  uint32_t U32() {
    uint32_t low = U16();
    return low | static_cast<uint32_t>(U16()) << 16;
  }

  std::string_view bytes_;
  size_t pos_ = 0;
};

class KitWriter {
 public:
  void Byte(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U16(uint16_t v) {
    Byte(v & 0xFF);
    Byte(v >> 8);
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Raw(std::string_view bytes) { out_.append(bytes); }
  void Short(std::string_view text) {
    Byte(static_cast<uint8_t>(text.size()));
    Raw(text);
  }
  void PatchU32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  size_t Length() const { return out_.size(); }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

void WriteEntry(KitWriter& w, const TWaveCollectionItem& item) {
  w.Byte(ListStart);
  if (!item.Name().empty()) {
    w.Short("Name");
    if (item.Name().size() <= 255) {
      w.Byte(ShortString);
      w.Byte(static_cast<uint8_t>(item.Name().size()));
    } else {
      w.Byte(LongString);
      w.U32(static_cast<uint32_t>(item.Name().size()));
    }
    w.Raw(item.Name());
  }
  std::string blob = item.Wave().Image();
  w.Short("Wave.WAVE");
  w.Byte(Binary);
  w.U32(static_cast<uint32_t>(blob.size()));
  w.Raw(blob);
  w.Byte(EndOfList);
}

}  // namespace

void ReadKitFile(std::string_view bytes, TWaveCollection& kit) {
  kit.Clear();
  KitReader reader(bytes);
  reader.ReadFrame();
  reader.ReadObject(kit);
}

void ReadKitFile(std::istream& stream, TWaveCollection& kit) {
  std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  if (stream.bad()) throw EReadError();
  ReadKitFile(bytes, kit);
}

std::string KitFileBytes(const TWaveCollection& kit) {
  KitWriter w;
  w.Byte(0xFF);
  w.U16(ResourceType);
  w.Raw(std::string_view(ResourceName, sizeof ResourceName));  // with its 0 byte
  w.U16(ResourceFlags);
  size_t lengthAt = w.Length();
  w.U32(0);
  size_t objectStart = w.Length();
  w.Raw("TPF0");
  w.Short("TWaveCollectionComponent");
  w.Short("");
  w.Short("List");
  w.Byte(Collection);
  for (int i = 0; i < kit.Count(); ++i) WriteEntry(w, kit.Items(i));
  w.Byte(EndOfList);  // collection
  w.Byte(EndOfList);  // object's properties
  w.Byte(EndOfList);  // object's children
  w.PatchU32(lengthAt, static_cast<uint32_t>(w.Length() - objectStart));
  return w.Take();
}
