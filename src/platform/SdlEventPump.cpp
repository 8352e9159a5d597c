// Drains SDL's queue once per pass: the window system's events are fetched
// once, then the queue is emptied, so a mouse that never stops moving cannot
// hold the loop.
//
// Keys: auto-repeat is dropped (a held key is one press and one release), and
// the text-input events are ignored: the keyboard makes its own characters
// from scan codes. SDL releases every held key when the window loses focus, so
// no key stays down in the game after switching away; the focus itself is
// noted for the keyboard and mouse, which take nothing without it.
#include "platform/SdlEventPump.h"

#include "platform/InputEvents.h"
#include "platform/QuitRequest.h"
#include "platform/ScanCodes.h"

#include <SDL.h>

#include <array>

namespace platform {

namespace {

constexpr int kPeepBatch = 64;

void DispatchKey(const SDL_KeyboardEvent& key)
{
    if (key.repeat != 0) {
        return;
    }
    const ScanCode scan = ScanCodeFromSdl(key.keysym.scancode);
    if (scan == kScanNone) {
        return;
    }
    KeyRecord record;
    record.scanCode = scan;
    record.down = key.state == SDL_PRESSED;
    const SDL_Keycode symbol = key.keysym.sym;
    record.character = symbol >= 32 && symbol < 127 ? static_cast<char>(symbol) : 0;
    KeyboardRecords().Push(record);
}

// SDL numbers buttons 1 left, 2 middle, 3 right, 4 and 5 the side buttons.
int ButtonIndex(std::uint8_t sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT:
        return 0;
    case SDL_BUTTON_RIGHT:
        return 1;
    case SDL_BUTTON_MIDDLE:
        return 2;
    case SDL_BUTTON_X1:
        return 3;
    case SDL_BUTTON_X2:
        return 4;
    default:
        return -1;
    }
}

void DispatchButton(const SDL_MouseButtonEvent& button)
{
    const int index = ButtonIndex(button.button);
    if (index < 0) {
        return;
    }
    MouseRecord record;
    record.kind = MouseRecordKind::kButton;
    record.button = index;
    record.down = button.state == SDL_PRESSED;
    MouseRecords().Push(record);
}

void DispatchMotion(const SDL_MouseMotionEvent& motion)
{
    if (motion.xrel == 0 && motion.yrel == 0) {
        return;
    }
    MouseRecord record;
    record.kind = MouseRecordKind::kMotion;
    record.dx = motion.xrel;
    record.dy = motion.yrel;
    MouseRecords().Push(record);
}

void DispatchWheel(const SDL_MouseWheelEvent& wheel)
{
    const int notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
    if (notches == 0) {
        return;
    }
    MouseRecord record;
    record.kind = MouseRecordKind::kWheel;
    record.wheel = notches;
    MouseRecords().Push(record);
}

} // namespace

void SdlEventPump::Dispatch(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        PostQuit(0);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            PostQuit(0);
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            SetInputFocus(false);
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            SetInputFocus(true);
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        DispatchKey(event.key);
        break;
    case SDL_MOUSEMOTION:
        DispatchMotion(event.motion);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        DispatchButton(event.button);
        break;
    case SDL_MOUSEWHEEL:
        DispatchWheel(event.wheel);
        break;
    default:
        break;
    }
}

PumpResult SdlEventPump::Pump()
{
    PumpResult result;
    SDL_PumpEvents();
    std::array<SDL_Event, kPeepBatch> events{};
    for (;;) {
        const int count = SDL_PeepEvents(events.data(), kPeepBatch, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
        if (count <= 0) {
            break;
        }
        for (int i = 0; i < count; ++i) {
            Dispatch(events[static_cast<std::size_t>(i)]);
        }
        result.dispatched += count;
    }
    if (const std::optional<int> code = TakePendingQuit()) {
        result.quit = true;
        result.exitCode = *code;
    }
    return result;
}

} // namespace platform
