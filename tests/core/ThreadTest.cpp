#include "core/Thread.h"

#include <doctest/doctest.h>

#include <atomic>

namespace {

// A body that loops until stopped, counting its runs and passes; while
// `hold` is set it waits inside a pass, as in a blocking call.
class CountingThread : public Thread {
public:
    ~CountingThread() override { Close(); }

    std::atomic<int> runs{0};
    std::atomic<int> passes{0};
    std::atomic<bool> hold{false};

    void WaitForPass()
    {
        while (passes == 0) {
            std::this_thread::yield();
        }
    }

protected:
    void Run() override
    {
        ++runs;
        while (GetState() != kStop) {
            ++passes;
            while (hold) {
                std::this_thread::yield();
            }
        }
    }
};

class FailingThread : public Thread {
protected:
    void Run() override {}
    bool LaunchWorker() override { return false; }
};

} // namespace

TEST_CASE("a thread runs its body until stopped, is joined by Close and starts only once at a time")
{
    CountingThread thread;
    CHECK(thread.GetState() == Thread::kNew);
    CHECK(thread.IsFinished());
    REQUIRE(thread.Start());
    CHECK_FALSE(thread.Start());
    CHECK_FALSE(thread.IsFinished());
    thread.WaitForPass();
    thread.RequestStop();
    thread.Close();
    CHECK(thread.GetState() == Thread::kStop);
    CHECK(thread.IsFinished());
    CHECK_FALSE(thread.IsBodyRunning());
    CHECK(thread.runs == 1);
    thread.Close(); // without a thread: changes nothing
    CHECK(thread.GetState() == Thread::kStop);

    // A closed thread starts again with a new body.
    REQUIRE(thread.Start());
    CHECK(thread.GetState() == Thread::kRunning);
    thread.Close();
    CHECK(thread.runs == 2);
}

TEST_CASE("a body inside a blocking call sees the stop only when the call returns")
{
    CountingThread thread;
    thread.hold = true;
    REQUIRE(thread.Start());
    thread.WaitForPass();
    thread.RequestStop();
    CHECK(thread.IsBodyRunning());
    thread.hold = false;
    thread.Close();
    CHECK(thread.passes == 1);
    CHECK_FALSE(thread.IsBodyRunning());
}

TEST_CASE("a thread that cannot be created is left stopped and finished")
{
    FailingThread thread;
    CHECK_FALSE(thread.Start());
    CHECK(thread.GetState() == Thread::kStop);
    CHECK(thread.IsFinished());
}
