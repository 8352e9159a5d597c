// The mouse: once a frame it takes up to 128 records from the input layer's
// buffer (the rest wait), and keeps its own cursor position in screen pixels,
// since the device gives relative motion only.
//
// Motion counts double. A move that would put the cursor on or past a screen
// edge is dropped whole, never clamped; an accepted one moves the drawn
// Cursor and sends message 1. Buttons send 2 and 3 going down, 4 and 5 going
// up (sent while the button still reads down). Each wheel record is one zoom
// step. During a match the requested position drives edge scrolling: within
// 10 pixels of an edge the camera pans that way until the cursor comes back,
// and pushing on against the edge (moves that are dropped) keeps it panning.
//
// Without the window's focus it takes nothing, lets go of a held button and
// stops an edge pan, as the keyboard lets go of its held keys.
#pragma once

#include "core/Singleton.h"
#include "input/InputHost.h"

#include <array>
#include <cstdint>

namespace platform {
class Window;
struct MouseRecord;
} // namespace platform

class Mouse : public Singleton<Mouse> {
    friend class Singleton<Mouse>;

public:
    static constexpr int kEdgeBorder = 10;

    // Captures the pointer in the window; the first Init puts the cursor in
    // the screen's centre. False without a host.
    bool Init(platform::Window* window, InputHost* host);
    // Takes this frame's records; false when there is nothing to poll.
    bool Poll();
    // The mouse takes nothing until the next Init.
    void Release();

    // The moves the poll makes, to the requested position.
    void MoveX(std::int32_t newX);
    void MoveY(std::int32_t newY);

    // Button 0 left, 1 right.
    bool IsButtonDown(int button) const { return ValidButton(button) && buttons_[button].down; }
    bool IsButtonUp(int button) const { return !IsButtonDown(button); }
    bool WasButtonPressed(int button) const { return ValidButton(button) && buttons_[button].pressed; }
    std::int32_t GetX() const { return x_; }
    std::int32_t GetY() const { return y_; }
    void SetX(std::int32_t x) { x_ = x; }
    void SetY(std::int32_t y) { y_ = y; }
    // The last wheel record of the last poll, 120 a notch; 0 when none.
    float GetWheel() const { return wheel_; }

    // Edge states: horizontal 0 left edge, 1 inside, 2 right edge; vertical
    // 2 top edge, 1 inside, 0 bottom edge.
    int GetHorizontalEdge() const { return horizontalEdge_; }
    int GetVerticalEdge() const { return verticalEdge_; }

private:
    struct ButtonState {
        bool down = false;
        bool pressed = false;
    };

    Mouse() = default;
    static bool ValidButton(int button) { return button == 0 || button == 1; }
    void Apply(const platform::MouseRecord& record);
    void Button(int button, bool down);
    void LetGoOfButtons();
    void StopEdgePans();
    void EdgeScrollX(std::int32_t newX);
    void EdgeScrollY(std::int32_t newY);
    // panOfState: the camera command of each edge state, -1 inside.
    void ChangeEdge(int& state, int wanted, const std::array<int, 3>& panOfState);

    InputHost* host_ = nullptr;
    bool placed_ = false;
    bool hadFocus_ = true;
    float wheel_ = 0.0f;
    std::int32_t x_ = 512;
    std::int32_t y_ = 384;
    std::array<ButtonState, 2> buttons_{};
    int horizontalEdge_ = 1;
    int verticalEdge_ = 1;
};
