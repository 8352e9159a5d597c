// The in-game window: its key table (held commands, release-only keys,
// formations held across each other), the mouse in
// the menus and in a match, and the chat line.
#include "IngameField.h"

#include "game/GameRules.h"
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/KeyCommand.h"
#include "platform/QuitRequest.h"
#include "screens/PlayScreen.h"

#include "RecordingCanvas.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using ingame_test::Field;

namespace {

// The window built as a match starts, the game's hooks replaced by records.
struct Screen {
    Screen()
    {
        PlayScreenHooks hooks;
        hooks.inMenus = [this] { return inMenus; };
        hooks.camera = &field.camera;
        hooks.sendChat = [this](const std::string& text) { sent.push_back(text); };
        hooks.saveScreenshot = [this] { ++screenshots; };
        PlayScreen::Instance()->SetHooks(std::move(hooks));
        PlayScreen::Build();
    }

    void Send(std::uint32_t message, std::int32_t a, std::int32_t b = 0) { testing::Dispatch(message, a, b); }
    void Down(std::uint32_t key, char typed = 0) { Send(kGuiKeyDown, static_cast<std::int32_t>(key), typed); }
    void Up(std::uint32_t key) { Send(kGuiKeyUp, static_cast<std::int32_t>(key)); }
    guiEditBox* ChatBox() const
    {
        return static_cast<guiEditBox*>(
            guiManager::Instance()->FindObject(PlayScreen::kWindowName, PlayScreen::kChatBoxName, kGuiEditBox));
    }

    testing::GuiTestScope gui;
    Field field;
    bool inMenus = false;
    std::vector<std::string> sent;
    int screenshots = 0;
};

} // namespace

TEST_CASE_FIXTURE(Screen, "keys hold camera commands and formations while down, act once per press, and open the chat")
{
    Camera& camera = field.camera;
    const std::vector<int> expected = {0, 1, 2, 3, 6, 7, 8, 9, 4, 5};
    for (std::uint32_t key = kKeyTurnLeft; key <= kKeyZoomOut; ++key) {
        Down(key);
        REQUIRE(camera.GetCommands().size() == 1);
        CHECK(camera.GetCommands()[0] == expected[key - 1]);
        Up(key);
        CHECK(camera.GetCommands().empty());
    }

    // "7" held, "8" pressed and let go: back to the square though "7" is down.
    GroupMover* mover = GroupMover::Instance();
    Down(kKeyFormation2);
    CHECK(mover->GetFormation() == kFormationRows20);
    Down(kKeyFormation3);
    CHECK(mover->GetFormation() == kFormationStaggered);
    Up(kKeyFormation3);
    CHECK(mover->GetFormation() == kFormationSquare);
    Up(kKeyFormation2);

    Down(kKeyWaypoints);
    CHECK(mover->GetMoveKind() == kMoveAppend);
    Up(kKeyWaypoints);
    CHECK(mover->GetMoveKind() == kMoveReplace);
    const bool scores = GameRules::Instance()->GetShowScores();
    Down(kKeyScores);
    Up(kKeyScores);
    CHECK(GameRules::Instance()->GetShowScores() != scores);
    Down(kKeyControl);
    Down(kKeyShift);
    CHECK(field.sel.IsCtrlHeld());
    CHECK(field.sel.IsShiftHeld());
    Up(kKeyControl);
    Up(kKeyShift);
    CHECK_FALSE(field.sel.IsCtrlHeld());
    CHECK_FALSE(field.sel.IsShiftHeld());

    // T and Y mean nothing.
    Down(kKeyT);
    Down(kKeyY);
    CHECK(camera.GetCommands().empty());
    CHECK(screenshots == 0);

    // The chat key opens the focused chat line, closes it, opens it again, and Enter sends the line.
    Down(kKeyChat);
    guiEditBox* box = ChatBox();
    REQUIRE(box != nullptr);
    CHECK(box->IsActive());
    CHECK(box->GetMaxLength() == PlayScreen::kChatMaxLength);
    Down(kKeyChat);
    CHECK(ChatBox() == nullptr);
    Down(kKeyChat);
    REQUIRE(ChatBox() != nullptr);

    // Over the battle the line's text is outlined and its box grows with
    // it, from a sliver at x 230 to hold the text with its margins.
    ChatBox()->SetText("gg");
    gui.canvas.calls.clear();
    guiManager::Instance()->GetWindow(PlayScreen::kWindowName)->Render();
    REQUIRE(gui.canvas.calls.size() == 2);
    CHECK(gui.canvas.calls[1].outlined);
    CHECK(gui.canvas.calls[0].bottomRight.x - gui.canvas.calls[0].topLeft.x ==
          doctest::Approx(2 * 15.0f + 30.0f)); // "gg_" at 10 pixels a character
    CHECK(gui.canvas.calls[0].bottomRight.y - gui.canvas.calls[0].topLeft.y >= 16.0f + 6.0f);
    ChatBox()->SetText("");

    // A focused line takes the keys with characters; the camera keys' letters
    // go into the text.
    Down(kKeyPanForward, 'w');
    Down(kKeyPanLeft, 'a');
    Down(kKeyZoomOut, 'v');
    Down(kKeyOrbitRight, 'e');
    CHECK(field.camera.GetCommands().empty());
    Down(kKeyNone, '\n');
    CHECK(sent == std::vector<std::string>{"wave"});
    CHECK(ChatBox()->GetText().empty());

    // A line longer than the box holds is cut to it before it goes.
    std::string longLine(150, 'x');
    testing::Fire(PlayScreen::ChatBoxCallback, kGuiEditBoxEnter, guiParam::FromPointer(longLine.data()));
    REQUIRE(sent.size() == 2);
    CHECK(sent[1].size() == static_cast<std::size_t>(PlayScreen::kChatMaxLength));
}

