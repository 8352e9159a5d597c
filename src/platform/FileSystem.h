// The one path lookup for data files. The game names its files the way the
// original data tree spelled them: backslashes, "..", and letters in any case
// ("Interface/button/bdown.dds" next to "Interface/Button/bup.dds"). Every
// loader opens data through here so those names find the files on a
// case-sensitive file system.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Backslashes become slashes, empty and "." components go, and "name/.." pairs
// cancel by name. A leading ".." that has nothing to cancel is kept.
std::string NormalizeDataPath(std::string_view path);

// The normalized path with each component matched to an existing entry,
// exactly if possible, else regardless of case. A path that matches nothing
// comes back normalized, so the caller's open fails in the usual way.
std::string ResolveDataPath(std::string_view path);

// fopen of the resolved path; nullptr when it cannot be opened.
std::FILE* OpenDataFile(std::string_view path, const char* mode);

// Reads a whole data file; false (and empty bytes) when it cannot be read.
bool ReadDataFile(std::string_view path, std::vector<std::uint8_t>& bytes);

} // namespace platform
