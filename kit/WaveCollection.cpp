#include "kit/WaveCollection.h"

#include <stdexcept>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Text.h"
#include "kit/KitFile.h"

TWaveCollectionItem::TWaveCollectionItem(TWaveCollection& collection, int index)
    : collection_(&collection), index_(index) {
  Link();
}

TWaveCollectionItem::~TWaveCollectionItem() {
  Unlink();
}

void TWaveCollectionItem::SetName(const std::string& name) {
  if (name == name_) return;
  Unlink();
  name_ = name;
  Link();
}

void TWaveCollectionItem::Link() {
  TWaveCollectionItem*& head = collection_->buckets_[TWaveCollection::NameHash(name_)];
  prev_ = nullptr;
  next_ = head;
  if (head) head->prev_ = this;
  head = this;
}

void TWaveCollectionItem::Unlink() {
  if (prev_)
    prev_->next_ = next_;
  else
    collection_->buckets_[TWaveCollection::NameHash(name_)] = next_;
  if (next_) next_->prev_ = prev_;
  prev_ = next_ = nullptr;
}

TWaveCollection::TWaveCollection() = default;

TWaveCollection::~TWaveCollection() {
  Clear();
}

TWaveCollectionItem& TWaveCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  return *items_[index];
}

TWaveCollectionItem& TWaveCollection::Add() {
  items_.push_back(std::unique_ptr<TWaveCollectionItem>(new TWaveCollectionItem(*this, Count())));
  return *items_.back();
}

void TWaveCollection::Delete(int index) {
  Items(index);  // range check
  items_.erase(items_.begin() + index);
  for (int i = index; i < Count(); ++i) items_[i]->index_ = i;
}

void TWaveCollection::Clear() {
  // Last first, so no entry's index has to move.
  while (!items_.empty()) items_.pop_back();
}

int TWaveCollection::NameHash(std::string_view name) {
  std::string lower = LowerLatin1(name);
  size_t n = lower.size();
  size_t h = n * 16;
  if (n >= 2) h += static_cast<unsigned char>(lower[0]) + static_cast<unsigned char>(lower[n - 2]);
  return static_cast<int>(h % BucketCount);
}

int TWaveCollection::IndexOfName(std::string_view name) const {
  for (const TWaveCollectionItem* item = buckets_[NameHash(name)]; item; item = item->next_)
    if (SameTextIgnoringCase(item->name_, name)) return item->index_;
  return -1;
}

TWaveCollectionItem& TWaveCollection::Find(std::string_view name) const {
  int index = IndexOfName(name);
  if (index < 0)
    throw EWaveCollectionError(FormatMessage("Wave '%s' not found", EscapedText(name)));
  return *items_[index];
}

void TWaveCollection::TakeEntriesFrom(TWaveCollection& other) {
  if (&other == this) return;
  Clear();
  items_.swap(other.items_);
  buckets_.swap(other.buckets_);
  for (auto& item : items_) item->collection_ = this;
}

void TWaveCollection::LoadFromFile(const std::filesystem::path& path) {
  TWaveCollection loaded;
  ReadKitFile(ReadFileBytes(path), loaded);
  TakeEntriesFrom(loaded);
}

void TWaveCollection::LoadFromStream(std::istream& stream) {
  TWaveCollection loaded;
  ReadKitFile(stream, loaded);
  TakeEntriesFrom(loaded);
}

void TWaveCollection::SaveToFile(const std::filesystem::path& path) const {
  WriteFileAtomically(path, KitFileBytes(*this));
}

void TWaveCollection::SaveToStream(std::ostream& stream) const {
  std::string bytes = KitFileBytes(*this);
  stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
