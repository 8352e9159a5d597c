// The game's signal set-up, made once at start-up before anything starts
// SDL: the quit signals become a quit (QuitRequest.h), and a write that would
// take a file past the process's file-size limit (ulimit -f) fails with EFBIG,
// as a full disk fails one with ENOSPC, instead of ending the game with
// SIGXFSZ. The writer then cleans up and says why, as it does for a full disk.
#pragma once

namespace platform {

void InstallStartupSignalHandling();

} // namespace platform
