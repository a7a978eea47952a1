#pragma once
// The readers that need libraries core doesn't link: Hydrogen's drumkit.xml
// (an XML reader) and .h2drumkit archives (libarchive). The program installs
// them at start-up; tests install them too. Without them those sources are
// refused with a message.
#include <filesystem>
#include <functional>

#include "kit/ImportedKit.h"

struct KitSourceReaders {
  // Reads a drumkit.xml; Exception naming the file and line when it can't.
  std::function<ImportedKit(const std::filesystem::path& drumkitXml)> readDrumkitXml;
  // Unpacks an archive into an empty folder of ours; Exception naming the
  // archive and the member when it can't or mustn't.
  std::function<void(const std::filesystem::path& archive, const std::filesystem::path& into)>
      unpackArchive;
};

void SetKitSourceReaders(KitSourceReaders readers);
const KitSourceReaders& InstalledKitSourceReaders();
