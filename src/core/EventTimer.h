// The frame clock with timed callbacks. Ticked once per frame from the menu and
// match frames; entries fire once or repeatedly after an interval, identified
// by the id AddTimer returns.
#pragma once

#include "core/Singleton.h"

#include <cstdint>
#include <list>

// Callback argument words are pointer-sized: callers pass small numbers or
// pointers through them.
using TimerWord = std::uintptr_t;
using TimerFunction = void (*)(TimerWord first, TimerWord second);

struct TimerCallback {
    TimerFunction function = nullptr;
    TimerWord first = 0;
    TimerWord second = 0;
};

struct TimerEntry {
    double interval = 0.0;
    double accumulated = 0.0;
    bool repeat = false;
    TimerCallback callback;
    std::uint32_t id = 0;
};

// Holders of an id keep this to mean "no timer".
inline constexpr std::uint32_t kNoTimer = 0xFFFFFFFFu;

class EventTimer : public Singleton<EventTimer> {
    friend class Singleton<EventTimer>;

public:
    // Tick the clock and run every entry that fell due, in the order added.
    void Update();

    // Seconds of interval, at least 0 and finite; any other interval is
    // refused with kNoTimer and nothing is added.
    std::uint32_t AddTimer(double interval, bool repeat, TimerFunction function, TimerWord first, TimerWord second);
    void RemoveTimer(std::uint32_t id);
    void ClearTimers();

    // Restart the clock from now without touching the entries.
    void Reset();
    // Reset and clear every entry.
    void Restart();

    // Seconds between the last two ticks.
    double ElapsedSeconds() const;

    void Pause() { paused_ = true; }
    void Resume() { paused_ = false; }

    std::size_t TimerCount() const { return entries_.size(); }
    // Whether the timer with this id is still waiting to fire (a one-shot that
    // fired, a removed one and every one before a Restart are not).
    bool HasTimer(std::uint32_t id) const;

private:
    EventTimer();

    std::int64_t last_ = 0;
    std::int64_t now_ = 0;
    std::int64_t delta_ = 0;
    std::list<TimerEntry> entries_;
    bool paused_ = false;
};
