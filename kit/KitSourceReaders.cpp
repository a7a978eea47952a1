#include "kit/KitSourceReaders.h"

#include <utility>

namespace {
KitSourceReaders& Installed() {
  static KitSourceReaders readers;
  return readers;
}
}  // namespace

void SetKitSourceReaders(KitSourceReaders readers) {
  Installed() = std::move(readers);
}

const KitSourceReaders& InstalledKitSourceReaders() {
  return Installed();
}
