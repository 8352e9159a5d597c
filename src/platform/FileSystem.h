// The game's files: the one path lookup and reader for data files, the
// appending the logs are written with, and new files (the screenshots)
// written whole or not at all. The names the game asks for may hold
// backslashes, ".." and letters in any case ("Interface/button/bdown.dds"
// next to "Interface/Button/bup.dds"), whatever the case the generator wrote
// them in. Every loader reads data through here so those names find the files
// on a case-sensitive file system, and so that nothing but a regular file of
// the size its kind allows is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
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

// Reads a whole data file of at most maxBytes bytes. Anything but a regular
// file (a directory, a device such as /dev/zero, a named pipe) and a file
// larger than maxBytes is refused unread, without waiting on it. False, with
// empty bytes and, when error is given, a reason that names the file, when it
// is refused or cannot be read.
bool ReadDataFile(std::string_view path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes,
                  std::string* error = nullptr);

// Appends text to the file at path (not looked up: logs are named exactly),
// creating it when missing. False when it cannot be written whole; a named
// pipe without a reader or a device is refused rather than waited on.
bool AppendToFile(const std::string& path, std::string_view text);

// True when something (a file, a folder, a link, even one that leads
// nowhere: anything) exists at path, named exactly.
bool PathExists(const std::string& path);

// Creates the folder path (named exactly) if it is not there; false when it
// cannot be made or something else is in the way, and error then says why.
bool MakeFolder(const std::string& path, std::string* error = nullptr);

enum class NewFileResult {
    kWritten,
    kNameTaken, // something is at path already: nothing was written
    kFailed,
};
// Writes bytes as a new file at path (named exactly), never replacing
// anything there and never following a link there, even one that leads
// nowhere. The bytes go to a temporary file beside it first, which takes the
// name only once it is whole on disk; a full disk or any other failure
// leaves nothing behind, and error says why.
NewFileResult WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes, std::string* error = nullptr);

// Writes text to standard error, the place of last resort for messages.
void WriteToStandardError(std::string_view text);

} // namespace platform
