#include "core/ErrorLog.h"
#include "core/ReportRegistry.h"
#include "platform/SystemTime.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

namespace {

struct FixedTime {
    FixedTime() { platform::SetLocalTimeOverride(platform::LocalTime{2005, 4, 21, 9, 5, 7}); }
    ~FixedTime() { platform::SetLocalTimeOverride(std::nullopt); }
};

} // namespace

TEST_CASE("log entries are written in the documented format, appended, and counted under registered names")
{
    testing::TempDirectory dir;
    FixedTime time;
    ReportRegistry* registry = ReportRegistry::Get();
    registry->Add("Physics.txt");
    registry->Add("missing/dir/x.txt");
    ErrorLog("Physics.txt", true).Warning("text");
    ErrorLog("Physics.txt", false).Error("Could not Create Window");
    ErrorLog("Physics.txt", false).Warning("two");
    ErrorLog("Physics.txt", false).Note("not counted");
    ErrorLog("Unknown.txt", false).Warning("no record");
    CHECK_NOTHROW(ErrorLog("missing/dir/x.txt", true).Error("lost"));

    CHECK(testing::ReadTextFile("Physics.txt") ==
          "\n4/21/2005 9:05:07 Warning: text\nError: Could not Create Window\nWarning: two\nNote: not counted");
    REQUIRE(registry->Find("Physics.txt"));
    CHECK(registry->Find("Physics.txt")->warnings == 2);
    CHECK(registry->Find("Physics.txt")->errors == 1);
    CHECK(registry->Find("missing/dir/x.txt")->errors == 1);
    CHECK(registry->Find("Unknown.txt") == nullptr);
    CHECK_FALSE(registry->Finish());
    registry->Clear();
    CHECK(registry->Find("Physics.txt") == nullptr);

    // Late evening keeps two-digit minutes and seconds only.
    platform::SetLocalTimeOverride(platform::LocalTime{2026, 12, 6, 23, 0, 9});
    CHECK(ErrorLog::FormatTimeStamp() == "12/6/2026 23:00:09");
}
