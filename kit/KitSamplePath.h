#pragma once
// Where a file an imported kit names lies: always inside the kit's folder.
#include <filesystem>
#include <string>

// kitFolder / written, with '\' read as '/'. Exception naming source and
// line when written is empty, absolute, climbs out of kitFolder with "..",
// or leads out of it through a symbolic link. The file need not exist.
std::filesystem::path SamplePathInKit(const std::filesystem::path& kitFolder,
                                      const std::string& written,
                                      const std::filesystem::path& source, int line);

// Whether inner, resolved through links, lies in folder (also resolved).
bool LiesWithin(const std::filesystem::path& folder, const std::filesystem::path& inner);
