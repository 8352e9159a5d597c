#include "platform/NullEventPump.h"
#include "platform/QuitRequest.h"

#include <doctest/doctest.h>

#include <csignal>

TEST_CASE("quit requests are reported once, signals with code 0")
{
    platform::InstallQuitSignalHandlers();
    platform::NullEventPump pump;

    SUBCASE("nothing pending")
    {
        CHECK_FALSE(platform::TakePendingQuit().has_value());
        CHECK_FALSE(pump.Pump().quit);
    }

    SUBCASE("a posted quit carries its code and is taken once")
    {
        platform::PostQuit(3);
        const platform::PumpResult first = pump.Pump();
        CHECK(first.quit);
        CHECK(first.exitCode == 3);
        CHECK_FALSE(pump.Pump().quit);
    }

    SUBCASE("SIGTERM becomes quit code 0")
    {
        std::raise(SIGTERM);
        const platform::PumpResult result = pump.Pump();
        CHECK(result.quit);
        CHECK(result.exitCode == 0);
        CHECK_FALSE(pump.Pump().quit);
    }

    SUBCASE("SIGINT becomes quit code 0")
    {
        std::raise(SIGINT);
        CHECK(platform::TakePendingQuit() == 0);
    }

    SUBCASE("a posted code wins over a signal in the same pass")
    {
        std::raise(SIGTERM);
        platform::PostQuit(4);
        CHECK(platform::TakePendingQuit() == 4);
        CHECK_FALSE(platform::TakePendingQuit().has_value());
    }
}
