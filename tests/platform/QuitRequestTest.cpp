#include "platform/NullEventPump.h"
#include "platform/QuitRequest.h"

#include <doctest/doctest.h>

#include <csignal>

TEST_CASE("quit requests are reported once, signals with code 0")
{
    platform::InstallQuitSignalHandlers();
    platform::NullEventPump pump;
    CHECK_FALSE(pump.Pump().quit);

    platform::PostQuit(3);
    const platform::PumpResult posted = pump.Pump();
    CHECK(posted.quit);
    CHECK(posted.exitCode == 3);
    CHECK_FALSE(pump.Pump().quit);

    for (const int signal : {SIGTERM, SIGINT}) {
        CAPTURE(signal);
        std::raise(signal);
        const platform::PumpResult result = pump.Pump();
        CHECK(result.quit);
        CHECK(result.exitCode == 0);
        CHECK_FALSE(platform::TakePendingQuit().has_value());
    }

    // A posted code wins over a signal in the same pass.
    std::raise(SIGTERM);
    platform::PostQuit(4);
    CHECK(platform::TakePendingQuit() == 4);
    CHECK_FALSE(platform::TakePendingQuit().has_value());
}
