#include "input/Keyboard.h"
#include "input/guiMessage.h"
#include "platform/InputEvents.h"
#include "platform/ScanCodes.h"

#include "RecordingInputHost.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using testing::SentMessage;

namespace {

struct KeyboardFixture {
    KeyboardFixture()
    {
        platform::KeyboardRecords().Clear();
        platform::SetInputFocus(true);
        keyboard = Keyboard::Instance();
        keyboard->Init(nullptr, &host);
        // The keyboard outlives a subcase: let go of what an earlier one held.
        for (int scanCode = 0; scanCode < 256; ++scanCode) {
            if (keyboard->IsKeyDown(static_cast<std::uint8_t>(scanCode))) {
                Tap(static_cast<std::uint8_t>(scanCode));
                keyboard->Poll();
            }
        }
        keyboard->ClearTypedText();
        host.sent.clear();
    }

    void Press(std::uint8_t scanCode) { platform::KeyboardRecords().Push({scanCode, true, 0}); }
    void Release(std::uint8_t scanCode) { platform::KeyboardRecords().Push({scanCode, false, 0}); }
    void Tap(std::uint8_t scanCode)
    {
        Press(scanCode);
        Release(scanCode);
    }
    // Taps each key, a poll at a time, and gives what was typed.
    std::string TypeKeys(const std::vector<std::uint8_t>& keys)
    {
        keyboard->ClearTypedText();
        for (const std::uint8_t key : keys) {
            Tap(key);
            keyboard->Poll();
        }
        return keyboard->GetTypedText();
    }

    testing::RecordingInputHost host;
    Keyboard* keyboard = nullptr;
};

using namespace platform;

} // namespace

