// Keyboard: the character and command tables, and the poll.
#include "input/Keyboard.h"

#include "input/guiMessage.h"
#include "platform/InputEvents.h"
#include "platform/ScanCodes.h"

#include <span>

namespace {

struct CharacterRow {
    std::uint8_t scanCode;
    char unshifted;
    char shifted;
};

// US layout; the keypad's keys give the same character either way.
constexpr CharacterRow kCharacters[] = {
    {platform::kScan1, '1', '!'},           {platform::kScan2, '2', '@'},
    {platform::kScan3, '3', '#'},           {platform::kScan4, '4', '$'},
    {platform::kScan5, '5', '%'},           {platform::kScan6, '6', '^'},
    {platform::kScan7, '7', '&'},           {platform::kScan8, '8', '*'},
    {platform::kScan9, '9', '('},           {platform::kScan0, '0', ')'},
    {platform::kScanMinus, '-', '_'},       {platform::kScanEquals, '=', '+'},
    {platform::kScanBackspace, 8, 8},       {platform::kScanTab, 9, 9},
    {platform::kScanQ, 'q', 'Q'},           {platform::kScanW, 'w', 'W'},
    {platform::kScanE, 'e', 'E'},           {platform::kScanR, 'r', 'R'},
    {platform::kScanT, 't', 'T'},           {platform::kScanY, 'y', 'Y'},
    {platform::kScanU, 'u', 'U'},           {platform::kScanI, 'i', 'I'},
    {platform::kScanO, 'o', 'O'},           {platform::kScanP, 'p', 'P'},
    {platform::kScanLeftBracket, '[', '{'}, {platform::kScanRightBracket, ']', '}'},
    {platform::kScanReturn, 10, 10},        {platform::kScanA, 'a', 'A'},
    {platform::kScanS, 's', 'S'},           {platform::kScanD, 'd', 'D'},
    {platform::kScanF, 'f', 'F'},           {platform::kScanG, 'g', 'G'},
    {platform::kScanH, 'h', 'H'},           {platform::kScanJ, 'j', 'J'},
    {platform::kScanK, 'k', 'K'},           {platform::kScanL, 'l', 'L'},
    {platform::kScanSemicolon, ';', ':'},   {platform::kScanApostrophe, '\'', '"'},
    {platform::kScanBackslash, '\\', '|'},  {platform::kScanZ, 'z', 'Z'},
    {platform::kScanX, 'x', 'X'},           {platform::kScanC, 'c', 'C'},
    {platform::kScanV, 'v', 'V'},           {platform::kScanB, 'b', 'B'},
    {platform::kScanN, 'n', 'N'},           {platform::kScanM, 'm', 'M'},
    {platform::kScanComma, ',', '<'},       {platform::kScanPeriod, '.', '>'},
    {platform::kScanSlash, '/', '?'},       {platform::kScanKeypadMultiply, '*', '*'},
    {platform::kScanSpace, ' ', ' '},       {platform::kScanKeypad7, '7', '7'},
    {platform::kScanKeypad8, '8', '8'},     {platform::kScanKeypad9, '9', '9'},
    {platform::kScanKeypadMinus, '-', '-'}, {platform::kScanKeypad4, '4', '4'},
    {platform::kScanKeypad5, '5', '5'},     {platform::kScanKeypad6, '6', '6'},
    {platform::kScanKeypadPlus, '+', '+'},  {platform::kScanKeypad1, '1', '1'},
    {platform::kScanKeypad2, '2', '2'},     {platform::kScanKeypad3, '3', '3'},
    {platform::kScanKeypad0, '0', '0'},     {platform::kScanKeypadPeriod, '.', '.'},
};

struct CommandRow {
    std::uint8_t scanCode;
    KeyCommand command;
};

constexpr CommandRow kCommands[] = {
    {platform::kScanZ, kKeyTurnLeft},
    {platform::kScanX, kKeyTurnRight},
    {platform::kScanQ, kKeyOrbitLeft},
    {platform::kScanE, kKeyOrbitRight},
    {platform::kScanW, kKeyPanForward},
    {platform::kScanS, kKeyPanBack},
    {platform::kScanA, kKeyPanLeft},
    {platform::kScanD, kKeyPanRight},
    {platform::kScanC, kKeyZoomIn},
    {platform::kScanV, kKeyZoomOut},
    {platform::kScanGrave, kKeyChat},
    {platform::kScanEscape, kKeyQuit},
    {platform::kScanT, kKeyT},
    {platform::kScanLeftControl, kKeyControl},
    {platform::kScanRightControl, kKeyControl},
    {platform::kScanSpace, kKeyStop},
    {platform::kScanY, kKeyY},
    {platform::kScan6, kKeyFormation1},
    {platform::kScan7, kKeyFormation2},
    {platform::kScan8, kKeyFormation3},
    {platform::kScan9, kKeyFormation4},
    {platform::kScan1, kKeySelectType1},
    {platform::kScan2, kKeySelectType2},
    {platform::kScan3, kKeySelectType3},
    {platform::kScan4, kKeySelectType4},
    {platform::kScan5, kKeySelectType5},
    {platform::kScanP, kKeyWaypoints},
    {platform::kScanTab, kKeyScores},
    {platform::kScanF2, kKeySelectAll},
    {platform::kScanLeftShift, kKeyShift},
    {platform::kScanRightShift, kKeyShift},
    {platform::kScanF10, kKeyScreenshot},
};

} // namespace

