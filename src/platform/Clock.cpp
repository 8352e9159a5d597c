// Real and manual clocks, and the installed-clock pointer.
#include "platform/Clock.h"

#include <cmath>
#include <ctime>

namespace platform {

std::int64_t RealClock::Now() const
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void ManualClock::Advance(double seconds)
{
    ticks_ += static_cast<std::int64_t>(std::llround(seconds * 1e9));
}

namespace {
const RealClock g_realClock;
const Clock* g_clock = &g_realClock;
} // namespace

const Clock& GetClock()
{
    return *g_clock;
}

void SetClock(const Clock* clock)
{
    g_clock = clock ? clock : &g_realClock;
}

} // namespace platform
