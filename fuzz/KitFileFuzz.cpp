// Feeds arbitrary bytes to the kit library file reader. Anything it accepts
// must survive a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/Exception.h"
#include "kit/KitFile.h"
#include "kit/WaveCollection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWaveCollection kit;
  try {
    ReadKitFile(std::string_view(reinterpret_cast<const char*>(data), size), kit);
  } catch (const Exception&) {
    return 0;
  }
  std::string written = KitFileBytes(kit);
  TWaveCollection again;
  ReadKitFile(written, again);
  if (KitFileBytes(again) != written) std::abort();
  return 0;
}
