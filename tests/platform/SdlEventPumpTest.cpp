#include "platform/InputEvents.h"
#include "platform/QuitRequest.h"
#include "platform/ScanCodes.h"
#include "platform/SdlEventPump.h"

#include <SDL.h>
#include <doctest/doctest.h>

#include <array>

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

void PushKey(SDL_Scancode scancode, SDL_Keycode symbol, bool down, int repeat = 0)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = static_cast<Uint8>(repeat);
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = symbol;
    REQUIRE(SDL_PushEvent(&event) == 1);
}

void PushMotion(int dx, int dy)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    REQUIRE(SDL_PushEvent(&event) == 1);
}

void PushButton(Uint8 button, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    REQUIRE(SDL_PushEvent(&event) == 1);
}

void PushWheel(int y, Uint32 direction)
{
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = y;
    event.wheel.direction = direction;
    REQUIRE(SDL_PushEvent(&event) == 1);
}

void PushType(Uint32 type)
{
    SDL_Event event{};
    event.type = type;
    REQUIRE(SDL_PushEvent(&event) == 1);
}

} // namespace

TEST_CASE("physical keys get their PC scan codes")
{
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_ESCAPE) == 0x01);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_Q) == 0x10);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_A) == 0x1E);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_Z) == 0x2C);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_GRAVE) == 0x29);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_0) == 0x0B);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_KP_0) == 0x52);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_KP_PERIOD) == 0x53);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_F10) == 0x44);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_RCTRL) == 0x9D);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_RSHIFT) == 0x36);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_CAPSLOCK) == 0x3A);
    CHECK(platform::ScanCodeFromSdl(SDL_SCANCODE_AUDIONEXT) == platform::kScanNone);
    CHECK(platform::ScanCodeFromSdl(-1) == platform::kScanNone);
    CHECK(platform::ScanCodeFromSdl(SDL_NUM_SCANCODES) == platform::kScanNone);
}

TEST_CASE("the SDL pump drains every pending event into the input buffers")
{
    SdlEvents sdl;
    platform::SdlEventPump pump;
    std::array<platform::KeyRecord, 8> keys{};
    std::array<platform::MouseRecord, 128> mice{};

    SUBCASE("keys: presses and releases in order, no auto-repeat, unknown keys skipped")
    {
        PushKey(SDL_SCANCODE_Q, SDLK_q, true);
        PushKey(SDL_SCANCODE_Q, SDLK_q, true, 1);
        PushKey(SDL_SCANCODE_AUDIONEXT, SDLK_AUDIONEXT, true);
        PushKey(SDL_SCANCODE_Q, SDLK_q, false);
        PushKey(SDL_SCANCODE_F1, SDLK_F1, true);
        PushType(SDL_TEXTINPUT);

        const platform::PumpResult result = pump.Pump();
        CHECK(result.dispatched >= 6);
        CHECK_FALSE(result.quit);
        REQUIRE(platform::KeyboardRecords().Take(keys) == 3);
        CHECK(keys[0].scanCode == platform::kScanQ);
        CHECK(keys[0].down);
        CHECK(keys[0].character == 'q');
        CHECK(keys[1].scanCode == platform::kScanQ);
        CHECK_FALSE(keys[1].down);
        CHECK(keys[2].scanCode == platform::kScanF1);
        CHECK(keys[2].character == 0);
    }

    SUBCASE("mouse: motion, buttons and wheel")
    {
        PushMotion(3, -2);
        PushMotion(0, 0);
        PushButton(SDL_BUTTON_RIGHT, true);
        PushButton(SDL_BUTTON_LEFT, false);
        PushWheel(1, SDL_MOUSEWHEEL_NORMAL);
        PushWheel(1, SDL_MOUSEWHEEL_FLIPPED);
        PushWheel(0, SDL_MOUSEWHEEL_NORMAL);

        pump.Pump();
        REQUIRE(platform::MouseRecords().Take(mice) == 5);
        CHECK(mice[0].kind == platform::MouseRecordKind::kMotion);
        CHECK(mice[0].dx == 3);
        CHECK(mice[0].dy == -2);
        CHECK(mice[1].kind == platform::MouseRecordKind::kButton);
        CHECK(mice[1].button == 1);
        CHECK(mice[1].down);
        CHECK(mice[2].button == 0);
        CHECK_FALSE(mice[2].down);
        CHECK(mice[3].kind == platform::MouseRecordKind::kWheel);
        CHECK(mice[3].wheel == 1);
        CHECK(mice[4].wheel == -1);
    }

    SUBCASE("one pass takes everything that is queued")
    {
        for (int i = 0; i < 100; ++i) {
            PushMotion(1, 0);
        }
        CHECK(pump.Pump().dispatched >= 100);
        CHECK(platform::MouseRecords().Size() == 100);
        CHECK(pump.Pump().dispatched == 0);
    }

    SUBCASE("closing the window quits with code 0 after the pass's input is in")
    {
        PushKey(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, true);
        PushType(SDL_QUIT);
        const platform::PumpResult result = pump.Pump();
        CHECK(result.quit);
        CHECK(result.exitCode == 0);
        CHECK(platform::KeyboardRecords().Size() == 1);
        CHECK_FALSE(pump.Pump().quit);
    }

    SUBCASE("a posted quit comes through the SDL pump with its code")
    {
        platform::PostQuit(2);
        const platform::PumpResult result = pump.Pump();
        CHECK(result.quit);
        CHECK(result.exitCode == 2);
    }
}
