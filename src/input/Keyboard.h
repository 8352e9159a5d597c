// The keyboard: once a frame it takes up to eight key records from the input
// layer's buffer (the rest wait for the next frames), keeps a down and a
// pressed-this-poll flag per key, makes US-layout characters from the
// physical keys (Caps Lock shifts every key with a character, digits too),
// and offers every press and release to the GUI as a key message: 7 with the
// key's command and its character, 8 with the command.
//
// Keys are numbered by the classic PC scan codes (platform/ScanCodes.h), so
// the tables below hold whatever layout the player's keyboard has.
//
// Without the window's focus it takes nothing: it lets go of every held key
// (a key-up message each, Caps Lock apart), throws away what arrived, and
// starts again when the focus comes back, so no key is left held down.
#pragma once

#include "core/Singleton.h"
#include "input/InputHost.h"
#include "input/KeyCommand.h"

#include <array>
#include <cstdint>
#include <string>

namespace platform {
class Window;
struct KeyRecord;
} // namespace platform

class Keyboard : public Singleton<Keyboard> {
    friend class Singleton<Keyboard>;

public:
    static constexpr std::size_t kMaxTypedText = 256;

    // From then on the keyboard is polled and its messages go to host. False
    // without a host.
    bool Init(platform::Window* window, InputHost* host);
    // Takes this frame's records; always false, which callers ignore.
    bool Poll();
    // The keyboard takes nothing until the next Init.
    void Release();

    bool IsKeyDown(std::uint8_t scanCode) const { return keys_[scanCode].down; }
    bool IsKeyUp(std::uint8_t scanCode) const { return !keys_[scanCode].down; }
    // Went down in the last poll.
    bool WasKeyPressed(std::uint8_t scanCode) const { return keys_[scanCode].pressed; }
    // Characters typed, the last kMaxTypedText of them.
    const std::string& GetTypedText() const { return typed_; }
    void ClearTypedText() { typed_.clear(); }
    std::uint32_t GetEventsOfLastPoll() const { return eventsOfLastPoll_; }

    // The tables, by scan code: 0 for no character, kKeyNone for no command.
    char UnshiftedCharacter(std::uint8_t scanCode) const { return unshifted_[scanCode]; }
    char ShiftedCharacter(std::uint8_t scanCode) const { return shifted_[scanCode]; }
    KeyCommand CommandOf(std::uint8_t scanCode) const { return commands_[scanCode]; }

private:
    struct KeyState {
        bool down = false;
        bool pressed = false;
    };

    Keyboard();
    void FillCharacters();
    void FillCommands();
    void Apply(const platform::KeyRecord& record);
    void KeyDown(std::uint8_t scanCode);
    void KeyUp(std::uint8_t scanCode);
    // Key-up messages for every held key but Caps Lock, whose flag is the lock.
    void LetGoOfHeldKeys();
    bool IsShifted() const;

    InputHost* host_ = nullptr;
    bool hadFocus_ = true;
    std::string typed_;
    std::uint32_t eventsOfLastPoll_ = 0;
    std::array<KeyState, 256> keys_{};
    std::array<char, 256> unshifted_{};
    std::array<char, 256> shifted_{};
    std::array<KeyCommand, 256> commands_{};
};
