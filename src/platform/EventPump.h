// The message pump of the main loop. Each pass the pump drains every pending
// window-system event: key and mouse events go into the input layer's record
// buffers (platform/InputEvents.h), the window's close button becomes the
// quit message, and a posted quit or a signal (platform/QuitRequest.h) is
// reported after the events of the same pass have been dispatched.
#pragma once

namespace platform {

struct PumpResult {
    // Events taken from the window system this pass.
    int dispatched = 0;
    bool quit = false;
    int exitCode = 0;
};

class EventPump {
public:
    virtual ~EventPump() = default;
    // Never blocks.
    virtual PumpResult Pump() = 0;
};

} // namespace platform
