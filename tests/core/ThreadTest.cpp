#include "core/Thread.h"

#include <doctest/doctest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

// A body that loops until stopped, counting its runs; it can be held inside
// a "blocking call" until the test releases it.
class CountingThread : public Thread {
public:
    ~CountingThread() override { Close(); }

    std::atomic<int> runs{0};
    std::atomic<int> passes{0};
    std::atomic<bool> sawStopAfterRelease{false};
    bool block = false;

    void Release()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        wake_.notify_all();
    }
    void WaitUntilBlocked()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return blocked_; });
    }

protected:
    void Run() override
    {
        ++runs;
        while (GetState() != kStop) {
            ++passes;
            if (block) {
                std::unique_lock<std::mutex> lock(mutex_);
                blocked_ = true;
                wake_.notify_all();
                wake_.wait(lock, [this] { return released_; });
                sawStopAfterRelease = GetState() == kStop;
            }
            std::this_thread::yield();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool blocked_ = false;
    bool released_ = false;
};

class FailingThread : public Thread {
protected:
    void Run() override {}
    bool LaunchWorker() override { return false; }
};

} // namespace

TEST_CASE("a thread runs its body until stopped and is joined by Close")
{
    CountingThread thread;
    CHECK(thread.GetState() == Thread::kNew);
    CHECK(thread.IsFinished());
    REQUIRE(thread.Start());
    CHECK_FALSE(thread.IsFinished());
    while (thread.passes == 0) {
        std::this_thread::yield();
    }
    thread.RequestStop();
    thread.Close();
    CHECK(thread.GetState() == Thread::kStop);
    CHECK(thread.IsFinished());
    CHECK_FALSE(thread.IsBodyRunning());
    CHECK(thread.runs == 1);

    SUBCASE("a closed thread starts again with a new body")
    {
        REQUIRE(thread.Start());
        CHECK(thread.GetState() == Thread::kRunning);
        thread.Close();
        CHECK(thread.runs == 2);
    }
    SUBCASE("Close without a thread changes nothing")
    {
        thread.Close();
        CHECK(thread.GetState() == Thread::kStop);
        CHECK(thread.runs == 1);
    }
}

TEST_CASE("starting a running thread does not start a second body")
{
    CountingThread thread;
    REQUIRE(thread.Start());
    CHECK_FALSE(thread.Start());
    thread.Close();
    CHECK(thread.runs == 1);
}

TEST_CASE("a body inside a blocking call sees the stop only when the call returns")
{
    CountingThread thread;
    thread.block = true;
    REQUIRE(thread.Start());
    thread.WaitUntilBlocked();
    thread.RequestStop();
    CHECK(thread.IsBodyRunning());
    thread.Release();
    thread.Close();
    CHECK(thread.sawStopAfterRelease);
    CHECK_FALSE(thread.IsBodyRunning());
}

TEST_CASE("a thread that cannot be created is left stopped and finished")
{
    FailingThread thread;
    CHECK_FALSE(thread.Start());
    CHECK(thread.GetState() == Thread::kStop);
    CHECK(thread.IsFinished());
}
