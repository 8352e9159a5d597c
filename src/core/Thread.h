// Base of the game's worker threads. A derived class puts its body in Run,
// which loops until it sees the stop state. Stopping is cooperative: the owner
// requests the stop and Close waits for the body to return.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

class Thread {
public:
    enum State : std::uint32_t { kNew = 0, kRunning = 1, kStop = 2 };

    Thread() = default;
    virtual ~Thread();

    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Runs Run on a new thread. False, and nothing started, while an earlier
    // body is still running; false with the stop state when no thread could
    // be created.
    bool Start();
    void RequestStop() { state_ = kStop; }
    // Requests the stop and joins the body. Never call it while holding a lock
    // the body takes. Does nothing when no thread is held.
    void Close();

    std::uint32_t GetState() const { return state_; }
    bool IsFinished() const { return finished_ != 0; }
    bool IsBodyRunning() const { return bodyRunning_; }

protected:
    virtual void Run() = 0;
    // Creates the system thread; tests override it to simulate a failure.
    virtual bool LaunchWorker();

    std::atomic<std::uint32_t> state_{kNew};
    std::atomic<std::uint32_t> finished_{1};

private:
    static void ThreadProc(Thread* self);

    std::thread worker_;
    std::atomic<bool> bodyRunning_{false};
};
