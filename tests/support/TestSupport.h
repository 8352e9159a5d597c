// Helpers shared by the tests: a private working directory, the generated data
// tree (or links to it), a manual clock installed for the length of a test, the hostile files a
// data directory may hold, message boxes caught, the network kept to a test's
// own ports, vectors compared, the ground's height read off its drawn
// triangles, and checks left out reported as skipped.
#pragma once

#include "platform/Clock.h"
#include "platform/math/Vector.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <utility>
#include <vector>

class Terrain;
struct NetConfig;

namespace testing {

// The data tree the build generated (Maps/, Actors/, Interface/, Sounds/).
std::filesystem::path DataDirectory();

// Creates a fresh temporary directory and makes it the working directory, so
// log files and other output stay out of the source and build trees; restores
// the previous working directory and removes the temporary one at the end.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Links the generated data's folders into here, but for the one named
// copied, which is copied so the test may change what is in it. Loose files
// are left out: other tests' logs may lie beside the folders.
void LinkDataTree(const std::filesystem::path& here, const std::string& copied = "");

// Makes the generated data tree the working directory for a test's length.
class DataDirectoryScope {
public:
    DataDirectoryScope();
    ~DataDirectoryScope();
    DataDirectoryScope(const DataDirectoryScope&) = delete;
    DataDirectoryScope& operator=(const DataDirectoryScope&) = delete;

private:
    std::filesystem::path previous_;
};

// Installs a manual clock for the scope; Advance moves game time exactly.
class ManualClockScope {
public:
    ManualClockScope() { platform::SetClock(&clock_); }
    ~ManualClockScope() { platform::SetClock(nullptr); }
    ManualClockScope(const ManualClockScope&) = delete;
    ManualClockScope& operator=(const ManualClockScope&) = delete;

    void Advance(double seconds) { clock_.Advance(seconds); }
    platform::ManualClock& Clock() { return clock_; }

private:
    platform::ManualClock clock_;
};

// The whole contents of a file as a string ("" when it cannot be read).
std::string ReadTextFile(const std::filesystem::path& path);

// Writes bytes to path, making its folders first.
void WriteBinaryFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Files a damaged or hostile data directory may hold in place of a data file:
// a named pipe (a reader that opens it waits for a writer), and a sparse file
// of the given size (it takes no disk space).
void MakePipe(const std::filesystem::path& path);
void MakeSparseFile(const std::filesystem::path& path, std::uintmax_t bytes);

// Catches every message box shown while it lives, as (text, title).
class MessageCatcher {
public:
    MessageCatcher();
    ~MessageCatcher();
    MessageCatcher(const MessageCatcher&) = delete;
    MessageCatcher& operator=(const MessageCatcher&) = delete;

    std::vector<std::pair<std::string, std::string>> messages;
};

// The network's ports moved to a test's own range from portBase (receive
// ports and announcements on the first twenty, the game port 50 up), with
// announcements to 127.255.255.255, so tests side by side never meet.
NetConfig LoopbackNetConfig(std::uint16_t portBase);

// Each coordinate within a relative epsilon of the expected one.
void CheckNear(const Vec3& actual, const Vec3& expected, double epsilon = 1e-4);

// The height at (x, z) of whichever of the terrain's indexed triangles holds
// it, worked out from the triangles alone; false when none does.
bool DrawnHeightAt(const Terrain& terrain, float x, float z, float& height);

// A test that had to leave some of its checks out (no GL device for its
// pixels, say) says so: when nothing failed, the test program then ends with
// kSkippedExitCode rather than 0, which ctest reports as a skip, not a pass.
inline constexpr int kSkippedExitCode = 77;
void ReportSkipped();
bool ChecksWereSkipped();

} // namespace testing
