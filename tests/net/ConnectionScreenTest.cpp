// The connection screen over a fake network session: host buttons that
// follow the hosts heard and stop where the panel ends, one attempt at a
// time with every choice hidden until it ends, failures shown, and the name
// box that acts on nothing.
#include "core/EventTimer.h"
#include "gui/guiButton.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "screens/ConnectionScreen.h"
#include "screens/ScreenManager.h"

#include "FakeNetSession.h"

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

void HearHosts(FakeNetSession& session, int count)
{
    for (int i = 0; i < count; ++i) {
        session.hosts.push_back({-2, "Host" + std::to_string(session.hosts.size())});
    }
    ConnectionScreen::Instance()->RefreshHosts();
}

} // namespace

TEST_CASE_FIXTURE(NetScreenScope, "the connection screen lists the hosts heard and joins one at a time")
{
    testing::ManualClockScope clock;
    EventTimer::Instance()->Restart();
    ScreenManager::Instance()->SetScreen(kScreenConnection);
    ConnectionScreen* screen = ConnectionScreen::Instance();
    REQUIRE(session.Count("OpenDiscovery") == 1);

    SUBCASE("Connect joins the button's host with the name typed, once, and host buttons stop at the panel's end")
    {
        HearHosts(session, 2);
        Press(ConnectionScreen::ConnectPressed, HostGameButton()); // not a host button
        Press(ConnectionScreen::ConnectPressed, nullptr);
        Press(ConnectionScreen::ConnectPressed, HostButton(1));
        REQUIRE(session.connects.size() == 1);
        CHECK(session.connects[0].id == 1);
        CHECK(session.connects[0].name == "NameGoesHere");
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
        CHECK(HostButton(2)->IsVisible());
        CHECK(HostGameButton()->IsVisible());
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenConnection);

        // Buttons follow the hosts and stop at the panel's end.
        HearHosts(session, 2);
        screen->RefreshHosts(); // a repeated announcement adds no button
        CHECK(screen->HostButtonCount() == 5);
        HearHosts(session, 40);
        CHECK(screen->HostButtonCount() == ConnectionScreen::kMaxHostButtons);
        const float last = HostButton(static_cast<int>(ConnectionScreen::kMaxHostButtons) - 1)->GetPosition().y;
        // The last button ends above the panel's bottom frame (from about 0.86).
        CHECK(last + ConnectionScreen::kHostButtonHeight <= 0.86f);
    }
    SUBCASE("hosts that stop announcing take their buttons with them, and a long name stops at the panel's edge")
    {
        HearHosts(session, 3);
        REQUIRE(screen->HostButtonCount() == 3);
        guiButton* const first = HostButton(0);
        session.hosts.erase(session.hosts.begin() + 1); // the list closes up
        screen->RefreshHosts();
        CHECK(screen->HostButtonCount() == 2);
        CHECK(HostButton(0) == first);
        CHECK(HostButton(2) == nullptr);
        // Button 1 now stands for the host that moved up, and a new host goes below it.
        Press(ConnectionScreen::ConnectPressed, HostButton(1));
        REQUIRE(session.connects.size() == 1);
        CHECK(session.connects[0].id == 1);
        session.connecting = false;
        HearHosts(session, 1);
        CHECK(HostButton(2)->GetPosition().y ==
              doctest::Approx(HostButton(1)->GetPosition().y + ConnectionScreen::kHostRowStep));

        session.hosts[0].name = std::string(51, 'W');
        testing::RecordingCanvas canvas;
        screen->Draw(canvas);
        bool sawHost = false;
        for (const testing::CanvasCall& call : canvas.calls) {
            if (call.kind == testing::CanvasCall::Kind::kText && call.text.rfind("0 : Name: ", 0) == 0) {
                sawHost = true;
                // Short of the panel's frame, its last ten pixels.
                CHECK(call.x + canvas.MeasureText(call.text, "Default") <= static_cast<int>(0.875f * 1023.0f) - 10);
                CHECK(call.text.size() > 20);
            }
        }
        CHECK(sawHost);
    }
    SUBCASE("hosting refused keeps the screen and says why, Enter in the name box does nothing, Back leaves")
    {
        session.hostingWorks = false;
        Press(ConnectionScreen::HostGamePressed);
        CHECK_FALSE(screen->GetStatus().empty());
        guiWindow* window = guiManager::Instance()->GetWindow(ConnectionScreen::kWindow);
        CHECK_FALSE(testing::Offer(*window, kGuiKeyDown, 0, '\n'));
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenConnection);
        Press(ConnectionScreen::ConnectionBackPressed);
        CHECK(session.Count("Leave") == 1);
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenMainMenu);
        CHECK(host.authority);
    }
}
