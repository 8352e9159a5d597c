#include "platform/InputEvents.h"
#include "platform/QuitRequest.h"
#include "platform/ScanCodes.h"
#include "platform/SdlEventPump.h"

#include <SDL.h>
#include <doctest/doctest.h>

#include <array>
#include <functional>

namespace {

// SDL's event queue alone, without video.
struct SdlEvents {
    SdlEvents()
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        REQUIRE(SDL_InitSubSystem(SDL_INIT_EVENTS) == 0);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        platform::KeyboardRecords().Clear();
        platform::MouseRecords().Clear();
        platform::TakePendingQuit();
    }
    ~SdlEvents() { SDL_QuitSubSystem(SDL_INIT_EVENTS); }
};

void Push(Uint32 type, const std::function<void(SDL_Event&)>& fill = {})
{
    SDL_Event event{};
    event.type = type;
    if (fill) {
        fill(event);
    }
    REQUIRE(SDL_PushEvent(&event) == 1);
}

void PushKey(SDL_Scancode scancode, SDL_Keycode symbol, bool down, Uint8 repeat = 0)
{
    Push(down ? SDL_KEYDOWN : SDL_KEYUP, [&](SDL_Event& event) {
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = symbol;
    });
}

void PushMotion(int dx, int dy)
{
    Push(SDL_MOUSEMOTION, [&](SDL_Event& event) {
        event.motion.xrel = dx;
        event.motion.yrel = dy;
    });
}

} // namespace

TEST_CASE("keys get their PC scan codes, and the SDL pump drains every pending event into the input buffers")
{
    // Physical keys get their PC scan codes, extended ones included, and others none.
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_RCTRL) == 0x9D);
    for (const int unknown : {static_cast<int>(SDL_SCANCODE_AUDIONEXT), -1, static_cast<int>(SDL_NUM_SCANCODES)}) {
        CHECK(platform::ScanCodeFromSdl(unknown) == platform::kScanNone);
    }

    SdlEvents sdl;
    platform::SdlEventPump pump;

    // Keys: presses and releases in order, no auto-repeat, unknown keys skipped.
    PushKey(SDL_SCANCODE_Q, SDLK_q, true);
    PushKey(SDL_SCANCODE_Q, SDLK_q, true, 1);
    PushKey(SDL_SCANCODE_AUDIONEXT, SDLK_AUDIONEXT, true);
    PushKey(SDL_SCANCODE_Q, SDLK_q, false);
    PushKey(SDL_SCANCODE_F1, SDLK_F1, true);
    Push(SDL_TEXTINPUT);
    const platform::PumpResult result = pump.Pump();
    CHECK(result.dispatched >= 6);
    CHECK_FALSE(result.quit);
    std::array<platform::KeyRecord, 8> keys{};
    REQUIRE(platform::KeyboardRecords().Take(keys) == 3);
    CHECK(keys[0].scanCode == platform::kScanQ);
    CHECK(keys[0].down);
    CHECK(keys[0].character == 'q');
    CHECK_FALSE(keys[1].down);
    CHECK(keys[2].scanCode == platform::kScanF1);
    CHECK(keys[2].character == 0);

    // Mouse: motion, buttons and wheel, flipped wheels turned back, empty ones dropped.
    PushMotion(3, -2);
    PushMotion(0, 0);
    Push(SDL_MOUSEBUTTONDOWN, [](SDL_Event& event) {
        event.button.button = SDL_BUTTON_RIGHT;
        event.button.state = SDL_PRESSED;
    });
    for (const Uint32 direction : {SDL_MOUSEWHEEL_FLIPPED, SDL_MOUSEWHEEL_NORMAL}) {
        Push(SDL_MOUSEWHEEL, [direction](SDL_Event& event) {
            event.wheel.y = direction == SDL_MOUSEWHEEL_FLIPPED ? 1 : 0;
            event.wheel.direction = direction;
        });
    }
    pump.Pump();
    std::array<platform::MouseRecord, 128> mice{};
    REQUIRE(platform::MouseRecords().Take(mice) == 3);
    CHECK(mice[0].dy == -2);
    CHECK(mice[1].kind == platform::MouseRecordKind::kButton);
    CHECK(mice[1].button == 1);
    CHECK(mice[1].down);
    CHECK(mice[2].kind == platform::MouseRecordKind::kWheel);
    CHECK(mice[2].wheel == -1);

    // One pass takes everything that is queued, and the focus is noted as it comes and goes.
    for (int i = 0; i < 100; ++i) {
        PushMotion(1, 0);
    }
    CHECK(pump.Pump().dispatched >= 100);
    CHECK(platform::MouseRecords().Size() == 100);
    CHECK(pump.Pump().dispatched == 0);
    // The window's focus is noted as it comes and goes.
    const auto focus = [](Uint8 change) {
        Push(SDL_WINDOWEVENT, [change](SDL_Event& event) { event.window.event = change; });
    };
    focus(SDL_WINDOWEVENT_FOCUS_LOST);
    pump.Pump();
    CHECK_FALSE(platform::HasInputFocus());
    focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    pump.Pump();
    CHECK(platform::HasInputFocus());

    // Closing the window quits with code 0 after the pass's input is in.
    PushKey(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, true);
    Push(SDL_QUIT);
    const platform::PumpResult closed = pump.Pump();
    CHECK(closed.quit);
    CHECK(closed.exitCode == 0);
    CHECK(platform::KeyboardRecords().Size() == 1);
    CHECK_FALSE(pump.Pump().quit);
    platform::PostQuit(2); // a posted quit comes through too, with its code
    CHECK(pump.Pump().exitCode == 2);
}
