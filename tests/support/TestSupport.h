// Helpers shared by the tests: a private working directory, the generated data
// tree, and a manual clock installed for the length of a test.
#pragma once

#include "platform/Clock.h"

#include <filesystem>
#include <string>

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

} // namespace testing
