// The quit message. The main loop runs until an event pump reports a quit:
// one posted by the menus or the in-game quit command, the window being
// closed, or SIGINT, SIGTERM or SIGHUP (the terminal closed). A signal quits
// with code 0, like closing the window, so the game shuts down through its
// normal path either way.
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

} // namespace platform
