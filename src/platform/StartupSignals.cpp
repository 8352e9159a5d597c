// SIGXFSZ's default action ends the process (with a core file) at the first
// write past the limit. Ignored, the write returns EFBIG instead: a
// screenshot's temporary file is then removed and the failure logged; a log
// entry that does not fit is cut short. Either way the game goes on.
#include "platform/StartupSignals.h"

#include "platform/QuitRequest.h"

#include <csignal>

namespace platform {

void InstallStartupSignalHandling()
{
    InstallQuitSignalHandlers();
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, nullptr);
}

} // namespace platform
