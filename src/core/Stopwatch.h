// Stopwatch functions: seconds on the high-resolution clock since a start
// value the caller keeps (one value per thing measured).
#pragma once

#include <cstdint>

// Stores the current counter in value.
void TimerStart(std::int64_t& value);
// Seconds since value; value is unchanged.
float TimerElapsed(std::int64_t value);
// Seconds since value, and value becomes the current counter.
float TimerLap(std::int64_t& value);
