// The screen table: the title's press and release, the screen left being
// closed, ids outside the table, timers cleared on a switch and the idle
// fade. Walking the menus by real input is tests/e2e's part.
#include "core/EventTimer.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "platform/QuitRequest.h"
#include "screens/OptionsScreen.h"
#include "screens/ScreenManager.h"

#include "RecordingCanvas.h"
#include "RecordingMenuHost.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> closed;

void Dispatch(std::uint32_t message, int a, int b)
{
    testing::Dispatch(message, a, b);
    // Windows destroyed by the message go now, as at the next drawing.
    guiManager::Instance()->RenderAll();
}

struct MenuFixture {
    MenuFixture()
    {
        closed.clear();
        platform::TakePendingQuit();
        EventTimer::Instance()->Restart();
        ScreenManager* manager = ScreenManager::Instance();
        manager->ForgetTimers();
        manager->RegisterScreen(kScreenConnection, {nullptr, [] { closed.push_back("connection"); }, nullptr});
        manager->RegisterScreen(kScreenLobby, {nullptr, [] { closed.push_back("lobby"); }, nullptr});
        manager->BuildTitleScreen();
    }
    testing::TempDirectory logs;
    testing::ManualClockScope clock;
    testing::GuiTestScope gui;
    testing::RecordingMenuHost host;
    ScreenManager* manager = ScreenManager::Instance();
};

float TitleAlpha()
{
    return guiManager::Instance()->GetWindow(ScreenManager::kTitleWindow)->GetAlpha();
}

void Tick(testing::ManualClockScope& clock, double seconds)
{
    clock.Advance(seconds);
    EventTimer::Instance()->Update();
}

} // namespace

TEST_CASE("the screens switch by the table and the screen left is closed")
{
    MenuFixture f;

    SUBCASE("the title leaves on a left release that follows its own press")
    {
        Dispatch(kGuiLeftUp, 10, 10); // the end of a click made before
        Dispatch(kGuiRightDown, 10, 10);
        CHECK(f.manager->GetScreenId() == kScreenTitle);
        Dispatch(kGuiLeftDown, 10, 10);
        CHECK(f.manager->GetScreenId() == kScreenTitle);
        Dispatch(kGuiLeftUp, 10, 10);
        CHECK(f.manager->GetScreenId() == kScreenMainMenu);
        CHECK(guiManager::Instance()->GetWindow(ScreenManager::kTitleWindow) == nullptr);
    }

    SUBCASE("Multi-Player enters the connection screen without authority, and Back restores it")
    {
        f.manager->SetScreen(kScreenMainMenu);
        const std::uint32_t other = EventTimer::Instance()->AddTimer(9.0, false, nullptr, 0, 0);
        for (const std::uint32_t message : {kGuiMouseMove, kGuiLeftDown, kGuiLeftUp}) {
            Dispatch(message, 649, 387); // "Multi-Player"
        }
        CHECK(f.manager->GetScreenId() == kScreenConnection);
        CHECK(f.host.session == kMultiPlayer);
        CHECK_FALSE(f.host.authority);
        // Every timed callback went, the fade's too.
        CHECK_FALSE(EventTimer::Instance()->HasTimer(other));
        CHECK(EventTimer::Instance()->TimerCount() == 0);
        f.manager->SetScreen(kScreenMainMenu);
        CHECK(closed == std::vector<std::string>{"connection"});
        CHECK(f.host.authority);
    }

    SUBCASE("leaving the lobby closes it, leaving the options closes nothing")
    {
        f.manager->SetScreen(kScreenLobby);
        f.manager->SetScreen(kScreenOptions);
        f.manager->SetScreen(kScreenMainMenu);
        CHECK(closed == std::vector<std::string>{"lobby"});
        // Every window of the options went with the switch.
        CHECK(guiManager::Instance()->GetWindow(OptionsScreen::kMapWindow) == nullptr);
    }

#ifdef NDEBUG
    SUBCASE("an id outside the table destroys the windows and keeps the screen")
    {
        f.manager->SetScreen(kScreenOptions);
        f.manager->SetScreen(6);
        f.manager->SetScreen(-1);
        CHECK(f.manager->GetScreenId() == kScreenOptions);
        CHECK(guiManager::Instance()->GetWindow(OptionsScreen::kWindow) == nullptr);
    }
#endif
}

TEST_CASE("the idle fade dims the menu window after five quiet seconds down to its floor")
{
    MenuFixture f;
    f.manager->StartIdleFade();

    SUBCASE("steps of 0.015 every 0.0125 s to 0.19, and a move brings it back")
    {
        Tick(f.clock, 5.0);
        CHECK(TitleAlpha() == 1.0f);
        Tick(f.clock, 0.001);
        CHECK(TitleAlpha() == doctest::Approx(0.985f));
        int ticks = 1;
        while (f.manager->GetFadeAlpha() > ScreenManager::kFadeFloor && ticks < 100) {
            Tick(f.clock, 0.013);
            ++ticks;
        }
        CHECK(ticks == 54);
        Tick(f.clock, 0.013);
        CHECK(TitleAlpha() == doctest::Approx(0.19f).epsilon(1e-4));
        // Only one timer runs the fade, however long it rests.
        CHECK(EventTimer::Instance()->TimerCount() == 1);
        Dispatch(kGuiMouseMove, 100, 100);
        CHECK(TitleAlpha() == 1.0f);
        Tick(f.clock, 4.9);
        CHECK(TitleAlpha() == 1.0f);
    }

    SUBCASE("the options have no window to dim: only the value falls, and a switch restores it")
    {
        f.manager->SetScreen(kScreenOptions);
        Tick(f.clock, 5.5);
        Tick(f.clock, 0.013);
        CHECK(f.manager->GetFadeAlpha() < 1.0f);
        CHECK(guiManager::Instance()->GetWindow(OptionsScreen::kWindow)->GetAlpha() == 1.0f);
        f.manager->SetScreen(kScreenMainMenu);
        CHECK(f.manager->GetFadeAlpha() == 1.0f);
    }
}
