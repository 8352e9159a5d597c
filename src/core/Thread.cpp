// Thread over std::thread. The state words are atomic because the worker
// reads what the main thread writes, and a held thread is always joined, so a
// restarted object never runs two bodies and no body outlives its object.
#include "core/Thread.h"

#include <system_error>

Thread::~Thread()
{
    // A derived class should Close in its own destructor, while its members
    // still exist; this is the last line of defence.
    Close();
}

bool Thread::Start()
{
    if (bodyRunning_) {
        return false;
    }
    if (worker_.joinable()) {
        worker_.join(); // the previous body has returned; collect it
    }
    finished_ = 0;
    state_ = kRunning;
    bodyRunning_ = true;
    if (!LaunchWorker()) {
        bodyRunning_ = false;
        state_ = kStop;
        finished_ = 1;
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
    finished_ = 1;
}

bool Thread::LaunchWorker()
{
    try {
        worker_ = std::thread(&Thread::ThreadProc, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void Thread::ThreadProc(Thread* self)
{
    self->Run();
    self->bodyRunning_ = false;
}
