// A full disk without a full disk: for the length of the scope no write may
// take a file past the given size, so the kernel fails it (EFBIG) just where
// a full disk would fail it (ENOSPC), for any file the test writes, with no
// root and nothing mounted. The signal such a write raises is ignored, as it
// would otherwise end the test (the game ignores it from start-up,
// platform/StartupSignals.h; the screenshot test checks that from the
// signal's default).
#pragma once

#include <sys/resource.h>

#include <doctest/doctest.h>

#include <csignal>

namespace testing {

class FileSizeLimitScope {
public:
    explicit FileSizeLimitScope(rlim_t bytes)
    {
        REQUIRE(getrlimit(RLIMIT_FSIZE, &previous_) == 0);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        REQUIRE(setrlimit(RLIMIT_FSIZE, &limit) == 0);
    }
    ~FileSizeLimitScope()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimitScope(const FileSizeLimitScope&) = delete;
    FileSizeLimitScope& operator=(const FileSizeLimitScope&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace testing
