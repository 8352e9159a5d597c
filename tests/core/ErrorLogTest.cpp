#include "core/ErrorLog.h"
#include "core/ReportRegistry.h"
#include "platform/SystemTime.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

namespace {

struct FixedTime {
    FixedTime() { platform::SetLocalTimeOverride(platform::LocalTime{2005, 4, 21, 9, 5, 7}); }
    ~FixedTime() { platform::SetLocalTimeOverride(std::nullopt); }
};

// What write sends to standard error.
std::string StandardErrorOf(const std::function<void()>& write)
{
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int file = ::open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    REQUIRE(file >= 0);
    ::dup2(file, STDERR_FILENO);
    ::close(file);
    write();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    return testing::ReadTextFile("stderr.txt");
}

} // namespace

TEST_CASE("log entries are written in the documented format and counted, or go to standard error")
{
    testing::TempDirectory dir;
    FixedTime time;

    // A file that cannot be written sends each entry to standard error as one line.
    // Players meet this as a read-only data directory. These fail to open
    // the same way, and for every user: root writes into read-only folders.
    testing::MakePipe("Pipe.txt");
    const std::string written = StandardErrorOf([] {
        ErrorLog("Missing/Sound.txt", true).Warning("first");
        ErrorLog("Pipe.txt", false).Note("second, without waiting for a reader");
    });
    CHECK(written == "Missing/Sound.txt: 4/21/2005 9:05:07 Warning: first\n"
                     "Pipe.txt: Note: second, without waiting for a reader\n");

    // Appended to the file, counted under registered names only.
    ReportRegistry* registry = ReportRegistry::Get();
    registry->Add("Physics.txt");
    registry->Add("missing/dir/x.txt");
    ErrorLog("Physics.txt", true).Warning("text");
    ErrorLog("Physics.txt", false).Error("Could not Create Window");
    ErrorLog("Physics.txt", false).Note("not counted");
    ErrorLog("Unknown.txt", false).Warning("no record");
    ErrorLog("missing/dir/x.txt", true).Error("counted");

    CHECK(testing::ReadTextFile("Physics.txt") ==
          "\n4/21/2005 9:05:07 Warning: text\nError: Could not Create Window\nNote: not counted");
    REQUIRE(registry->Find("Physics.txt"));
    CHECK(registry->Find("Physics.txt")->warnings == 1);
    CHECK(registry->Find("Physics.txt")->errors == 1);
    CHECK(registry->Find("missing/dir/x.txt")->errors == 1);
    CHECK(registry->Find("Unknown.txt") == nullptr);
    CHECK_FALSE(registry->Finish());

    // Late evening keeps two-digit minutes and seconds only.
    platform::SetLocalTimeOverride(platform::LocalTime{2026, 12, 6, 23, 0, 9});
    CHECK(ErrorLog::FormatTimeStamp() == "12/6/2026 23:00:09");
}
