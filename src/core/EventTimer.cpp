// EventTimer: due callbacks are collected during the walk over the entries and
// called only after it, so a callback may add or remove timers (its own too)
// without disturbing the walk.
//
// Ids come from one counter for the whole process and are never handed out
// twice, even across Restart: a holder that keeps a stale id can then never
// remove somebody else's newer timer by mistake.
#include "core/EventTimer.h"

#include "platform/Clock.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
std::uint32_t g_nextTimerId = 0;
}

EventTimer::EventTimer()
{
    Reset();
}

void EventTimer::Update()
{
    if (paused_) {
        return;
    }
    now_ = platform::GetClock().Now();
    delta_ = now_ - last_;
    last_ = now_;

    const double seconds = ElapsedSeconds();
    std::vector<TimerCallback> due;
    for (auto entry = entries_.begin(); entry != entries_.end();) {
        entry->accumulated += seconds;
        if (entry->accumulated <= entry->interval) {
            ++entry;
            continue;
        }
        due.push_back(entry->callback);
        if (entry->repeat) {
            // Set back to zero rather than reduced by the interval: the time
            // beyond the interval is dropped, as the frame clock always has.
            entry->accumulated = 0.0;
            ++entry;
        } else {
            entry = entries_.erase(entry);
        }
    }
    for (const TimerCallback& callback : due) {
        if (callback.function) {
            callback.function(callback.first, callback.second);
        }
    }
}

std::uint32_t EventTimer::AddTimer(double interval, bool repeat, TimerFunction function, TimerWord first,
                                   TimerWord second)
{
    // A negative or NaN interval would be over on a frame where no time
    // passed, an infinite one never: none of them is a timer anybody meant.
    if (!std::isfinite(interval) || interval < 0.0) {
        return kNoTimer;
    }
    TimerEntry entry;
    entry.interval = interval;
    entry.repeat = repeat;
    entry.callback = {function, first, second};
    entry.id = g_nextTimerId++;
    if (g_nextTimerId == kNoTimer) {
        g_nextTimerId = 0; // four billion timers later; skip the "no timer" value
    }
    entries_.push_back(entry);
    return entry.id;
}

void EventTimer::RemoveTimer(std::uint32_t id)
{
    entries_.remove_if([id](const TimerEntry& entry) { return entry.id == id; });
}

bool EventTimer::HasTimer(std::uint32_t id) const
{
    return std::ranges::any_of(entries_, [id](const TimerEntry& entry) { return entry.id == id; });
}

void EventTimer::ClearTimers()
{
    entries_.clear();
}

void EventTimer::Reset()
{
    now_ = platform::GetClock().Now();
    last_ = now_;
    delta_ = 0;
}

void EventTimer::Restart()
{
    Reset();
    ClearTimers();
}

double EventTimer::ElapsedSeconds() const
{
    return static_cast<double>(delta_) / static_cast<double>(platform::GetClock().Frequency());
}
