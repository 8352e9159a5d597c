// The start-up signal set-up, played in a child process so the signals'
// dispositions start from the defaults a freshly started game has (the test
// runner's own may differ) and what it changes ends with the child.
#include "platform/FileSystem.h"
#include "platform/QuitRequest.h"
#include "platform/StartupSignals.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr rlim_t kLimit = 4096;

// The child's findings, one bit each; all clear is a pass.
enum Finding : int {
    kWriteNotRefused = 1,
    kNoReason = 2,
    kQuitSignalNotTaken = 4,
};

void SetDefaultAction(int signal)
{
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

// Writes a file twice the limit after the set-up, then asks to quit by
// signal. Never returns.
[[noreturn]] void RunChild()
{
    for (const int signal : {SIGXFSZ, SIGTERM}) {
        SetDefaultAction(signal);
    }
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = kLimit;
    setrlimit(RLIMIT_FSIZE, &limit);
    platform::InstallStartupSignalHandling();

    int findings = 0;
    std::string why;
    const std::vector<std::uint8_t> bytes(2 * kLimit, 0x5A);
    if (platform::WriteNewFile("big.bin", bytes, &why) != platform::NewFileResult::kFailed) {
        findings |= kWriteNotRefused;
    }
    if (why.find("File too large") == std::string::npos) {
        findings |= kNoReason;
    }
    std::raise(SIGTERM);
    if (platform::TakePendingQuit() != 0) {
        findings |= kQuitSignalNotTaken;
    }
    _exit(findings);
}

} // namespace

TEST_CASE("after the start-up signal set-up a write past the file-size limit fails and the game goes on")
{
    testing::TempDirectory dir;
    const pid_t child = fork();
    REQUIRE(child >= 0);
    if (child == 0) {
        RunChild();
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        REQUIRE(errno == EINTR);
    }
    // SIGXFSZ (25) here is the write ending the child.
    const int endingSignal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    CHECK(endingSignal == 0);
    const bool exited = WIFEXITED(status);
    REQUIRE(exited);
    const int findings = WEXITSTATUS(status);
    CHECK((findings & kWriteNotRefused) == 0);
    CHECK((findings & kNoReason) == 0);
    CHECK((findings & kQuitSignalNotTaken) == 0);
    CHECK(std::filesystem::is_empty(dir.Path()));
}
