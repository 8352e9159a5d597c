// The lobby over a fake network session: the names and kick buttons follow
// the joined players whatever comes (a double leave, a ninth client), a
// client's list, chat sent once, the settings lines, and the options laid
// over a lobby that takes no input meanwhile.
#include "gui/guiButton.h"
#include "gui/guiCheckBox.h"
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "screens/LobbyScreen.h"
#include "screens/OptionsScreen.h"
#include "screens/ScreenManager.h"

#include "../screens/RecordingMenuHost.h"
#include "FakeNetSession.h"
#include "RecordingCanvas.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

namespace {

guiButton* Kick(int i)
{
    return static_cast<guiButton*>(guiManager::Instance()->FindObject(
        LobbyScreen::kWindow, LobbyScreen::kKickPrefix + std::to_string(i), kGuiButton));
}

guiEditBox* CommandLine()
{
    return static_cast<guiEditBox*>(
        guiManager::Instance()->FindObject(LobbyScreen::kWindow, LobbyScreen::kCommandLine, kGuiEditBox));
}

bool Press(guiCallback callback, void* button = nullptr)
{
    guiParam a = guiParam::FromPointer(button);
    guiParam b = guiParam::FromInt(0);
    bool handled = false;
    callback(kGuiButtonReleased, &a, &b, &handled);
    return handled;
}

void Enter(std::string text)
{
    guiParam a = guiParam::FromPointer(text.data());
    guiParam b = guiParam::FromInt(0);
    bool handled = false;
    LobbyScreen::LobbyChatEntered(kGuiEditBoxEnter, &a, &b, &handled);
}

std::vector<std::string> Texts(const std::vector<LobbyLine>& lines)
{
    std::vector<std::string> texts;
    for (const LobbyLine& line : lines) {
        texts.push_back(line.text);
    }
    return texts;
}

// A left click at a pixel of the 1024x768 screen, through every window.
void ClickAt(int x, int y)
{
    for (const std::uint32_t message : {kGuiMouseMove, kGuiLeftDown, kGuiLeftUp}) {
        bool handled = false;
        guiManager::Instance()->DispatchInput(message, guiParam::FromInt(x), guiParam::FromInt(y), &handled);
    }
    guiManager::Instance()->RenderAll();
}

struct LobbyFixture {
    explicit LobbyFixture(bool hosting)
    {
        session.hosting = hosting;
        ScreenManager::Instance()->SetScreen(kScreenLobby);
    }
    testing::TempDirectory logs;
    testing::GuiTestScope gui;
    testing::RecordingMenuHost host;
    FakeNetSession session;
    LobbyScreen* lobby = LobbyScreen::Instance();
};

} // namespace

