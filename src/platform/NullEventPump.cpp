// Headless pump: reports quits only.
#include "platform/NullEventPump.h"

#include "platform/QuitRequest.h"

namespace platform {

PumpResult NullEventPump::Pump()
{
    PumpResult result;
    if (const std::optional<int> code = TakePendingQuit()) {
        result.quit = true;
        result.exitCode = *code;
    }
    return result;
}

} // namespace platform
