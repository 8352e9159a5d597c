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
    Keyboard* keyboard = Keyboard::Instance();
};

using namespace platform;

} // namespace

TEST_CASE_FIXTURE(KeyboardFixture, "the keyboard types US-layout characters, sends key commands and keeps its flags")
{
    // The rows' odd corners: the digits' shifted symbols, the brackets, the
    // quote and backslash, the space.
    const std::vector<std::uint8_t> rows = {kScan1,         kScan0,          kScanMinus,       kScanEquals,
                                            kScanQ,         kScanP,          kScanLeftBracket, kScanRightBracket,
                                            kScanSemicolon, kScanApostrophe, kScanBackslash,   kScanM,
                                            kScanComma,     kScanSlash,      kScanSpace};

    SUBCASE("characters plain, shifted and from the keypad")
    {
        CHECK(TypeKeys(rows) == "10-=qp[];'\\m,/ ");
        Press(kScanLeftShift);
        CHECK(TypeKeys(rows) == "!)_+QP{}:\"|M<? ");
        CHECK(TypeKeys({kScanKeypad7, kScanKeypadMinus, kScanKeypad0, kScanKeypadPeriod, kScanKeypadMultiply}) ==
              "7-0.*");
        Release(kScanLeftShift);
        Press(kScanRightShift);
        CHECK(TypeKeys({kScanA, kScanKeypad1}) == "A1");
        CHECK(TypeKeys({kScanBackspace, kScanTab, kScanReturn}) == "\b\t\n");
    }

    SUBCASE("a held key is one press and one release, a tap in one poll is pressed not down, commands on keys")
    {
        Press(kScanW);
        keyboard->Poll();
        keyboard->Poll();
        CHECK(keyboard->IsKeyDown(kScanW));
        CHECK_FALSE(keyboard->WasKeyPressed(kScanW));
        Release(kScanW);
        Tap(kScanF1);
        keyboard->Poll();
        CHECK(host.sent == std::vector<SentMessage>{{kGuiKeyDown, kKeyPanForward, 'w'},
                                                    {kGuiKeyUp, kKeyPanForward, 0},
                                                    {kGuiKeyDown, 0, 0},
                                                    {kGuiKeyUp, 0, 0}});
        CHECK(keyboard->IsKeyUp(kScanW));
        CHECK_FALSE(keyboard->IsKeyDown(kScanF1));
        CHECK(keyboard->WasKeyPressed(kScanF1));

        // Commands on their keys, both Ctrls and Shifts, and keys without one carry 0.
        const std::vector<std::pair<std::uint8_t, KeyCommand>> commands = {
            {kScanZ, kKeyTurnLeft},       {kScanGrave, kKeyChat},
            {kScanEscape, kKeyQuit},      {kScanRightControl, kKeyControl},
            {kScanRightShift, kKeyShift}, {kScan9, kKeyFormation4},
            {kScan5, kKeySelectType5},    {kScanF2, kKeySelectAll},
            {kScanF10, kKeyScreenshot},   {kScanF1, kKeyNone},
            {kScan0, kKeyNone},           {kScanKeypadEnter, kKeyNone}};
        for (const auto& [scanCode, command] : commands) {
            host.sent.clear();
            Tap(scanCode);
            keyboard->Poll();
            INFO("scan code " << int(scanCode));
            REQUIRE(host.sent.size() == 2);
            CHECK(host.sent[0].a == static_cast<std::int32_t>(command));
            CHECK(host.sent[1].a == static_cast<std::int32_t>(command));
        }
        // The grave accent key types nothing.
        CHECK(TypeKeys({kScanGrave, kScanF1, kScanUp}).empty());
    }

    SUBCASE("Caps Lock shifts digits too, sends nothing and still shifts with Shift, and survives losing the focus")
    {
        Tap(kScanCapsLock);
        Tap(kScan1);
        Press(kScanLeftShift);
        Tap(kScanA);
        keyboard->Poll();
        CHECK(keyboard->GetTypedText() == "!A");
        REQUIRE(host.sent.size() == 5);
        CHECK(host.sent[0] == SentMessage{kGuiKeyDown, kKeySelectType1, '!'});
        CHECK(keyboard->IsKeyDown(kScanCapsLock));
        Tap(kScanCapsLock);
        Release(kScanLeftShift);
        Tap(kScanA);
        keyboard->Poll();
        CHECK(keyboard->GetTypedText() == "!Aa");

        // Losing the focus lets go of held keys but not of Caps Lock, and takes nothing.
        Tap(kScanCapsLock);
        Press(kScanW);
        Press(kScanLeftControl);
        keyboard->Poll();
        host.sent.clear();
        platform::SetInputFocus(false);
        Press(kScanEscape);
        keyboard->Poll();
        keyboard->Poll();
        CHECK(host.sent == std::vector<SentMessage>{{kGuiKeyUp, kKeyPanForward, 0}, {kGuiKeyUp, kKeyControl, 0}});
        CHECK_FALSE(keyboard->IsKeyDown(kScanW));
        CHECK(keyboard->IsKeyDown(kScanCapsLock));
        platform::SetInputFocus(true);
        keyboard->Poll();
        CHECK(host.sent.size() == 2);
        Tap(kScanQ);
        keyboard->Poll();
        CHECK(host.sent.size() == 4);
    }

    SUBCASE("more than eight records arrive over several polls in order, and without a host they wait")
    {
        const std::vector<std::uint8_t> keys = {kScanA, kScanB, kScanC, kScanD, kScanE, kScanF,
                                                kScanG, kScanH, kScanI, kScanJ, kScanK};
        for (const std::uint8_t key : keys) {
            Tap(key);
        }
        keyboard->Poll();
        CHECK(keyboard->GetEventsOfLastPoll() == 8);
        CHECK(keyboard->GetTypedText() == "abcd");
        keyboard->Poll();
        keyboard->Poll();
        CHECK(keyboard->GetEventsOfLastPoll() == 6);
        CHECK(keyboard->GetTypedText() == "abcdefghijk");
        CHECK(host.sent.size() == 22);
        CHECK(host.sent.back() == SentMessage{kGuiKeyUp, 0, 0});

        // Without a host the records wait, and typed text keeps only its newest characters.
        host.sent.clear();
        keyboard->Release();
        Tap(kScanA);
        keyboard->Poll();
        CHECK(host.sent.empty());
        keyboard->Init(nullptr, &host);
        keyboard->Poll();
        CHECK(host.sent.size() == 2);
        for (std::size_t i = 0; i < Keyboard::kMaxTypedText; ++i) {
            Tap(kScanB);
            keyboard->Poll();
        }
        Tap(kScanC);
        keyboard->Poll();
        CHECK(keyboard->GetTypedText().size() == Keyboard::kMaxTypedText);
        CHECK(keyboard->GetTypedText().front() == 'b');
        CHECK(keyboard->GetTypedText().back() == 'c');
    }
}
