// What the benchmark programs share. Their short form ("--short" among the
// arguments): a few frames or rounds of each measurement, which the test
// suite runs to show that every benchmark still builds, runs and ends; its
// figures mean nothing. And a limit on the whole run: a benchmark still
// running past it says on stderr what it was doing and exits with status 1,
// rather than leaving its caller waiting.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace bench {

inline bool ShortForm(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--short") == 0) {
            return true;
        }
    }
    return false;
}

// Seconds a run may take: the short form well inside the suite's limit on
// the test, the full one however slow the machine.
inline double RunSeconds(bool shortForm)
{
    return shortForm ? 45.0 : 1800.0;
}

class RunLimit {
public:
    RunLimit(const char* program, double seconds) : program_(program), seconds_(seconds)
    {
        watch_ = std::thread([this] { Watch(); });
    }
    ~RunLimit()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        watch_.join();
    }
    RunLimit(const RunLimit&) = delete;
    RunLimit& operator=(const RunLimit&) = delete;

    // What the run is doing now, for the message should it stop.
    void Stage(const char* what)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stage_ = what;
    }

private:
    void Watch()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_for(lock, std::chrono::duration<double>(seconds_), [this] { return done_; })) {
            return;
        }
        std::fprintf(stderr, "%s: still %s after %.0f s; stopped\n", program_, stage_, seconds_);
        std::fflush(stderr);
        std::_Exit(1);
    }

    const char* program_;
    double seconds_;
    const char* stage_ = "starting";
    bool done_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread watch_;
};

} // namespace bench
