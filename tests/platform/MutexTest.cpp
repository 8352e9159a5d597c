#include "platform/Mutex.h"

#include <doctest/doctest.h>

#include <thread>

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
}
