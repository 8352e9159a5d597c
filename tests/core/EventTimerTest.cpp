#include "core/EventTimer.h"
#include "core/Stopwatch.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <vector>

namespace {

std::vector<int> g_fired;

void Record(TimerWord first, TimerWord)
{
    g_fired.push_back(static_cast<int>(first));
}

struct Fixture {
    Fixture()
    {
        g_fired.clear();
        EventTimer::Instance()->Restart();
    }
    testing::ManualClockScope clock;
};

void Frame(testing::ManualClockScope& clock, double seconds)
{
    clock.Advance(seconds);
    EventTimer::Instance()->Update();
}

} // namespace

TEST_CASE("a one-shot timer fires once, strictly after its interval")
{
    Fixture f;
    EventTimer* timer = EventTimer::Instance();
    timer->AddTimer(0.5, false, Record, 7, 0);

    Frame(f.clock, 0.25);
    Frame(f.clock, 0.25); // exactly 0.5 accumulated: not yet due
    CHECK(g_fired.empty());
    Frame(f.clock, 0.01);
    CHECK(g_fired == std::vector<int>{7});
    CHECK(timer->TimerCount() == 0);
    Frame(f.clock, 1.0);
    CHECK(g_fired.size() == 1);
}

TEST_CASE("a repeating timer restarts from zero and drops the overshoot")
{
    Fixture f;
    EventTimer::Instance()->AddTimer(1.0, true, Record, 1, 0);

    Frame(f.clock, 0.6);
    Frame(f.clock, 0.6); // 1.2 > 1.0: fires, counts again from 0
    CHECK(g_fired.size() == 1);
    Frame(f.clock, 0.6);
    Frame(f.clock, 0.3); // 0.9: not yet, the 0.2 overshoot was dropped
    CHECK(g_fired.size() == 1);
    Frame(f.clock, 0.2);
    CHECK(g_fired.size() == 2);
}

TEST_CASE("a repeating timer fires at most once per frame")
{
    Fixture f;
    EventTimer::Instance()->AddTimer(0.1, true, Record, 1, 0);
    Frame(f.clock, 5.0);
    CHECK(g_fired.size() == 1);
}

TEST_CASE("an interval of zero fires on the first update with time elapsed")
{
    Fixture f;
    EventTimer::Instance()->AddTimer(0.0, false, Record, 3, 0);
    EventTimer::Instance()->Update(); // no time has passed
    CHECK(g_fired.empty());
    Frame(f.clock, 0.001);
    CHECK(g_fired == std::vector<int>{3});
}

TEST_CASE("timers due in the same frame run in the order they were added")
{
    Fixture f;
    EventTimer* timer = EventTimer::Instance();
    timer->AddTimer(0.3, false, Record, 1, 0);
    timer->AddTimer(0.1, false, Record, 2, 0);
    timer->AddTimer(0.2, true, Record, 3, 0);
    Frame(f.clock, 0.5);
    CHECK(g_fired == std::vector<int>{1, 2, 3});
}

namespace {

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

TEST_CASE("callbacks may add and remove timers, their own included")
{
    Fixture f;
    EventTimer* timer = EventTimer::Instance();
    g_selfId = timer->AddTimer(0.1, true, RemoveSelfAndOther, 0, 0);
    g_otherId = timer->AddTimer(0.1, true, Record, 2, 0);

    Frame(f.clock, 0.2);
    // The second callback was collected in the same walk, so it still runs
    // although the first removed its entry.
    CHECK(g_fired == std::vector<int>{100, 2});
    CHECK(timer->TimerCount() == 1);
    Frame(f.clock, 0.2);
    CHECK(g_fired == std::vector<int>{100, 2, 200});
    CHECK(timer->TimerCount() == 0);
}

TEST_CASE("timer ids are never handed out twice")
{
    Fixture f;
    EventTimer* timer = EventTimer::Instance();
    const std::uint32_t first = timer->AddTimer(10.0, false, Record, 1, 0);
    const std::uint32_t second = timer->AddTimer(10.0, false, Record, 2, 0);
    CHECK(second != first);

    timer->Restart();
    const std::uint32_t afterRestart = timer->AddTimer(1.0, false, Record, 3, 0);
    CHECK(afterRestart != first);
    CHECK(afterRestart != second);

    SUBCASE("removing a stale id leaves the new timer alone")
    {
        timer->RemoveTimer(first);
        timer->RemoveTimer(12345);
        CHECK(timer->TimerCount() == 1);
        Frame(f.clock, 1.5);
        CHECK(g_fired == std::vector<int>{3});
    }
}

TEST_CASE("pointer-sized callback words carry a pointer through")
{
    Fixture f;
    static int target = 0;
    const auto increment = [](TimerWord first, TimerWord second) {
        *reinterpret_cast<int*>(first) += static_cast<int>(second);
    };
    EventTimer::Instance()->AddTimer(0.0, false, increment, reinterpret_cast<TimerWord>(&target), 5);
    Frame(f.clock, 0.1);
    CHECK(target == 5);
}

TEST_CASE("a pause counts in full at the first update after resuming")
{
    Fixture f;
    EventTimer* timer = EventTimer::Instance();
    timer->AddTimer(2.0, false, Record, 1, 0);
    Frame(f.clock, 0.5);
    timer->Pause();
    Frame(f.clock, 3.0);
    CHECK(g_fired.empty());
    timer->Resume();
    Frame(f.clock, 0.01);
    CHECK(g_fired == std::vector<int>{1});
    CHECK(timer->ElapsedSeconds() == doctest::Approx(3.01));
}

TEST_CASE("stopwatch elapsed keeps the start and lap restarts it")
{
    testing::ManualClockScope clock;
    std::int64_t start = 0;
    TimerStart(start);
    clock.Advance(0.25);
    CHECK(TimerElapsed(start) == doctest::Approx(0.25f));
    CHECK(TimerElapsed(start) == doctest::Approx(0.25f));
    CHECK(TimerLap(start) == doctest::Approx(0.25f));
    CHECK(TimerElapsed(start) == doctest::Approx(0.0f));
    clock.Advance(1.0 / 60.0);
    CHECK(TimerLap(start) == doctest::Approx(1.0f / 60.0f));
}
