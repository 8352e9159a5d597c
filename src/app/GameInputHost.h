// The game as the keyboard and mouse see it: the screen size and state from
// the settings, the camera of the battle, and the GUI manager taking their
// messages, each offered with a fresh handled flag.
#pragma once

#include "input/InputHost.h"

class Game;

class GameInputHost : public InputHost {
public:
    explicit GameInputHost(Game& game) : game_(game) {}

    int ScreenWidth() const override;
    int ScreenHeight() const override;
    bool InMatch() const override;

    void AddCameraCommand(int command) override;
    void RemoveCameraCommand(int command) override;
    void WheelZoomIn() override;
    void WheelZoomOut() override;

    void DispatchInput(std::uint32_t message, std::int32_t a, std::int32_t b) override;

private:
    Game& game_;
};
