// Stopwatch functions over the platform clock. Differences are taken in
// 64-bit ticks and only then turned into seconds, so long runs keep precision.
#include "core/Stopwatch.h"

#include "platform/Clock.h"

namespace {

float SecondsBetween(std::int64_t from, std::int64_t to)
{
    const platform::Clock& clock = platform::GetClock();
    return static_cast<float>(static_cast<double>(to - from) / static_cast<double>(clock.Frequency()));
}

} // namespace

void TimerStart(std::int64_t& value)
{
    value = platform::GetClock().Now();
}

float TimerElapsed(std::int64_t value)
{
    return SecondsBetween(value, platform::GetClock().Now());
}

float TimerLap(std::int64_t& value)
{
    const std::int64_t now = platform::GetClock().Now();
    const float seconds = SecondsBetween(value, now);
    value = now;
    return seconds;
}
