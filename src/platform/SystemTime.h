// Wall-clock services: the local calendar time (for log stamps and seeding)
// and sleeping. Game timing never uses these; it reads platform::GetClock.
#pragma once

#include <cstdint>
#include <optional>

namespace platform {

struct LocalTime {
    int year = 0;  // four digits
    int month = 0; // 1-12
    int day = 0;   // 1-31
    int hour = 0;  // 0-23
    int minute = 0;
    int second = 0;
};

LocalTime GetLocalTime();
// Tests pin the local time; std::nullopt returns to the real one.
void SetLocalTimeOverride(std::optional<LocalTime> fixed);

// Seconds since the epoch, for seeding the generator at start-up.
std::int64_t GetUnixTime();

void SleepMilliseconds(int milliseconds);

} // namespace platform
