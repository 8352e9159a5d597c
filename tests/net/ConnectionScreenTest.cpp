// The connection screen over a fake network session: host buttons that
// follow the hosts heard and stop where the panel ends, one attempt at a
// time with every choice hidden until it ends, failures shown, the name box
// that acts on nothing, and "Host Game", "Back" and Escape.
#include "core/EventTimer.h"
#include "gui/guiButton.h"
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/KeyCommand.h"
#include "platform/QuitRequest.h"
#include "screens/ConnectionScreen.h"
#include "screens/ScreenManager.h"

#include "../screens/RecordingMenuHost.h"
#include "FakeNetSession.h"
#include "RecordingCanvas.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

namespace {

guiButton* HostButton(int i)
{
    return static_cast<guiButton*>(guiManager::Instance()->FindObject(
        ConnectionScreen::kWindow, ConnectionScreen::kHostButtonPrefix + std::to_string(i), kGuiButton));
}

guiObject* HostGameButton()
{
    return guiManager::Instance()->FindObject(ConnectionScreen::kWindow, ScreenManager::kHostGameButton, kGuiButton);
}

bool Press(guiCallback callback, void* button = nullptr)
{
    guiParam a = guiParam::FromPointer(button);
    guiParam b = guiParam::FromInt(0);
    bool handled = false;
    callback(kGuiButtonReleased, &a, &b, &handled);
    guiManager::Instance()->RenderAll();
    return handled;
}

void HearHosts(FakeNetSession& session, int count)
{
    for (int i = 0; i < count; ++i) {
        session.hosts.push_back({-2, "Host" + std::to_string(session.hosts.size())});
    }
    ConnectionScreen::Instance()->RefreshHosts();
}

struct ConnectionFixture {
    ConnectionFixture()
    {
        platform::TakePendingQuit();
        EventTimer::Instance()->Restart();
        ScreenManager::Instance()->SetScreen(kScreenConnection);
    }
    testing::TempDirectory logs;
    testing::ManualClockScope clock;
    testing::GuiTestScope gui;
    testing::RecordingMenuHost host;
    FakeNetSession session;
    ConnectionScreen* screen = ConnectionScreen::Instance();
};

} // namespace

TEST_CASE("the connection screen lists the hosts heard and joins one at a time")
{
    ConnectionFixture fixture;
    FakeNetSession& session = fixture.session;
    ConnectionScreen* screen = fixture.screen;
    REQUIRE(session.discoveries == 1);
    CHECK_FALSE(fixture.host.authority);

    SUBCASE("buttons follow the hosts, from 0.235 down, and start again on every entry")
    {
        HearHosts(session, 2);
        REQUIRE(screen->HostButtonCount() == 2);
        CHECK(HostButton(0)->GetPosition().y == doctest::Approx(0.235f));
        CHECK(HostButton(1)->GetPosition().y == doctest::Approx(0.275f));
        // A repeated or renamed announcement adds no button.
        screen->RefreshHosts();
        CHECK(screen->HostButtonCount() == 2);
        session.hosts.clear();
        ScreenManager::Instance()->SetScreen(kScreenConnection);
        CHECK(screen->HostButtonCount() == 0);
        HearHosts(session, 1);
        CHECK(HostButton(0)->GetPosition().y == doctest::Approx(0.235f));
    }
    SUBCASE("a flood of hosts stops at the panel's end")
    {
        HearHosts(session, 40);
        CHECK(screen->HostButtonCount() == ConnectionScreen::kMaxHostButtons);
        const float last = HostButton(static_cast<int>(ConnectionScreen::kMaxHostButtons) - 1)->GetPosition().y;
        CHECK(last + 0.04f <= 0.9f);
    }
    SUBCASE("Connect joins that button's host with the name typed, and a second press starts nothing")
    {
        HearHosts(session, 2);
        Press(ConnectionScreen::ConnectPressed, HostButton(1));
        REQUIRE(session.connects.size() == 1);
        CHECK(session.connects[0].id == 1);
        CHECK(session.connects[0].name == "NameGoesHere");
        CHECK_FALSE(HostButton(0)->IsVisible());
        CHECK_FALSE(HostButton(1)->IsVisible());
        CHECK_FALSE(HostGameButton()->IsVisible());
        Press(ConnectionScreen::ConnectPressed, HostButton(0));
        Press(ConnectionScreen::HostGamePressed);
        CHECK(session.connects.size() == 1);
        CHECK(session.hostedAs.empty());
        // A host heard meanwhile stays hidden with the rest.
        HearHosts(session, 1);
        CHECK_FALSE(HostButton(2)->IsVisible());

        session.connecting = false;
        screen->ConnectFailed();
        CHECK(screen->GetStatus() == "Could not connect to Host1");
        CHECK(HostButton(0)->IsVisible());
        CHECK(HostButton(2)->IsVisible());
        CHECK(HostGameButton()->IsVisible());
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenConnection);
    }
    SUBCASE("a button that is not a host button joins nobody")
    {
        HearHosts(session, 1);
        CHECK(screen->FindHostButton(HostGameButton()) == -1);
        Press(ConnectionScreen::ConnectPressed, HostGameButton());
        Press(ConnectionScreen::ConnectPressed, nullptr);
        CHECK(session.connects.empty());
    }
    SUBCASE("the typed name goes with Host Game, and the lobby follows")
    {
        auto* box = static_cast<guiEditBox*>(
            guiManager::Instance()->FindObject(ConnectionScreen::kWindow, ConnectionScreen::kNameBox, kGuiEditBox));
        box->SetText("Hal");
        CHECK(Press(ConnectionScreen::HostGamePressed));
        CHECK(session.hostedAs == "Hal");
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenLobby);
    }
    SUBCASE("hosting refused keeps the screen and says why")
    {
        session.hostingWorks = false;
        Press(ConnectionScreen::HostGamePressed);
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenConnection);
        CHECK_FALSE(screen->GetStatus().empty());
    }
    SUBCASE("Enter in the name box does nothing, Escape quits, Back leaves the network")
    {
        guiWindow* window = guiManager::Instance()->GetWindow(ConnectionScreen::kWindow);
        CHECK_FALSE(testing::Offer(*window, kGuiKeyDown, 0, '\n'));
        CHECK(screen->TypedName() == "NameGoesHere");
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenConnection);
        CHECK_FALSE(platform::TakePendingQuit().has_value());
        testing::Offer(*window, kGuiKeyDown, static_cast<int>(kKeyQuit), 0);
        CHECK(platform::TakePendingQuit().has_value());
        Press(ConnectionScreen::ConnectionBackPressed);
        CHECK(session.leaves == 1);
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenMainMenu);
        CHECK(fixture.host.authority);
    }
}
