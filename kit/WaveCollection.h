#pragma once
// A drum kit: an ordered list of named sounds with a case-blind name index.
#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kit/Wave.h"

class TDirectSoundBuffer;
class TWaveCollection;

// One kit entry. Made only by TWaveCollection::Add.
class TWaveCollectionItem {
 public:
  ~TWaveCollectionItem();
  TWaveCollectionItem(const TWaveCollectionItem&) = delete;
  TWaveCollectionItem& operator=(const TWaveCollectionItem&) = delete;

  const std::string& Name() const { return name_; }
  // A different name (compared exactly) moves the entry to the head of its
  // new bucket, so the name set last is the one found.
  void SetName(const std::string& name);

  ::Wave::TWave& Wave() { return wave_; }
  const ::Wave::TWave& Wave() const { return wave_; }
  void SetWave(const ::Wave::TWave& wave) { wave_.Assign(&wave); }

  // Position in the collection.
  int Index() const { return index_; }
  TWaveCollection& Collection() const { return *collection_; }

  // Applied to each new playing copy: pan in the device's units, volume in
  // hundredths of a decibel of attenuation. Not stored in kit files.
  int32_t Pan = 0;
  int32_t Volume = 0;

  // The sound layer's device buffer for this entry and whether it was made.
  std::shared_ptr<TDirectSoundBuffer> Buffer;
  bool Initialized = false;

 private:
  friend class TWaveCollection;
  TWaveCollectionItem(TWaveCollection& collection, int index);
  void Link();
  void Unlink();

  TWaveCollection* collection_;
  int index_;
  std::string name_;
  ::Wave::TWave wave_;
  // Chain of the name's hash bucket, newest first.
  TWaveCollectionItem* prev_ = nullptr;
  TWaveCollectionItem* next_ = nullptr;
};

class TWaveCollection {
 public:
  static constexpr int BucketCount = 256;

  TWaveCollection();
  ~TWaveCollection();
  TWaveCollection(const TWaveCollection&) = delete;
  TWaveCollection& operator=(const TWaveCollection&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // Entry by index; std::out_of_range outside 0 .. Count-1.
  TWaveCollectionItem& Items(int index) const;
  TWaveCollectionItem& operator[](int index) const { return Items(index); }
  // Appends an entry: empty name, empty wave, Pan and Volume 0.
  TWaveCollectionItem& Add();
  void Delete(int index);
  void Clear();

  // The index of the entry named so, ignoring letter case; -1 when none.
  int IndexOfName(std::string_view name) const;
  // EWaveCollectionError "Wave '%s' not found" when there is none.
  TWaveCollectionItem& Find(std::string_view name) const;

  // Replaces every entry by those of other, which is left empty.
  void TakeEntriesFrom(TWaveCollection& other);

  // Kit library files (.dxg). Loading replaces the entries only when the
  // whole file was read; on any error the collection is unchanged.
  void LoadFromFile(const std::filesystem::path& path);
  void LoadFromStream(std::istream& stream);
  // The file is replaced only once the new content is complete.
  void SaveToFile(const std::filesystem::path& path) const;
  void SaveToStream(std::ostream& stream) const;

  // The bucket of a name: length × 16 plus, from two characters on, the codes
  // of the first and the second-to-last lower-cased character, modulo 256.
  static int NameHash(std::string_view name);

 private:
  friend class TWaveCollectionItem;
  std::vector<std::unique_ptr<TWaveCollectionItem>> items_;
  std::array<TWaveCollectionItem*, BucketCount> buckets_{};
};
