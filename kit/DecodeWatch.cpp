#include "kit/DecodeWatch.h"

namespace {
DecodeWatch*& Installed() {
  static DecodeWatch* watch = nullptr;
  return watch;
}
}  // namespace

DecodeWatch& CurrentDecodeWatch() {
  static DecodeWatch quiet;
  return Installed() ? *Installed() : quiet;
}

void SetDecodeWatch(DecodeWatch* watch) {
  Installed() = watch;
}

DecodeWatchScope::DecodeWatchScope(DecodeWatch& watch) : previous_(Installed()) {
  Installed() = &watch;
}

DecodeWatchScope::~DecodeWatchScope() {
  Installed() = previous_;
}
