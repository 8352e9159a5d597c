// Thread over std::thread. The state words are atomic because the worker
// reads what the main thread writes, and a held thread is always joined, so a
// restarted object never runs two bodies and no body outlives its object.
#include "core/Thread.h"

#include <system_error>

Thread::~Thread()
{
    Close();
}

bool Thread::Start()
{
    if (bodyRunning_ || !body_) {
        return false;
    }
    if (worker_.joinable()) {
        worker_.join(); // the previous body has returned; collect it
    }
    finished_ = false;
    state_ = kRunning;
    bodyRunning_ = true;
    try {
        worker_ = std::thread(&Thread::ThreadProc, this);
    } catch (const std::system_error&) {
        bodyRunning_ = false;
        state_ = kStop;
        finished_ = true;
        return false;
    }
    return true;
}

void Thread::Close()
{
    if (!worker_.joinable()) {
        return;
    }
    state_ = kStop;
    worker_.join();
    finished_ = true;
}

void Thread::ThreadProc(Thread* self)
{
    self->body_(*self);
    self->bodyRunning_ = false;
}
