#include "platform/NullEventPump.h"
#include "platform/QuitRequest.h"

#include <doctest/doctest.h>

#include <csignal>
#include <optional>

TEST_CASE("quit requests are reported once, signals with code 0, the first failure of a pass winning")
{
    platform::InstallQuitSignalHandlers();
    platform::NullEventPump pump;
    CHECK_FALSE(pump.Pump().quit);

    platform::PostQuit(3);
    CHECK(pump.Pump().exitCode == 3);
    CHECK_FALSE(pump.Pump().quit);

    // SIGHUP is the terminal closing: the game quits as for the other two.
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        CAPTURE(signal);
        std::raise(signal);
        const platform::PumpResult result = pump.Pump();
        CHECK(result.quit);
        CHECK(result.exitCode == 0);
        CHECK_FALSE(platform::TakePendingQuit().has_value());
    }

    // A posted code wins over a signal in the same pass; a failure is not
    // overwritten by a later quit, and replaces an earlier success.
    std::raise(SIGTERM);
    platform::PostQuit(4);
    CHECK(platform::TakePendingQuit() == std::optional<int>(4));
    platform::PostQuit(1);
    platform::PostQuit(0);
    platform::PostQuit(2);
    CHECK(platform::TakePendingQuit() == std::optional<int>(1));
    platform::PostQuit(0);
    platform::PostQuit(5);
    CHECK(platform::TakePendingQuit() == std::optional<int>(5));
    CHECK_FALSE(platform::TakePendingQuit().has_value());
}
