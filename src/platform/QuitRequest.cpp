// A signal handler may only touch lock-free atomics, so a signal just raises
// a flag that the next TakePendingQuit turns into quit code 0. A posted quit
// is one atomic word (no quit, or the code), so a failure posted by one
// thread cannot be lost to a success posted by another between two stores.
#include "platform/QuitRequest.h"

#include <atomic>
#include <csignal>
#include <cstdint>

namespace platform {

namespace {

// Outside the range of int, so every exit code can be pending.
constexpr std::int64_t kNoQuitPosted = INT64_MIN;

std::atomic<std::int64_t> g_postedCode{kNoQuitPosted};
std::atomic<bool> g_signalled{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnQuitSignal(int)
{
    g_signalled.store(true);
}

} // namespace

void PostQuit(int exitCode)
{
    std::int64_t pending = g_postedCode.load();
    for (;;) {
        const bool failurePending = pending != kNoQuitPosted && pending != 0;
        if (failurePending) {
            return;
        }
        if (g_postedCode.compare_exchange_weak(pending, exitCode)) {
            return;
        }
    }
}

void InstallQuitSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

std::optional<int> TakePendingQuit()
{
    const std::int64_t posted = g_postedCode.exchange(kNoQuitPosted);
    if (posted != kNoQuitPosted) {
        g_signalled.store(false);
        return static_cast<int>(posted);
    }
    if (g_signalled.exchange(false)) {
        return 0;
    }
    return std::nullopt;
}

} // namespace platform