TEST_CASE_FIXTURE(Screen, "selection keys act in a match only, F2 on release, and Escape ends the match or quits")
{
    Unit& smashtor = field.world.AddUnit(field.own, kSmashtor, 0.0f, 0.0f);
    Unit& trajectagon = field.world.AddUnit(field.own, kTrajectagon, 10.0f, 0.0f);

    Down(kKeySelectType1 + static_cast<std::uint32_t>(kTrajectagon));
    CHECK(field.sel.GetSelected() == std::vector<Unit*>{&trajectagon});
    Down(kKeySelectAll);
    CHECK(field.sel.GetSelected().size() == 1);
    Up(kKeySelectAll);
    CHECK(field.sel.GetSelected() == std::vector<Unit*>{&smashtor, &trajectagon});

    trajectagon.MoveTo({50.0f, 0.0f, 50.0f});
    REQUIRE(trajectagon.SetOrder(kOrderMove, false));
    Down(kKeyStop);
    CHECK(trajectagon.GetOrder() == kOrderIdle);

    // In a match Escape ends it, as the play-through shows; in the menus it
    // quits the game.
    inMenus = true;
    field.sel.ClearAll();
    Down(kKeySelectType1);
    Up(kKeySelectAll);
    CHECK(field.sel.GetSelected().empty());
    Down(kKeyQuit);
    CHECK(platform::TakePendingQuit() == 0);
}

TEST_CASE_FIXTURE(Screen, "in the menus only a left release and a clearing right press reach the selection")
{
    Unit& own = field.world.AddUnit(field.own, kSmashtor, 0.0f, 0.0f);
    field.world.AddUnit(field.enemy, kSmashtor, 5.0f, 5.0f);
    const Vec2 a = field.ScreenOf({-10.0f, 0.0f, 10.0f});
    const Vec2 b = field.ScreenOf({10.0f, 0.0f, -5.0f});
    const auto x = [](const Vec2& p) { return static_cast<std::int32_t>(p.x); };
    const auto y = [](const Vec2& p) { return static_cast<std::int32_t>(p.y); };

    Send(kGuiLeftDown, x(a), y(a));
    Send(kGuiMouseMove, x(b), y(b));
    field.sel.UpdateBoxSelection();
    CHECK(field.sel.GetSelected() == std::vector<Unit*>{&own});
    CHECK(field.sel.GetTargets().size() == 1);

    inMenus = true;
    // The release counts in the menus too, ending the drag.
    Send(kGuiLeftUp, x(b), y(b));
    CHECK_FALSE(field.sel.IsPressed());
    Send(kGuiLeftDown, x(a), y(a));
    CHECK_FALSE(field.sel.IsPressed());
    Send(kGuiRightDown, 10, 10);
    CHECK(field.sel.GetSelected().empty());
    CHECK(field.sel.GetTargets().empty());
    // Outside the minimap the camera stays.
    CHECK(field.camera.GetView().GetAt() == Vec3{});
}
