#include "core/Thread.h"

#include <doctest/doctest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

// An owner whose body works on its own members, as the network's loops do:
// it counts its runs and passes into a buffer; while `hold` is set it waits
// inside a pass, as in a blocking call. The thread is declared last.
struct Worker {
    std::atomic<int> runs{0};
    std::atomic<int> passes{0};
    std::atomic<bool> hold{false};
    std::vector<int> received;
    Thread thread{[this](const Thread& self) {
        ++runs;
        while (!self.StopRequested()) {
            received.push_back(passes++);
            while (hold) {
                std::this_thread::yield();
            }
        }
    }};

    void WaitForPass() const
    {
        while (passes == 0) {
            std::this_thread::yield();
        }
    }
};

} // namespace

TEST_CASE("a thread runs its body until stopped, is joined by Close, starts once at a time, and outlives no owner")
{
    Worker worker;
    Thread& thread = worker.thread;
    CHECK(thread.IsFinished()); // a thread never started counts as finished
    worker.hold = true;
    REQUIRE(thread.Start());
    CHECK_FALSE(thread.Start());
    CHECK_FALSE(thread.IsFinished());
    worker.WaitForPass();
    // Inside a blocking call the body sees the stop only when the call returns.
    thread.RequestStop();
    CHECK(thread.IsBodyRunning());
    worker.hold = false;
    thread.Close();
    CHECK(thread.IsFinished());
    CHECK(worker.runs == 1);
    CHECK(worker.passes == 1);
    thread.Close(); // without a thread: changes nothing
    CHECK(thread.GetState() == Thread::kStop);

    // A closed thread starts again with a new run of the body.
    REQUIRE(thread.Start());
    thread.Close();
    CHECK(worker.runs == 2);

    CHECK_FALSE(Thread(Thread::Body()).Start()); // no body, no thread

    // An owner deleted while its thread's body runs, without Close, waits for the body first.
    // Deleted just after the start (the body may not have begun) and in the
    // middle of its passes; a missed join ends the process (a joinable
    // std::thread destroyed) or shows as a use after free under the sanitizers.
    for (int round = 0; round < 40; ++round) {
        CAPTURE(round);
        auto owner = std::make_unique<Worker>();
        REQUIRE(owner->thread.Start());
        if (round % 2 == 1) {
            owner->WaitForPass();
        }
        owner.reset();
    }
}
