// Mouse: the poll, the moves with their edge scrolling, and the buttons.
#include "input/Mouse.h"

#include "input/Cursor.h"
#include "input/guiMessage.h"
#include "platform/InputEvents.h"
#include "platform/Window.h"
#include "render/CameraCommand.h"

#include <algorithm>
#include <limits>
#include <span>

namespace {

constexpr float kWheelNotch = 120.0f;

// The camera command of each edge state, none (-1) inside.
constexpr std::array<int, 3> kHorizontalPans = {kCameraPanLeft, -1, kCameraPanRight};
constexpr std::array<int, 3> kVerticalPans = {kCameraPanBack, -1, kCameraPanForward};

// Twice the motion, within what a 16-bit delta holds: a wild reading cannot
// wrap round to the other side of the screen.
std::int32_t DoubledDelta(int delta)
{
    constexpr std::int64_t kLow = std::numeric_limits<std::int16_t>::min();
    constexpr std::int64_t kHigh = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int32_t>(std::clamp(static_cast<std::int64_t>(delta) * 2, kLow, kHigh));
}

} // namespace

bool Mouse::Init(platform::Window* window, InputHost* host)
{
    host_ = host;
    if (!host_) {
        return false;
    }
    if (window) {
        window->SetMouseCaptured(true);
    }
    if (!placed_) {
        x_ = host_->ScreenWidth() / 2;
        y_ = host_->ScreenHeight() / 2;
        placed_ = true;
    }
    hadFocus_ = platform::HasInputFocus();
    return true;
}

void Mouse::Release()
{
    host_ = nullptr;
}

bool Mouse::Poll()
{
    if (!host_) {
        return false;
    }
    if (!platform::HasInputFocus()) {
        platform::MouseRecords().Clear();
        if (hadFocus_) {
            LetGoOfButtons();
            StopEdgePans();
        }
        hadFocus_ = false;
        return true;
    }
    hadFocus_ = true;
    std::array<platform::MouseRecord, platform::kMouseBufferSize> records{};
    const std::size_t count = platform::MouseRecords().Take(records);
    wheel_ = 0.0f;
    for (ButtonState& button : buttons_) {
        button.pressed = false;
    }
    for (const platform::MouseRecord& record : std::span(records.data(), count)) {
        Apply(record);
    }
    return true;
}

void Mouse::Apply(const platform::MouseRecord& record)
{
    switch (record.kind) {
    case platform::MouseRecordKind::kMotion:
        if (record.dx != 0) {
            MoveX(x_ + DoubledDelta(record.dx));
        }
        if (record.dy != 0) {
            MoveY(y_ + DoubledDelta(record.dy));
        }
        break;
    case platform::MouseRecordKind::kWheel:
        wheel_ = static_cast<float>(record.wheel) * kWheelNotch;
        if (wheel_ > 0.0f) {
            host_->WheelZoomIn();
        } else {
            host_->WheelZoomOut();
        }
        break;
    case platform::MouseRecordKind::kButton:
        if (ValidButton(record.button)) {
            Button(record.button, record.down);
        }
        break;
    }
}

void Mouse::Button(int button, bool down)
{
    ButtonState& state = buttons_[static_cast<std::size_t>(button)];
    if (down) {
        state.down = true;
        state.pressed = true;
        host_->DispatchInput(button == 0 ? kGuiLeftDown : kGuiRightDown, x_, y_);
        return;
    }
    // The message first: its receivers still see the button down.
    host_->DispatchInput(button == 0 ? kGuiLeftUp : kGuiRightUp, x_, y_);
    state.down = false;
}

void Mouse::LetGoOfButtons()
{
    for (int button = 0; button < 2; ++button) {
        if (buttons_[static_cast<std::size_t>(button)].down) {
            Button(button, false);
        }
    }
}

// Without the focus no move can bring the cursor back inside, so a pan left
// running would scroll on for good; the next move to an edge starts it again.
void Mouse::StopEdgePans()
{
    ChangeEdge(horizontalEdge_, 1, kHorizontalPans);
    ChangeEdge(verticalEdge_, 1, kVerticalPans);
}

void Mouse::MoveX(std::int32_t newX)
{
    if (newX > 0 && newX < host_->ScreenWidth()) {
        Cursor::Instance()->SetX(newX);
        x_ = newX;
        host_->DispatchInput(kGuiMouseMove, x_, y_);
    }
    if (host_->InMatch()) {
        EdgeScrollX(newX);
    } else {
        // The match's end cleared the camera's pans: an edge reached then
        // must start its pan again in the next match, not count as running.
        horizontalEdge_ = 1;
    }
}

void Mouse::MoveY(std::int32_t newY)
{
    if (newY > 0 && newY < host_->ScreenHeight()) {
        Cursor::Instance()->SetY(newY);
        y_ = newY;
        host_->DispatchInput(kGuiMouseMove, x_, y_);
    }
    if (host_->InMatch()) {
        EdgeScrollY(newY);
    } else {
        verticalEdge_ = 1;
    }
}

// The state the requested position asks for; a change of state stops the pan
// of the edge left and starts the pan of the edge reached. A single jump from
// one edge to the other (a wild reading) thus swaps the pans rather than
// leaving the first one running for good.
void Mouse::EdgeScrollX(std::int32_t newX)
{
    int wanted = 1;
    if (newX <= kEdgeBorder) {
        wanted = 0;
    } else if (newX >= host_->ScreenWidth() - kEdgeBorder) {
        wanted = 2;
    }
    ChangeEdge(horizontalEdge_, wanted, kHorizontalPans);
}

void Mouse::EdgeScrollY(std::int32_t newY)
{
    int wanted = 1;
    if (newY <= kEdgeBorder) {
        wanted = 2;
    } else if (newY >= host_->ScreenHeight() - kEdgeBorder) {
        wanted = 0;
    }
    ChangeEdge(verticalEdge_, wanted, kVerticalPans);
}

void Mouse::ChangeEdge(int& state, int wanted, const std::array<int, 3>& panOfState)
{
    if (wanted == state) {
        return;
    }
    if (state != 1) {
        host_->RemoveCameraCommand(panOfState[static_cast<std::size_t>(state)]);
    }
    if (wanted != 1) {
        host_->AddCameraCommand(panOfState[static_cast<std::size_t>(wanted)]);
    }
    state = wanted;
}
