// A signal handler may only touch lock-free atomics, so a signal just raises
// a flag that the next TakePendingQuit turns into quit code 0. A posted quit
// is one atomic word (no quit, or the code), so a failure posted by one
// thread cannot be lost to a success posted by another between two stores.
//
// While a blocking dialog is up the handler ends the process itself with
// _exit, which is safe in a handler. The dialogs come when start-up or a map
// load fails: the logs are written entry by entry, and all a clean shutdown
// would add is a leave message to a match's peers, not worth an endless wait.
// The dialog's process, when the system forks one, is made to die with ours
// by the fork handler below (it runs in the new child, before anything else
// there), since we never learn its pid.
#include "platform/QuitRequest.h"

#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdint>

namespace platform {

namespace {

// Outside the range of int, so every exit code can be pending.
constexpr std::int64_t kNoQuitPosted = INT64_MIN;
constexpr int kQuitSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<std::int64_t> g_postedCode{kNoQuitPosted};
std::atomic<bool> g_signalled{false};
std::atomic<int> g_blockingDialogs{0};
std::atomic<pid_t> g_dialogOwner{0};
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<pid_t>::is_always_lock_free);

void OnQuitSignal(int)
{
    if (g_blockingDialogs.load() > 0) {
        _exit(0);
    }
    g_signalled.store(true);
}

// In a child forked while a dialog blocks: the quit signals kill it (a
// Ctrl+C reaches the whole process group), and so does our end.
void PrepareDialogChild()
{
    if (g_blockingDialogs.load() == 0) {
        return;
    }
    for (const int signal : kQuitSignals) {
        struct sigaction action {};
        action.sa_handler = SIG_DFL;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // Our end may have come between the fork and the line above: the child
    // ends as it would have then.
    if (getppid() != g_dialogOwner.load()) {
        raise(SIGKILL);
    }
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
    for (const int signal : kQuitSignals) {
        sigaction(signal, &action, nullptr);
    }
    static const bool forkHandlerInstalled = pthread_atfork(nullptr, nullptr, PrepareDialogChild) == 0;
    (void)forkHandlerInstalled;
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

bool QuitSignalPending()
{
    return g_signalled.load();
}

BlockingDialogScope::BlockingDialogScope()
{
    g_dialogOwner.store(getpid());
    g_blockingDialogs.fetch_add(1);
}

BlockingDialogScope::~BlockingDialogScope()
{
    g_blockingDialogs.fetch_sub(1);
}

} // namespace platform
