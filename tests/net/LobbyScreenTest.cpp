// The lobby over a fake network session: the names and kick buttons follow
// the joined players whatever comes (a double leave, a ninth client, names
// for lines that do not exist), host and client list the players alike,
// chat sent once, the options laid over a lobby that takes no input
// meanwhile, and no computer armies offered or shown.
#include "gui/guiButton.h"
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "screens/LobbyScreen.h"
#include "screens/OptionsScreen.h"
#include "screens/ScreenManager.h"

#include "FakeNetSession.h"

#include <doctest/doctest.h>

#include <algorithm>
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

template <bool Hosting> struct LobbyFixture : NetScreenScope {
    LobbyFixture()
    {
        session.hosting = Hosting;
        ScreenManager::Instance()->SetScreen(kScreenLobby);
    }
    LobbyScreen* lobby = LobbyScreen::Instance();
};

} // namespace

TEST_CASE_FIXTURE(LobbyFixture<true>, "the host's lobby follows the joined players and lays the options over itself")
{
    REQUIRE(lobby->IsShown());

    // Chat: an empty line sends nothing, a line is sent once and the line empties.
    Press(LobbyScreen::LobbyChatEntered, std::string().data(), kGuiEditBoxEnter);
    CommandLine()->SetText("gg");
    Press(LobbyScreen::LobbyChatEntered, std::string("gg").data(), kGuiEditBoxEnter);
    CHECK(session.calls == std::vector<std::string>{"Chat gg"});
    CHECK(CommandLine()->GetText().empty());

    // Kick buttons follow the players and kick the player on their line, never past the list.
    session.calls.clear();
    CHECK(lobby->KickButtonsShown() == 0);
    session.players = {{1, "Ann"}, {2, "Bob"}};
    lobby->PlayersChanged();
    CHECK(lobby->NameLines() == std::vector<std::string>{" 1: Me", " 2: Ann", " 3: Bob"});
    // Each kick button stands on its client's line, under the host's: line n at 141 + 30 (n - 1) pixels.
    for (int i = 0; i < 2; ++i) {
        const float top = Kick(i)->GetPosition().y * 767.0f;
        CHECK(top == doctest::Approx(141.0f + 30.0f * static_cast<float>(i + 1)).epsilon(0.02));
    }
    CHECK(Kick(1)->IsVisible());
    CHECK_FALSE(Kick(2)->IsVisible());
    Press(LobbyScreen::LobbyKickPressed, Kick(1));
    Press(LobbyScreen::LobbyKickPressed, Kick(6));
    Press(LobbyScreen::LobbyKickPressed, nullptr);
    CHECK(session.calls == std::vector<std::string>{"Kick 2"});
    session.players.pop_back();
    lobby->PlayersChanged();
    lobby->PlayersChanged();
    CHECK(lobby->KickButtonsShown() == 1);
    for (int id = 2; id <= 9; ++id) {
        session.players.push_back({id, "P" + std::to_string(id)});
    }
    lobby->PlayersChanged();
    CHECK(lobby->KickButtonsShown() == LobbyScreen::kKickButtons);

    // Change: the hidden lobby takes no input, and Cancel keeps its options.
    session.calls.clear();
    session.players = {{1, "Ann"}};
    lobby->PlayersChanged();
    lobby->SetGameOptions({1, 3.0f, 31, 2, 50, 0});
    CHECK(Press(LobbyScreen::LobbyOptionsPressed));
    CHECK(ScreenManager::Instance()->GetScreenId() == kScreenOptions);
    guiWindow* window = guiManager::Instance()->GetWindow(LobbyScreen::kWindow);
    // No computer armies over the lobby: their slider, picture and count are not shown.
    const guiObject* armies =
        guiManager::Instance()->FindObject(OptionsScreen::kWindow, "OptionsAIAmountSlider", kGuiSlider);
    REQUIRE(armies != nullptr);
    CHECK_FALSE(armies->IsVisible());
    gui.canvas.calls.clear();
    guiManager::Instance()->RenderAll();
    OptionsScreen::Instance()->Draw(gui.canvas);
    for (const testing::CanvasCall& call : gui.canvas.calls) {
        CHECK(call.texture.find("AIPlayersText") == std::string::npos);
        CHECK(call.text.find("AI Armies") == std::string::npos);
    }
    // A left click on the first kick button's place, then typing with Enter.
    for (const std::uint32_t message : {kGuiMouseMove, kGuiLeftDown, kGuiLeftUp}) {
        testing::Dispatch(message, 353, 179);
    }
    guiManager::Instance()->RenderAll();
    testing::Dispatch(kGuiKeyDown, 0, 'x');
    testing::Dispatch(kGuiKeyDown, 0, '\n');
    Press(OptionsScreen::OptionsCancelPressed);
    CHECK(ScreenManager::Instance()->GetScreenId() == kScreenLobby);
    CHECK_FALSE(window->IsDisabled());
    CHECK(session.calls.empty());
    CHECK(lobby->GetOptions().mode == 1);
    // The lobby's settings name no computer armies either.
    const std::vector<LobbyLine> settings = lobby->SettingsLines();
    CHECK(std::none_of(settings.begin(), settings.end(),
                       [](const LobbyLine& line) { return line.text.find("AI") != std::string::npos; }));
}

TEST_CASE_FIXTURE(LobbyFixture<false>, "a client's lobby lists its host, then the names it sends, and cannot start")
{
    session.players = {{0, "Hal"}};
    lobby->SetPlayerName(0, "Ann");
    lobby->SetPlayerName(1, "Me");
    lobby->SetPlayerName(7, "no such line");
    lobby->SetPlayerName(-1, "no such line");
    CHECK(lobby->NameLines() == std::vector<std::string>{" 1: Hal", " 2: Ann", " 3: Me"});
    // A name longer than its field is cut, and a space the cut leaves at its
    // end goes too.
    lobby->SetPlayerName(2, std::string(LobbyScreen::kNameLength - 1, 'A') + " BCD");
    CHECK(lobby->GetPlayerName(2) == std::string(LobbyScreen::kNameLength - 1, 'A'));
    CHECK_FALSE(Press(LobbyScreen::LobbyReadyPressed));
    CHECK_FALSE(Press(LobbyScreen::LobbyOptionsPressed));
    CHECK(session.calls.empty());
}

TEST_CASE_FIXTURE(LobbyFixture<true>, "names and chat from the network stop before what is beside them")
{
    // The name line ends before the kick buttons, the chat line before the
    // command line's end, whatever characters they hold.
    session.players = {{1, std::string(51, 'W')}, {2, "Ann"}};
    lobby->PlayersChanged();
    testing::RecordingCanvas canvas;
    lobby->Draw(canvas);
    std::vector<std::string> drawn;
    for (const testing::CanvasCall& call : canvas.calls) {
        if (call.kind == testing::CanvasCall::Kind::kText && call.x == 70) {
            drawn.push_back(call.text);
            const int kickButtonX = static_cast<int>(0.3155f * 1023.0f);
            CHECK(canvas.MeasureText(call.text, "Default") <= kickButtonX - call.x);
        }
    }
    // The host's own line first.
    REQUIRE(drawn.size() == 3);
    CHECK(drawn[0] == " 1: Me");
    CHECK(drawn[1].size() > 10); // still most of what fits
    CHECK(drawn[1].rfind(" 2: WWW", 0) == 0);
    CHECK(drawn[2] == " 3: Ann");
}