TEST_CASE("the host's lobby follows the joined players and lays the options over itself")
{
    LobbyFixture fixture(true);
    FakeNetSession& session = fixture.session;
    LobbyScreen* lobby = fixture.lobby;
    REQUIRE(lobby->IsShown());

    SUBCASE("no clients, then two, then one leaving twice")
    {
        CHECK(lobby->NameLines().empty());
        CHECK(lobby->KickButtonsShown() == 0);
        session.players = {{1, "Ann"}, {2, "Bob"}};
        lobby->PlayersChanged();
        CHECK(lobby->NameLines() == std::vector<std::string>{" 1: Ann", " 2: Bob"});
        CHECK(Kick(0)->IsVisible());
        CHECK(Kick(1)->IsVisible());
        CHECK_FALSE(Kick(2)->IsVisible());
        session.players.pop_back();
        lobby->PlayersChanged();
        lobby->PlayersChanged();
        CHECK(lobby->KickButtonsShown() == 1);
    }
    SUBCASE("more players than buttons show every button and no more")
    {
        for (int id = 1; id <= 9; ++id) {
            session.players.push_back({id, "P" + std::to_string(id)});
        }
        lobby->PlayersChanged();
        CHECK(lobby->KickButtonsShown() == LobbyScreen::kKickButtons);
    }
    SUBCASE("a kick names the player on that line, and a button past the list kicks nobody")
    {
        session.players = {{2, "Ann"}, {5, "Bob"}};
        lobby->PlayersChanged();
        Press(LobbyScreen::LobbyKickPressed, Kick(1));
        Press(LobbyScreen::LobbyKickPressed, Kick(6));
        Press(LobbyScreen::LobbyKickPressed, nullptr);
        CHECK(session.kicked == std::vector<std::int32_t>{5});
    }
    SUBCASE("chat: an empty line sends nothing, a line is sent once and the line empties")
    {
        Enter("");
        CHECK(session.chat.empty());
        CommandLine()->SetText("gg");
        Enter("gg");
        CHECK(session.chat == std::vector<std::string>{"gg"});
        CHECK(CommandLine()->GetText().empty());
    }
    SUBCASE("settings lines list the allowed units in bit order and no computer armies after a build")
    {
        lobby->SetGameOptions({3, 2.5f, 5, 1, 60, 4});
        CHECK(Texts(lobby->SettingsLines()) ==
              std::vector<std::string>{"2 Minutes, 30 Seconds", "Game Type:", "Body Count", "Maximum Units: 60",
                                       "Units Allowed:", "Smashtor", "Dedagon", "AI Armies:4"});
        lobby->SetGameOptions({0, 1.0f, 31, 0, 40, 0});
        CHECK(lobby->SettingsLines().size() == 11);
        lobby->SetGameOptions({0, 1.0f, 31, 0, 40, 6});
        ScreenManager::Instance()->SetScreen(kScreenLobby);
        CHECK(lobby->SettingsLines().back().text == "AI Armies:0");
        // Words out of range never reach the tables.
        lobby->SetGameOptions({9, 1.0f, 31, 77, 40, 0});
        CHECK(lobby->GetOptions().mode == 0);
        CHECK(lobby->GetOptions().mapIndex == 0);
    }
    SUBCASE("Change: the hidden lobby takes no input, OK stores and sends, Cancel keeps")
    {
        session.players = {{1, "Ann"}};
        lobby->PlayersChanged();
        lobby->SetGameOptions({1, 3.0f, 31, 2, 50, 0});
        CHECK(Press(LobbyScreen::LobbyOptionsPressed));
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenOptions);
        CHECK(OptionsScreen::Instance()->GetOptions().mapIndex == 2);
        CHECK(OptionsScreen::Instance()->GetOtherPlayers() == 1);
        guiWindow* window = guiManager::Instance()->GetWindow(LobbyScreen::kWindow);
        CHECK_FALSE(window->IsVisible());
        CHECK(window->IsDisabled());
        CHECK_FALSE(CommandLine()->IsActive());
        // A click on the first kick button's place, and typing with Enter.
        ClickAt(353, 149);
        bool handled = false;
        guiManager::Instance()->DispatchInput(kGuiKeyDown, guiParam::FromInt(0), guiParam::FromInt('x'), &handled);
        guiManager::Instance()->DispatchInput(kGuiKeyDown, guiParam::FromInt(0), guiParam::FromInt('\n'), &handled);
        CHECK(session.kicked.empty());
        CHECK(session.chat.empty());

        Press(OptionsScreen::OptionsCancelPressed);
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenLobby);
        CHECK(window->IsVisible());
        CHECK_FALSE(window->IsDisabled());
        CHECK(session.settingsSent.empty());
        CHECK(lobby->GetOptions().mode == 1);
        // A single-player game after this one counts no other players.
        CHECK(OptionsScreen::Instance()->GetOtherPlayers() == 0);

        Press(LobbyScreen::LobbyOptionsPressed);
        OptionsScreen::Instance()->SetValues({3, 3.0f, 31, 1, 50, 2});
        Press(OptionsScreen::OptionsOkPressed);
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenLobby);
        CHECK(lobby->GetOptions().mode == 3);
        REQUIRE(session.settingsSent.size() == 1);
        CHECK(session.settingsSent[0].mapIndex == 1);
        CHECK(fixture.host.calls.empty()); // the game's own options wait for Ready
    }
    SUBCASE("Ready starts everyone with the lobby's settings, Drop leaves")
    {
        lobby->SetGameOptions({2, 4.0f, 31, 3, 30, 0});
        CHECK(Press(LobbyScreen::LobbyReadyPressed));
        CHECK(session.starts == 1);
        CHECK(fixture.host.options.mapIndex == 3);
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenUnitSelection);
        CHECK_FALSE(lobby->IsShown());
        ScreenManager::Instance()->SetScreen(kScreenLobby);
        Press(LobbyScreen::LobbyDropPressed);
        CHECK(session.leaves == 1);
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenConnection);
    }
}

TEST_CASE("a client's lobby lists its host, then the names the host sends")
{
    LobbyFixture fixture(false);
    FakeNetSession& session = fixture.session;
    LobbyScreen* lobby = fixture.lobby;
    session.players = {{0, "Hal"}};
    lobby->SetPlayerName(0, "Ann");
    lobby->SetPlayerName(1, "Me");
    lobby->SetPlayerName(3, "after the gap");
    lobby->SetPlayerName(7, "no such line");
    lobby->SetPlayerName(-1, "no such line");
    CHECK(lobby->NameLines() == std::vector<std::string>{" 1: Hal", " 2: Ann", " 3: Me"});
    lobby->SetPlayerName(0, std::string(200, 'n'));
    CHECK(lobby->GetPlayerName(0).size() == LobbyScreen::kNameLength);
    CHECK(guiManager::Instance()->FindObject(LobbyScreen::kWindow, LobbyScreen::kReadyButton, kGuiButton) == nullptr);
    CHECK_FALSE(Press(LobbyScreen::LobbyReadyPressed));
    CHECK_FALSE(Press(LobbyScreen::LobbyOptionsPressed));
    CHECK(session.starts == 0);
}
