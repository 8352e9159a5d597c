// The pump of a headless run: there is no window system, so only posted quits
// and signals ever arrive.
#pragma once

#include "platform/EventPump.h"

namespace platform {

class NullEventPump : public EventPump {
public:
    PumpResult Pump() override;
};

} // namespace platform
