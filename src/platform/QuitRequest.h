// The quit message. The main loop runs until an event pump reports a quit:
// one posted by the menus or the in-game quit command, the window being
// closed, or SIGINT/SIGTERM. A signal quits with code 0, like closing the
// window, so the game shuts down through its normal path either way.
#pragma once

#include <optional>

namespace platform {

// Asks the main loop to end with exitCode at the next pump.
void PostQuit(int exitCode);

// Turns SIGINT and SIGTERM into a posted quit with code 0. Install before any
// SDL subsystem starts, so SDL keeps its hands off those signals.
void InstallQuitSignalHandlers();

// The pending quit's exit code, if any; taking it clears it. Pumps call this
// after dispatching their events.
std::optional<int> TakePendingQuit();

} // namespace platform
