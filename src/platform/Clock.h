// The one source of high-resolution time. Every stopwatch, the event timer and
// all timed game logic read the clock installed here: the real monotonic clock
// while the game runs, or a manual clock that tests advance by exact steps.
#pragma once

#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Counter value in ticks; only differences are meaningful.
    virtual std::int64_t Now() const = 0;
    // Ticks per second, constant for the life of the clock.
    virtual std::int64_t Frequency() const = 0;
};

// CLOCK_MONOTONIC in nanoseconds.
class RealClock final : public Clock {
public:
    std::int64_t Now() const override;
    std::int64_t Frequency() const override { return 1'000'000'000; }
};

// A clock that stands still until told to move; tests drive frames with it.
class ManualClock final : public Clock {
public:
    std::int64_t Now() const override { return ticks_; }
    std::int64_t Frequency() const override { return 1'000'000'000; }
    void Advance(double seconds);
    void AdvanceTicks(std::int64_t ticks) { ticks_ += ticks; }

private:
    std::int64_t ticks_ = 1'000'000'000;
};

// The installed clock (the real one unless a test installed another).
const Clock& GetClock();
// Installs a clock the caller keeps alive; nullptr restores the real clock.
void SetClock(const Clock* clock);

} // namespace platform
