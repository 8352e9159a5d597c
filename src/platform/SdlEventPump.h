// The pump over SDL's event queue. Needs SDL's event subsystem, which the SDL
// window starts.
#pragma once

#include "platform/EventPump.h"

union SDL_Event;

namespace platform {

class SdlEventPump : public EventPump {
public:
    PumpResult Pump() override;

    // Turns one SDL event into input records or a posted quit.
    static void Dispatch(const SDL_Event& event);
};

} // namespace platform
