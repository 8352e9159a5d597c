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

TEST_CASE("keys hold camera commands and formations while down, and act once per press")
{
    Screen s;
    Camera& camera = s.field.camera;
    const std::vector<int> expected = {0, 1, 2, 3, 6, 7, 8, 9, 4, 5};
    for (std::uint32_t key = kKeyTurnLeft; key <= kKeyZoomOut; ++key) {
        s.Down(key);
        REQUIRE(camera.GetCommands().size() == 1);
        CHECK(camera.GetCommands()[0] == expected[key - 1]);
        s.Up(key);
        CHECK(camera.GetCommands().empty());
    }

    // "7" held, "8" pressed and let go: back to the square though "7" is down.
    GroupMover* mover = GroupMover::Instance();
    s.Down(kKeyFormation2);
    CHECK(mover->GetFormation() == kFormationRows20);
    s.Down(kKeyFormation3);
    CHECK(mover->GetFormation() == kFormationStaggered);
    s.Up(kKeyFormation3);
    CHECK(mover->GetFormation() == kFormationSquare);
    s.Up(kKeyFormation2);

    s.Down(kKeyWaypoints);
    CHECK(mover->GetMoveKind() == kMoveAppend);
    s.Up(kKeyWaypoints);
    CHECK(mover->GetMoveKind() == kMoveReplace);
    const bool scores = GameRules::Instance()->GetShowScores();
    s.Down(kKeyScores);
    s.Up(kKeyScores);
    CHECK(GameRules::Instance()->GetShowScores() != scores);
    s.Down(kKeyControl);
    s.Down(kKeyShift);
    CHECK(s.field.selection->IsCtrlHeld());
    CHECK(s.field.selection->IsShiftHeld());
    s.Up(kKeyControl);
    s.Up(kKeyShift);
    CHECK_FALSE(s.field.selection->IsCtrlHeld());
    CHECK_FALSE(s.field.selection->IsShiftHeld());

    // T and Y mean nothing.
    s.Down(kKeyT);
    s.Down(kKeyY);
    CHECK(camera.GetCommands().empty());
    CHECK(s.screenshots == 0);
}

TEST_CASE("selection keys act in a match only, F2 on release, and Escape ends the match or quits the game")
{
    Screen s;
    Unit& smashtor = s.field.world.AddUnit(s.field.own, kSmashtor, 0.0f, 0.0f);
    Unit& trajectagon = s.field.world.AddUnit(s.field.own, kTrajectagon, 10.0f, 0.0f);
    SelectionController& sel = *s.field.selection;

    s.Down(kKeySelectType1 + static_cast<std::uint32_t>(kTrajectagon));
    CHECK(sel.GetSelected() == std::vector<Unit*>{&trajectagon});
    s.Down(kKeySelectAll);
    CHECK(sel.GetSelected().size() == 1);
    s.Up(kKeySelectAll);
    CHECK(sel.GetSelected() == std::vector<Unit*>{&smashtor, &trajectagon});

    trajectagon.MoveTo({50.0f, 0.0f, 50.0f});
    REQUIRE(trajectagon.SetOrder(kOrderMove, false));
    s.Down(kKeyStop);
    CHECK(trajectagon.GetOrder() == kOrderIdle);

    // In a match Escape ends it, as the play-through shows; in the menus it
    // quits the game.
    s.inMenus = true;
    sel.ClearAll();
    s.Down(kKeySelectType1);
    s.Up(kKeySelectAll);
    CHECK(sel.GetSelected().empty());
    s.Down(kKeyQuit);
    CHECK(platform::TakePendingQuit() == 0);
}

TEST_CASE("in the menus only a left release and a right press reach the selection, and a right press clears both lists")
{
    Screen s;
    Unit& own = s.field.world.AddUnit(s.field.own, kSmashtor, 0.0f, 0.0f);
    s.field.world.AddUnit(s.field.enemy, kSmashtor, 5.0f, 5.0f);
    SelectionController& sel = *s.field.selection;
    const Vec2 a = s.field.ScreenOf({-10.0f, 0.0f, 10.0f});
    const Vec2 b = s.field.ScreenOf({10.0f, 0.0f, -5.0f});
    const auto x = [](const Vec2& p) { return static_cast<std::int32_t>(p.x); };
    const auto y = [](const Vec2& p) { return static_cast<std::int32_t>(p.y); };

    s.Send(kGuiLeftDown, x(a), y(a));
    s.Send(kGuiMouseMove, x(b), y(b));
    sel.UpdateBoxSelection();
    CHECK(sel.GetSelected() == std::vector<Unit*>{&own});
    CHECK(sel.GetTargets().size() == 1);

    s.inMenus = true;
    // The release counts in the menus too, ending the drag.
    s.Send(kGuiLeftUp, x(b), y(b));
    CHECK_FALSE(sel.IsPressed());
    s.Send(kGuiLeftDown, x(a), y(a));
    CHECK_FALSE(sel.IsPressed());
    s.Send(kGuiRightDown, 10, 10);
    CHECK(sel.GetSelected().empty());
    CHECK(sel.GetTargets().empty());
    // Outside the minimap the camera stays.
    CHECK(s.field.camera.GetView().GetAt() == Vec3{});
}

TEST_CASE("the chat key opens the focused chat line, closes it, opens it again, and Enter sends the line")
{
    Screen s;
    s.Down(kKeyChat);
    guiEditBox* box = s.ChatBox();
    REQUIRE(box != nullptr);
    CHECK(box->IsActive());
    CHECK(box->GetMaxLength() == PlayScreen::kChatMaxLength);
    s.Down(kKeyChat);
    CHECK(s.ChatBox() == nullptr);
    s.Down(kKeyChat);
    REQUIRE(s.ChatBox() != nullptr);

    // A focused line takes the keys with characters; the camera keys' letters
    // go into the text.
    s.Down(kKeyPanForward, 'w');
    s.Down(kKeyPanLeft, 'a');
    s.Down(kKeyZoomOut, 'v');
    s.Down(kKeyOrbitRight, 'e');
    CHECK(s.field.camera.GetCommands().empty());
    s.Down(kKeyNone, '\n');
    CHECK(s.sent == std::vector<std::string>{"wave"});
    CHECK(s.ChatBox()->GetText().empty());

    // A line longer than the box holds is cut to it before it goes.
    std::string longLine(150, 'x');
    testing::Fire(PlayScreen::ChatBoxCallback, kGuiEditBoxEnter, guiParam::FromPointer(longLine.data()));
    REQUIRE(s.sent.size() == 2);
    CHECK(s.sent[1].size() == static_cast<std::size_t>(PlayScreen::kChatMaxLength));
}
