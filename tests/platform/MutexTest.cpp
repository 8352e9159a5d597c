#include "platform/Mutex.h"

#include <doctest/doctest.h>

#include <thread>
#include <vector>

TEST_CASE("a mutex lock excludes other threads, is re-entrant and ends with its scope")
{
    Mutex mutex;
    {
        MutexLock outer(mutex);
        MutexLock inner(mutex); // the same thread may take it again
        bool otherGotIt = true;
        std::thread other([&] { otherGotIt = mutex.TryLock(); });
        other.join();
        CHECK_FALSE(otherGotIt);
    }
    bool otherGotIt = false;
    std::thread other([&] {
        otherGotIt = mutex.TryLock();
        if (otherGotIt) {
            mutex.Unlock();
        }
    });
    other.join();
    CHECK(otherGotIt);

    SUBCASE("counts kept under the lock by several threads add up")
    {
        long total = 0;
        std::vector<std::thread> workers;
        for (int t = 0; t < 4; ++t) {
            workers.emplace_back([&] {
                for (int i = 0; i < 10000; ++i) {
                    const MutexLock lock(mutex);
                    ++total;
                }
            });
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
        CHECK(total == 40000);
    }
}
