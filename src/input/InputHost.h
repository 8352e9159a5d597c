// What the keyboard and mouse need of the game above them: the screen's size,
// whether a match is on (edge scrolling and the wheel work only then), the
// camera's commands and wheel steps, and the GUI that takes their messages.
// The game provides it; the tests provide a recording one.
#pragma once

#include <cstdint>

class InputHost {
public:
    virtual ~InputHost() = default;

    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
    virtual bool InMatch() const = 0;

    virtual void AddCameraCommand(int command) = 0;
    virtual void RemoveCameraCommand(int command) = 0;
    virtual void WheelZoomIn() = 0;
    virtual void WheelZoomOut() = 0;

    // One guiMessage, offered with a fresh handled flag.
    virtual void DispatchInput(std::uint32_t message, std::int32_t a, std::int32_t b) = 0;
};
