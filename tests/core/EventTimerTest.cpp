#include "core/EventTimer.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<int> g_fired;

void Record(TimerWord first, TimerWord)
{
    g_fired.push_back(static_cast<int>(first));
}

// Fresh timers on a manual clock; Frame moves time on and ticks them.
struct Fixture {
    Fixture()
    {
        g_fired.clear();
        timer->Restart();
    }
    void Frame(double seconds)
    {
        clock.Advance(seconds);
        timer->Update();
    }
    testing::ManualClockScope clock;
    EventTimer* timer = EventTimer::Instance();
};

std::uint32_t g_selfId = kNoTimer;
std::uint32_t g_otherId = kNoTimer;

void RemoveSelfAndOther(TimerWord, TimerWord)
{
    g_fired.push_back(100);
    EventTimer::Instance()->RemoveTimer(g_selfId);
    EventTimer::Instance()->RemoveTimer(g_otherId);
    EventTimer::Instance()->AddTimer(0.05, false, Record, 200, 0);
}

} // namespace

TEST_CASE_FIXTURE(Fixture, "timers fire after their intervals, in order, across pauses and changes from callbacks")
{
    // A pause counts in full at the first update after resuming.
    timer->AddTimer(2.0, false, Record, 1, 0);
    Frame(0.5);
    timer->Pause();
    Frame(3.0);
    CHECK(g_fired.empty());
    timer->Resume();
    Frame(0.01);
    CHECK(g_fired == std::vector<int>{1});
    CHECK(timer->ElapsedSeconds() == doctest::Approx(3.01));

    // A one-shot timer fires once, strictly after its interval.
    g_fired.clear();
    timer->AddTimer(0.5, false, Record, 7, 0);
    timer->AddTimer(0.0, false, Record, 3, 0);
    timer->Update(); // no time has passed: not even an interval of zero is over
    CHECK(g_fired.empty());
    Frame(0.25);
    Frame(0.25); // exactly 0.5 accumulated: not yet due
    CHECK(g_fired == std::vector<int>{3});
    Frame(0.01);
    CHECK(g_fired == std::vector<int>{3, 7});
    CHECK(timer->TimerCount() == 0);
    Frame(1.0);
    CHECK(g_fired.size() == 2);

    // Timers due in one frame run in the order added, and may add and remove timers, their own included.
    g_fired.clear();
    g_selfId = timer->AddTimer(0.1, true, RemoveSelfAndOther, 0, 0);
    g_otherId = timer->AddTimer(0.05, true, Record, 2, 0); // due sooner, added later
    Frame(0.2);
    // The second callback was collected in the same walk, so it still runs.
    CHECK(g_fired == std::vector<int>{100, 2});
    CHECK(timer->TimerCount() == 1);
    Frame(0.2);
    CHECK(g_fired == std::vector<int>{100, 2, 200});
    CHECK(timer->TimerCount() == 0);

    // An interval that is negative or not a finite number is refused, and so is a stale id.
    g_fired.clear();
    timer->Restart(); // so the stale id is the first a fresh run gives
    const std::uint32_t stale = timer->AddTimer(10.0, false, Record, 1, 0);
    timer->Restart();
    for (const double interval : {-0.5, std::nan(""), std::numeric_limits<double>::infinity()}) {
        CAPTURE(interval);
        CHECK(timer->AddTimer(interval, true, Record, 9, 0) == kNoTimer);
    }
    // An id from before the restart removes nothing of the timers after it.
    timer->AddTimer(1.0, false, Record, 3, 0);
    timer->RemoveTimer(stale);
    timer->RemoveTimer(kNoTimer);
    timer->Update(); // no time has passed: nothing fires
    CHECK(g_fired.empty());
    Frame(1.5);
    CHECK(g_fired == std::vector<int>{3});

    // A repeating timer fires at most once a frame and restarts from zero, dropping the overshoot.
    g_fired.clear();
    timer->AddTimer(1.0, true, Record, 1, 0);
    Frame(4.5);
    CHECK(g_fired.size() == 1);
    Frame(0.6);
    Frame(0.3); // 0.9: not yet, the 3.5 overshoot was dropped
    CHECK(g_fired.size() == 1);
    Frame(0.2);
    CHECK(g_fired.size() == 2);
}
