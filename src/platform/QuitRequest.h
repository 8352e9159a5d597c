// The quit message. The main loop runs until an event pump reports a quit:
// one posted by the menus or the in-game quit command, the window being
// closed, or SIGINT, SIGTERM or SIGHUP (the terminal closed). A signal quits
// with code 0, like closing the window, so the game shuts down through its
// normal path either way.
//
// The one exception is a dialog that waits for the player inside a call that
// cannot be polled (the system's message box): the loop cannot see the
// signal until the player clicks, and an unattended start would never end.
// While such a dialog is up, a signal ends the process at once, with code 0,
// and the dialog with it.
#pragma once

#include <optional>

namespace platform {

// Asks the main loop to end with exitCode at the next pump. A failure (a
// non-zero code) already pending is kept: the first failure of a pass is the
// one the game exits with, whatever quits are asked for after it.
void PostQuit(int exitCode);

// Turns SIGINT, SIGTERM and SIGHUP into a quit with code 0. Install before any
// SDL subsystem starts, so SDL keeps its hands off those signals.
void InstallQuitSignalHandlers();

// The pending quit's exit code, if any; taking it clears it. A posted code
// wins over a signal in the same pass. Pumps call this after dispatching
// their events.
std::optional<int> TakePendingQuit();

// True when a quit signal has arrived that no pump has taken yet; it stays
// pending. A dialog is not worth opening then.
bool QuitSignalPending();

// Marks a call that blocks on a dialog for its length (scopes may nest). A
// quit signal then ends the process at once. Processes forked meanwhile (the
// dialog's own, where the system shows it in one) take the default action
// for the quit signals and are killed when this process ends, so no dialog
// outlives the game.
class BlockingDialogScope {
public:
    BlockingDialogScope();
    ~BlockingDialogScope();
    BlockingDialogScope(const BlockingDialogScope&) = delete;
    BlockingDialogScope& operator=(const BlockingDialogScope&) = delete;
};

} // namespace platform
