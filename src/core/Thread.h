// The game's worker threads (the network's receive and server loops). The
// body is a callable the thread owns, given at construction; it loops until
// it sees the stop request. Stopping is cooperative: the owner requests the
// stop and Close waits for the body to return.
//
// The destructor stops and joins too, so a thread deleted while its body runs
// waits for the body rather than pull the code and data from under it. An
// owner whose body works on its other members declares the Thread after them:
// members are destroyed in reverse order, so the body has returned before any
// of them goes. The class is final because a subclass's members would go
// before the base's join, which is the fault this shape exists to prevent.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <utility>

class Thread final {
public:
    enum State : std::uint32_t { kNew = 0, kRunning = 1, kStop = 2 };

    // Runs on the worker; reads thread.StopRequested() between passes.
    using Body = std::function<void(const Thread& thread)>;

    explicit Thread(Body body) : body_(std::move(body)) {}
    ~Thread();

    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Runs the body on a new thread. False, and nothing started, without a
    // body or while an earlier body is still running; false with the stop
    // state when no thread could be created.
    bool Start();
    void RequestStop() { state_ = kStop; }
    // Requests the stop and joins the body. Never call it while holding a lock
    // the body takes. Does nothing when no thread is held.
    void Close();

    bool StopRequested() const { return state_ == kStop; }
    std::uint32_t GetState() const { return state_; }
    bool IsFinished() const { return finished_; }
    bool IsBodyRunning() const { return bodyRunning_; }

private:
    static void ThreadProc(Thread* self);

    // Declared before the worker, so they outlive it even if a join is missed.
    const Body body_;
    std::atomic<std::uint32_t> state_{kNew};
    std::atomic<bool> finished_{true};
    std::atomic<bool> bodyRunning_{false};
    std::thread worker_;
};