Keyboard::Keyboard()
{
    commands_.fill(kKeyNone);
    FillCharacters();
    FillCommands();
}

void Keyboard::FillCharacters()
{
    for (const CharacterRow& row : kCharacters) {
        unshifted_[row.scanCode] = row.unshifted;
        shifted_[row.scanCode] = row.shifted;
    }
}

void Keyboard::FillCommands()
{
    for (const CommandRow& row : kCommands) {
        commands_[row.scanCode] = row.command;
    }
}

bool Keyboard::Init(platform::Window* window, InputHost* host)
{
    (void)window; // the records come from the event pump whatever the window
    host_ = host;
    hadFocus_ = platform::HasInputFocus();
    return host_ != nullptr;
}

void Keyboard::Release()
{
    host_ = nullptr;
}

bool Keyboard::Poll()
{
    if (!host_) {
        return false;
    }
    const bool focused = platform::HasInputFocus();
    if (!focused) {
        // What arrives without the focus is not the player's typing to us.
        platform::KeyboardRecords().Clear();
        if (hadFocus_) {
            LetGoOfHeldKeys();
        }
        hadFocus_ = false;
        eventsOfLastPoll_ = 0;
        return false;
    }
    hadFocus_ = true;
    std::array<platform::KeyRecord, platform::kKeyboardBufferSize> records{};
    const std::size_t count = platform::KeyboardRecords().Take(records);
    eventsOfLastPoll_ = static_cast<std::uint32_t>(count);
    for (KeyState& key : keys_) {
        key.pressed = false;
    }
    for (const platform::KeyRecord& record : std::span(records.data(), count)) {
        Apply(record);
    }
    return false;
}

void Keyboard::Apply(const platform::KeyRecord& record)
{
    const std::uint8_t scanCode = record.scanCode;
    if (scanCode == platform::kScanCapsLock) {
        // Caps Lock's down flag is the lock itself: each press turns it over,
        // releases count for nothing, and no message is sent.
        KeyState& caps = keys_[scanCode];
        if (record.down && !caps.down) {
            caps.down = true;
            caps.pressed = true;
        } else if (record.down) {
            caps.down = false;
        }
        return;
    }
    if (record.down) {
        KeyDown(scanCode);
    } else {
        KeyUp(scanCode);
    }
}

bool Keyboard::IsShifted() const
{
    return keys_[platform::kScanLeftShift].down || keys_[platform::kScanRightShift].down ||
           keys_[platform::kScanCapsLock].down;
}

void Keyboard::KeyDown(std::uint8_t scanCode)
{
    keys_[scanCode].down = true;
    keys_[scanCode].pressed = true;
    char character = unshifted_[scanCode];
    if (character != 0) {
        if (IsShifted()) {
            character = shifted_[scanCode];
        }
        if (typed_.size() >= kMaxTypedText) {
            typed_.erase(0, typed_.size() - kMaxTypedText + 1);
        }
        typed_.push_back(character);
    }
    host_->DispatchInput(kGuiKeyDown, static_cast<std::int32_t>(commands_[scanCode]),
                         static_cast<std::int32_t>(static_cast<unsigned char>(character)));
}

void Keyboard::KeyUp(std::uint8_t scanCode)
{
    keys_[scanCode].down = false;
    host_->DispatchInput(kGuiKeyUp, static_cast<std::int32_t>(commands_[scanCode]), 0);
}

void Keyboard::LetGoOfHeldKeys()
{
    for (std::size_t scanCode = 0; scanCode < keys_.size(); ++scanCode) {
        if (scanCode != platform::kScanCapsLock && keys_[scanCode].down) {
            KeyUp(static_cast<std::uint8_t>(scanCode));
        }
    }
}
