// A signal handler may only touch lock-free atomics, so a signal just raises
// a flag that the next TakePendingQuit turns into quit code 0.
#include "platform/QuitRequest.h"

#include <atomic>
#include <csignal>

namespace platform {

namespace {

std::atomic<bool> g_quitPosted{false};
std::atomic<int> g_exitCode{0};
std::atomic<bool> g_signalled{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnQuitSignal(int)
{
    g_signalled.store(true);
}

} // namespace

void PostQuit(int exitCode)
{
    g_exitCode.store(exitCode);
    g_quitPosted.store(true);
}

void InstallQuitSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

std::optional<int> TakePendingQuit()
{
    if (g_quitPosted.exchange(false)) {
        g_signalled.store(false);
        return g_exitCode.load();
    }
    if (g_signalled.exchange(false)) {
        return 0;
    }
    return std::nullopt;
}

} // namespace platform
