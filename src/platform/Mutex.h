// A lock shared between the main thread and the network threads, and the
// scoped MutexLock that holds it. The lock is recursive, so a thread that
// already holds it (a handler reached from code under the lock) may take it
// again without deadlocking itself.
#pragma once

#include <mutex>

class Mutex {
public:
    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }
    bool TryLock() { return mutex_.try_lock(); }

private:
    std::recursive_mutex mutex_;
};

class MutexLock {
public:
    explicit MutexLock(Mutex& mutex) : mutex_(mutex) { mutex_.Lock(); }
    ~MutexLock() { mutex_.Unlock(); }

    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& mutex_;
};
