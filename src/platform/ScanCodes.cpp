// SDL names physical keys by their USB usage; the game numbers them the PC way.
#include "platform/ScanCodes.h"

#include <SDL.h>

#include <array>
#include <utility>

namespace platform {

namespace {

constexpr std::pair<SDL_Scancode, ScanCode> kSdlToScan[] = {
    {SDL_SCANCODE_ESCAPE, kScanEscape},
    {SDL_SCANCODE_1, kScan1},
    {SDL_SCANCODE_2, kScan2},
    {SDL_SCANCODE_3, kScan3},
    {SDL_SCANCODE_4, kScan4},
    {SDL_SCANCODE_5, kScan5},
    {SDL_SCANCODE_6, kScan6},
    {SDL_SCANCODE_7, kScan7},
    {SDL_SCANCODE_8, kScan8},
    {SDL_SCANCODE_9, kScan9},
    {SDL_SCANCODE_0, kScan0},
    {SDL_SCANCODE_MINUS, kScanMinus},
    {SDL_SCANCODE_EQUALS, kScanEquals},
    {SDL_SCANCODE_BACKSPACE, kScanBackspace},
    {SDL_SCANCODE_TAB, kScanTab},
    {SDL_SCANCODE_Q, kScanQ},
    {SDL_SCANCODE_W, kScanW},
    {SDL_SCANCODE_E, kScanE},
    {SDL_SCANCODE_R, kScanR},
    {SDL_SCANCODE_T, kScanT},
    {SDL_SCANCODE_Y, kScanY},
    {SDL_SCANCODE_U, kScanU},
    {SDL_SCANCODE_I, kScanI},
    {SDL_SCANCODE_O, kScanO},
    {SDL_SCANCODE_P, kScanP},
    {SDL_SCANCODE_LEFTBRACKET, kScanLeftBracket},
    {SDL_SCANCODE_RIGHTBRACKET, kScanRightBracket},
    {SDL_SCANCODE_RETURN, kScanReturn},
    {SDL_SCANCODE_LCTRL, kScanLeftControl},
    {SDL_SCANCODE_A, kScanA},
    {SDL_SCANCODE_S, kScanS},
    {SDL_SCANCODE_D, kScanD},
    {SDL_SCANCODE_F, kScanF},
    {SDL_SCANCODE_G, kScanG},
    {SDL_SCANCODE_H, kScanH},
    {SDL_SCANCODE_J, kScanJ},
    {SDL_SCANCODE_K, kScanK},
    {SDL_SCANCODE_L, kScanL},
    {SDL_SCANCODE_SEMICOLON, kScanSemicolon},
    {SDL_SCANCODE_APOSTROPHE, kScanApostrophe},
    {SDL_SCANCODE_GRAVE, kScanGrave},
    {SDL_SCANCODE_LSHIFT, kScanLeftShift},
    {SDL_SCANCODE_BACKSLASH, kScanBackslash},
    {SDL_SCANCODE_Z, kScanZ},
    {SDL_SCANCODE_X, kScanX},
    {SDL_SCANCODE_C, kScanC},
    {SDL_SCANCODE_V, kScanV},
    {SDL_SCANCODE_B, kScanB},
    {SDL_SCANCODE_N, kScanN},
    {SDL_SCANCODE_M, kScanM},
    {SDL_SCANCODE_COMMA, kScanComma},
    {SDL_SCANCODE_PERIOD, kScanPeriod},
    {SDL_SCANCODE_SLASH, kScanSlash},
    {SDL_SCANCODE_RSHIFT, kScanRightShift},
    {SDL_SCANCODE_KP_MULTIPLY, kScanKeypadMultiply},
    {SDL_SCANCODE_LALT, kScanLeftAlt},
    {SDL_SCANCODE_SPACE, kScanSpace},
    {SDL_SCANCODE_CAPSLOCK, kScanCapsLock},
    {SDL_SCANCODE_F1, kScanF1},
    {SDL_SCANCODE_F2, kScanF2},
    {SDL_SCANCODE_F3, kScanF3},
    {SDL_SCANCODE_F4, kScanF4},
    {SDL_SCANCODE_F5, kScanF5},
    {SDL_SCANCODE_F6, kScanF6},
    {SDL_SCANCODE_F7, kScanF7},
    {SDL_SCANCODE_F8, kScanF8},
    {SDL_SCANCODE_F9, kScanF9},
    {SDL_SCANCODE_F10, kScanF10},
    {SDL_SCANCODE_NUMLOCKCLEAR, kScanNumLock},
    {SDL_SCANCODE_SCROLLLOCK, kScanScrollLock},
    {SDL_SCANCODE_KP_7, kScanKeypad7},
    {SDL_SCANCODE_KP_8, kScanKeypad8},
    {SDL_SCANCODE_KP_9, kScanKeypad9},
    {SDL_SCANCODE_KP_MINUS, kScanKeypadMinus},
    {SDL_SCANCODE_KP_4, kScanKeypad4},
    {SDL_SCANCODE_KP_5, kScanKeypad5},
    {SDL_SCANCODE_KP_6, kScanKeypad6},
    {SDL_SCANCODE_KP_PLUS, kScanKeypadPlus},
    {SDL_SCANCODE_KP_1, kScanKeypad1},
    {SDL_SCANCODE_KP_2, kScanKeypad2},
    {SDL_SCANCODE_KP_3, kScanKeypad3},
    {SDL_SCANCODE_KP_0, kScanKeypad0},
    {SDL_SCANCODE_KP_PERIOD, kScanKeypadPeriod},
    {SDL_SCANCODE_NONUSBACKSLASH, kScanNonUsBackslash},
    {SDL_SCANCODE_F11, kScanF11},
    {SDL_SCANCODE_F12, kScanF12},
    {SDL_SCANCODE_KP_ENTER, kScanKeypadEnter},
    {SDL_SCANCODE_RCTRL, kScanRightControl},
    {SDL_SCANCODE_KP_DIVIDE, kScanKeypadDivide},
    {SDL_SCANCODE_PRINTSCREEN, kScanPrintScreen},
    {SDL_SCANCODE_RALT, kScanRightAlt},
    {SDL_SCANCODE_PAUSE, kScanPause},
    {SDL_SCANCODE_HOME, kScanHome},
    {SDL_SCANCODE_UP, kScanUp},
    {SDL_SCANCODE_PAGEUP, kScanPageUp},
    {SDL_SCANCODE_LEFT, kScanLeft},
    {SDL_SCANCODE_RIGHT, kScanRight},
    {SDL_SCANCODE_END, kScanEnd},
    {SDL_SCANCODE_DOWN, kScanDown},
    {SDL_SCANCODE_PAGEDOWN, kScanPageDown},
    {SDL_SCANCODE_INSERT, kScanInsert},
    {SDL_SCANCODE_DELETE, kScanDelete},
    {SDL_SCANCODE_LGUI, kScanLeftWindows},
    {SDL_SCANCODE_RGUI, kScanRightWindows},
    {SDL_SCANCODE_APPLICATION, kScanMenu},
};

std::array<ScanCode, SDL_NUM_SCANCODES> BuildTable()
{
    std::array<ScanCode, SDL_NUM_SCANCODES> table{};
    for (const auto& [sdl, scan] : kSdlToScan) {
        table[static_cast<std::size_t>(sdl)] = scan;
    }
    return table;
}

} // namespace

ScanCode ScanCodeFromSdl(int sdlScancode)
{
    static const std::array<ScanCode, SDL_NUM_SCANCODES> table = BuildTable();
    if (sdlScancode < 0 || sdlScancode >= SDL_NUM_SCANCODES) {
        return kScanNone;
    }
    return table[static_cast<std::size_t>(sdlScancode)];
}

} // namespace platform