TEST_CASE("the keyboard types US-layout characters, sends the game's key commands and keeps its flags")
{
    KeyboardFixture f;
    // The rows' odd corners: the digits' shifted symbols, the brackets, the
    // quote and backslash, the space.
    const std::vector<std::uint8_t> rows = {kScan1,         kScan0,          kScanMinus,       kScanEquals,
                                            kScanQ,         kScanP,          kScanLeftBracket, kScanRightBracket,
                                            kScanSemicolon, kScanApostrophe, kScanBackslash,   kScanM,
                                            kScanComma,     kScanSlash,      kScanSpace};

    SUBCASE("characters plain, shifted and from the keypad")
    {
        CHECK(f.TypeKeys(rows) == "10-=qp[];'\\m,/ ");
        f.Press(kScanLeftShift);
        CHECK(f.TypeKeys(rows) == "!)_+QP{}:\"|M<? ");
        CHECK(f.TypeKeys({kScanKeypad7, kScanKeypadMinus, kScanKeypad0, kScanKeypadPeriod, kScanKeypadMultiply}) ==
              "7-0.*");
        f.Release(kScanLeftShift);
        f.Press(kScanRightShift);
        CHECK(f.TypeKeys({kScanA, kScanKeypad1}) == "A1");
        CHECK(f.TypeKeys({kScanBackspace, kScanTab, kScanReturn}) == "\b\t\n");
    }

    SUBCASE("commands on their keys, both Ctrls and Shifts, and keys without one carry 0")
    {
        const std::vector<std::pair<std::uint8_t, KeyCommand>> commands = {
            {kScanZ, kKeyTurnLeft},       {kScanGrave, kKeyChat},
            {kScanEscape, kKeyQuit},      {kScanRightControl, kKeyControl},
            {kScanRightShift, kKeyShift}, {kScan9, kKeyFormation4},
            {kScan5, kKeySelectType5},    {kScanF2, kKeySelectAll},
            {kScanF10, kKeyScreenshot},   {kScanF1, kKeyNone},
            {kScan0, kKeyNone},           {kScanKeypadEnter, kKeyNone}};
        for (const auto& [scanCode, command] : commands) {
            f.host.sent.clear();
            f.Tap(scanCode);
            f.keyboard->Poll();
            INFO("scan code " << int(scanCode));
            REQUIRE(f.host.sent.size() == 2);
            CHECK(f.host.sent[0].a == static_cast<std::int32_t>(command));
            CHECK(f.host.sent[1].a == static_cast<std::int32_t>(command));
        }
        // The grave accent key types nothing.
        CHECK(f.TypeKeys({kScanGrave, kScanF1, kScanUp}).empty());
    }
    SUBCASE("a held key is one press and one release; a tap in one poll leaves it pressed, not down")
    {
        f.Press(kScanW);
        f.keyboard->Poll();
        f.keyboard->Poll();
        CHECK(f.keyboard->IsKeyDown(kScanW));
        CHECK_FALSE(f.keyboard->WasKeyPressed(kScanW));
        f.Release(kScanW);
        f.Tap(kScanF1);
        f.keyboard->Poll();
        CHECK(f.host.sent == std::vector<SentMessage>{{kGuiKeyDown, kKeyPanForward, 'w'},
                                                      {kGuiKeyUp, kKeyPanForward, 0},
                                                      {kGuiKeyDown, 0, 0},
                                                      {kGuiKeyUp, 0, 0}});
        CHECK(f.keyboard->IsKeyUp(kScanW));
        CHECK_FALSE(f.keyboard->IsKeyDown(kScanF1));
        CHECK(f.keyboard->WasKeyPressed(kScanF1));
    }

    SUBCASE("Caps Lock shifts digits too, sends nothing, and Shift with it still shifts")
    {
        f.Tap(kScanCapsLock);
        f.Tap(kScan1);
        f.Press(kScanLeftShift);
        f.Tap(kScanA);
        f.keyboard->Poll();
        CHECK(f.keyboard->GetTypedText() == "!A");
        REQUIRE(f.host.sent.size() == 5);
        CHECK(f.host.sent[0] == SentMessage{kGuiKeyDown, kKeySelectType1, '!'});
        CHECK(f.keyboard->IsKeyDown(kScanCapsLock));
        f.Tap(kScanCapsLock);
        f.Release(kScanLeftShift);
        f.Tap(kScanA);
        f.keyboard->Poll();
        CHECK(f.keyboard->GetTypedText() == "!Aa");
    }

    SUBCASE("more than eight records arrive over several polls, in order, none lost")
    {
        const std::vector<std::uint8_t> keys = {kScanA, kScanB, kScanC, kScanD, kScanE, kScanF,
                                                kScanG, kScanH, kScanI, kScanJ, kScanK};
        for (const std::uint8_t key : keys) {
            f.Tap(key);
        }
        f.keyboard->Poll();
        CHECK(f.keyboard->GetEventsOfLastPoll() == 8);
        CHECK(f.keyboard->GetTypedText() == "abcd");
        f.keyboard->Poll();
        f.keyboard->Poll();
        CHECK(f.keyboard->GetEventsOfLastPoll() == 6);
        CHECK(f.keyboard->GetTypedText() == "abcdefghijk");
        CHECK(f.host.sent.size() == 22);
        CHECK(f.host.sent.back() == SentMessage{kGuiKeyUp, 0, 0});
    }

    SUBCASE("losing the focus lets go of held keys but not of Caps Lock, and takes nothing")
    {
        f.Tap(kScanCapsLock);
        f.Press(kScanW);
        f.Press(kScanLeftControl);
        f.keyboard->Poll();
        f.host.sent.clear();
        platform::SetInputFocus(false);
        f.Press(kScanEscape);
        f.keyboard->Poll();
        f.keyboard->Poll();
        CHECK(f.host.sent == std::vector<SentMessage>{{kGuiKeyUp, kKeyPanForward, 0}, {kGuiKeyUp, kKeyControl, 0}});
        CHECK_FALSE(f.keyboard->IsKeyDown(kScanW));
        CHECK(f.keyboard->IsKeyDown(kScanCapsLock));
        platform::SetInputFocus(true);
        f.keyboard->Poll();
        CHECK(f.host.sent.size() == 2);
        f.Tap(kScanQ);
        f.keyboard->Poll();
        CHECK(f.host.sent.size() == 4);
    }

    SUBCASE("without a host the records wait, and typed text keeps only its newest characters")
    {
        f.keyboard->Release();
        f.Tap(kScanA);
        f.keyboard->Poll();
        CHECK(f.host.sent.empty());
        f.keyboard->Init(nullptr, &f.host);
        f.keyboard->Poll();
        CHECK(f.host.sent.size() == 2);
        for (std::size_t i = 0; i < Keyboard::kMaxTypedText; ++i) {
            f.Tap(kScanB);
            f.keyboard->Poll();
        }
        f.Tap(kScanC);
        f.keyboard->Poll();
        CHECK(f.keyboard->GetTypedText().size() == Keyboard::kMaxTypedText);
        CHECK(f.keyboard->GetTypedText().front() == 'b');
        CHECK(f.keyboard->GetTypedText().back() == 'c');
    }
}
