#include "platform/Mutex.h"

#include <doctest/doctest.h>

#include <thread>

TEST_CASE("a mutex lock is re-entrant for its thread, excludes the others and ends with its scope")
{
    Mutex mutex;
    const auto otherThreadGetsIt = [&mutex] {
        bool got = false;
        std::thread other([&] {
            got = mutex.TryLock();
            if (got) {
                mutex.Unlock();
            }
        });
        other.join();
        return got;
    };
    {
        const MutexLock outer(mutex);
        const MutexLock inner(mutex); // a handler reached from code under the lock takes it again
        CHECK_FALSE(otherThreadGetsIt());
    }
    CHECK(otherThreadGetsIt());
}
