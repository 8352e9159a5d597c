// A quit signal while a dialog blocks. The system's message box needs a real
// display, so its shape is played here by processes: a "game" process that
// forks a "dialog" process inside a blocking-dialog scope and waits for it
// the way the message box does, retrying its wait when a signal interrupts
// it. A signal to the game must end the game, and the dialog with it.
#include "platform/NullEventPump.h"
#include "platform/QuitRequest.h"

#include <doctest/doctest.h>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

// The game's side; never returns. Exit code 3 would mean the signal was
// only noted while the dialog went on waiting.
[[noreturn]] void PlayGameWithDialog(int reportPid)
{
    platform::InstallQuitSignalHandlers();
    {
        const platform::BlockingDialogScope blocking;
        const pid_t dialog = fork();
        if (dialog == 0) {
            for (;;) {
                pause(); // waits for a click that never comes
            }
        }
        (void)!write(reportPid, &dialog, sizeof dialog);
        int status = 0;
        while (waitpid(dialog, &status, 0) < 0 && errno == EINTR) {
        }
    }
    _exit(3);
}

struct Ended {
    bool exited = false;
    int code = -1;
    int signal = 0;
};

Ended WaitFor(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        REQUIRE(errno == EINTR);
    }
    Ended ended;
    ended.exited = WIFEXITED(status);
    ended.code = ended.exited ? WEXITSTATUS(status) : -1;
    ended.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return ended;
}

} // namespace

TEST_CASE("a quit signal while a dialog blocks ends the program with code 0, and the dialog with it")
{
    // The dialog, orphaned when the game ends, comes back to this process,
    // so its end can be seen.
    REQUIRE(prctl(PR_SET_CHILD_SUBREAPER, 1) == 0);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        CAPTURE(signal);
        int pipeEnds[2] = {};
        REQUIRE(pipe(pipeEnds) == 0);
        const pid_t game = fork();
        REQUIRE(game >= 0);
        if (game == 0) {
            close(pipeEnds[0]);
            PlayGameWithDialog(pipeEnds[1]);
        }
        close(pipeEnds[1]);
        pid_t dialog = 0;
        REQUIRE(read(pipeEnds[0], &dialog, sizeof dialog) == sizeof dialog);
        close(pipeEnds[0]);

        REQUIRE(kill(game, signal) == 0);
        const Ended gameEnd = WaitFor(game);
        CHECK(gameEnd.exited);
        CHECK(gameEnd.code == 0);
        const Ended dialogEnd = WaitFor(dialog);
        CHECK(dialogEnd.signal == SIGKILL);
    }
}

TEST_CASE("outside a dialog a quit signal waits for the pump, and stays pending until taken")
{
    platform::InstallQuitSignalHandlers();
    CHECK_FALSE(platform::QuitSignalPending());
    std::raise(SIGINT);
    CHECK(platform::QuitSignalPending());
    CHECK(platform::QuitSignalPending()); // looking does not take it
    platform::NullEventPump pump;
    const platform::PumpResult result = pump.Pump();
    CHECK(result.quit);
    CHECK(result.exitCode == 0);
    CHECK_FALSE(platform::QuitSignalPending());
}
