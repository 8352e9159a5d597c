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

TEST_CASE("log entries are written in the documented format and appended")
{
    testing::TempDirectory dir;
    FixedTime time;

    SUBCASE("a stamped warning")
    {
        ErrorLog("Physics.txt", true).Warning("text");
        CHECK(testing::ReadTextFile("Physics.txt") == "\n4/21/2005 9:05:07 Warning: text");
    }
    SUBCASE("an error without a stamp")
    {
        ErrorLog("guiWindow.txt", false).Error("Could not Create Window");
        CHECK(testing::ReadTextFile("guiWindow.txt") == "\nError: Could not Create Window");
    }
    SUBCASE("every entry survives, each from its own short-lived log")
    {
        ErrorLog("Physical.txt", false).Warning("one");
        ErrorLog("Physical.txt", false).Warning("two");
        ErrorLog("Physical.txt", false).Note("three");
        CHECK(testing::ReadTextFile("Physical.txt") == "\nWarning: one\nWarning: two\nNote: three");
    }
    SUBCASE("late evening keeps two-digit minutes and seconds only")
    {
        platform::SetLocalTimeOverride(platform::LocalTime{2026, 12, 6, 23, 0, 9});
        CHECK(ErrorLog::FormatTimeStamp() == "12/6/2026 23:00:09");
    }
}

TEST_CASE("a log that cannot be opened is counted but not written, and does not throw")
{
    testing::TempDirectory dir;
    ReportRegistry::Get()->Add("missing/dir/x.txt");
    CHECK_NOTHROW(ErrorLog("missing/dir/x.txt", true).Error("lost"));
    CHECK(ReportRegistry::Get()->Find("missing/dir/x.txt")->errors == 1);
}

TEST_CASE("the registry counts only under names it holds")
{
    testing::TempDirectory dir;
    ReportRegistry* registry = ReportRegistry::Get();
    registry->Add("Physics.txt");
    ErrorLog("Physics.txt", false).Warning("a");
    ErrorLog("Physics.txt", false).Warning("b");
    ErrorLog("Physics.txt", false).Error("c");
    ErrorLog("Physics.txt", false).Note("not counted");
    ErrorLog("Unknown.txt", false).Warning("no record");
    const ReportRecord* record = registry->Find("Physics.txt");
    REQUIRE(record);
    CHECK(record->warnings == 2);
    CHECK(record->errors == 1);
    CHECK(registry->Find("Unknown.txt") == nullptr);
    CHECK_FALSE(registry->Finish());
    registry->Clear();
    CHECK(registry->Find("Physics.txt") == nullptr);
}
