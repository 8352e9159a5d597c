#include "core/EventTimer.h"
#include "app/Game.h"
#include "platform/NullWindow.h"
#include "platform/QuitRequest.h"
#include "platform/Random.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

void Ignore(TimerWord, TimerWord) {}

// A window whose frames cannot begin, as with a lost device.
class UnreadyWindow : public platform::NullWindow {
public:
    UnreadyWindow() : NullWindow(platform::WindowConfig{}) {}
    bool BeginFrame() override { return false; }
};

} // namespace

TEST_CASE("Init sets the default settings, options and map list without a window")
{
    testing::ManualClockScope clock;
    Game* game = Game::Instance();
    // Init starts from zeroed settings, whatever was there before.
    game->SetSetting(kSettingWindowed, 1);
    game->SetSetting(kSettingEditor, 1);
    game->Init();
    game->Init(); // a second Init does not grow the map list

    std::vector<std::uint32_t> settings;
    for (int index = 0; index < kSettingCount; ++index) {
        settings.push_back(game->GetSetting(index));
    }
    // Height, width, windowed, present interval, state, editor.
    CHECK(settings == std::vector<std::uint32_t>{768, 1024, 0, 0x80000000u, kStateSplash, 0});
    const GameOptions& o = game->GetOptions();
    CHECK(o.minutes == 1.0f);
    CHECK(std::vector{o.mode, o.unitMask, o.mapIndex, o.maxUnits, o.computerArmies} ==
          std::vector<std::uint32_t>{0, 31, 0, 40, 7});
    const std::vector<std::string> maps(game->GetMapList().begin(), game->GetMapList().end());
    CHECK(maps == std::vector<std::string>{"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"});
    CHECK(game->GetBackgroundMinutes() == 5.0f);
    CHECK(game->GetWindowHandle() == nullptr);
}

TEST_CASE("the layout scales follow the screen size and the settings index is checked")
{
    Game* game = Game::Instance();
    game->Init();
    CHECK(game->GetWidthScale() == 1.0f);
    CHECK(game->SetSetting(kSettingWidth, 1920) == 1920);
    game->SetSetting(kSettingHeight, 1080);
    CHECK(game->GetWidthScale() == doctest::Approx(1.875));
    CHECK(game->GetHeightScale() == doctest::Approx(1.40625));

    // An index outside 0 to 5 reads 0 and writes nothing.
    CHECK(game->SetSetting(kSettingCount, 9) == 0);
    CHECK(game->SetSetting(-1, 9) == 0);
    CHECK(game->GetSetting(kSettingCount) == 0);
    CHECK(game->GetSetting(-1) == 0);
    CHECK(game->GetSetting(kSettingEditor) == 0);
}

TEST_CASE("the splash logo fades in, holds and fades out over five seconds")
{
    const std::pair<double, std::uint32_t> kAlpha[] = {{0.0, 0},   {0.2, 0},    {0.35, 127}, {0.4999, 254}, {0.5, 255},
                                                       {0.7, 255}, {0.85, 127}, {0.9999, 0}, {1.0, 0},      {1.5, 0}};
    for (const auto& [t, alpha] : kAlpha) {
        CAPTURE(t);
        CHECK(Game::SplashAlpha(t) == alpha);
    }
}

TEST_CASE("the splash frame switches to the menus only after five seconds have passed")
{
    testing::ManualClockScope clock;
    Game* game = Game::Instance();
    game->Init();
    EventTimer::Instance()->Restart();
    EventTimer::Instance()->AddTimer(60.0, false, Ignore, 0, 0);

    SUBCASE("with a window")
    {
        platform::NullWindow window{platform::WindowConfig{}};
        game->SetWindow(&window);
        clock.Advance(3.0);
        game->SplashFrame();
        CHECK(game->GetSplashColor() == 0xFFFFFFFFu);
        CHECK(window.LastClearColor() == 0xFF000000u);
        clock.Advance(2.0); // exactly five seconds: still the splash
        game->SplashFrame();
        CHECK((game->GetSplashColor() >> 24) == 0);
        CHECK(game->GetSetting(kSettingGameState) == kStateSplash);
        CHECK(EventTimer::Instance()->TimerCount() == 1);
        clock.Advance(0.001);
        game->SplashFrame();
        CHECK(game->GetSetting(kSettingGameState) == kStateMenus);
        // The background battle was built: the timers start afresh.
        CHECK(EventTimer::Instance()->TimerCount() == 0);
        CHECK(window.FramesPresented() == 3);
        game->SetWindow(nullptr);
    }

    SUBCASE("a frame that cannot begin waits, state check included")
    {
        UnreadyWindow window;
        game->SetWindow(&window);
        clock.Advance(6.0);
        game->SplashFrame();
        CHECK(game->GetSetting(kSettingGameState) == kStateSplash);
        CHECK(EventTimer::Instance()->TimerCount() == 1);
        game->SetWindow(nullptr);
    }

    SUBCASE("without any window the splash still ends")
    {
        clock.Advance(5.5);
        game->SplashFrame();
        CHECK(game->GetSetting(kSettingGameState) == kStateMenus);
    }
}

TEST_CASE("the heartbeat sounds in the last ten seconds and stops when time is up")
{
    CHECK(Game::HeartbeatRule(10.0f) == HeartbeatSwitch::kOn);
    CHECK(Game::HeartbeatRule(0.001f) == HeartbeatSwitch::kOn);
    CHECK(Game::HeartbeatRule(10.01f) == HeartbeatSwitch::kLeave);
    CHECK(Game::HeartbeatRule(0.0f) == HeartbeatSwitch::kOff);
    CHECK(Game::HeartbeatRule(-1.0f) == HeartbeatSwitch::kOff);
    CHECK(Game::HeartbeatRule(std::nanf("")) == HeartbeatSwitch::kLeave);
}

TEST_CASE("the background battle is on one of the four maps, the same for the same seed")
{
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    Game* game = Game::Instance();
    game->Init();
    std::set<std::string> seen;
    for (unsigned seed = 1; seed <= 16; ++seed) {
        platform::SeedRand(seed);
        game->LoadAfterSplash();
        const std::string first = game->GetBackgroundMapName();
        platform::SeedRand(seed);
        game->LoadAfterSplash();
        CHECK(game->GetBackgroundMapName() == first);
        seen.insert(first);
    }
    CHECK(seen == std::set<std::string>{"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"});
    CHECK(game->GetTerrain().IsLoaded());
    CHECK_FALSE(platform::TakePendingQuit().has_value());
}

TEST_CASE("with no map to load at all the game says so and ends with a failure code")
{
    testing::ManualClockScope clock;
    testing::TempDirectory empty;
    Game* game = Game::Instance();
    game->Init();
    game->LoadAfterSplash();
    CHECK_FALSE(game->GetTerrain().IsLoaded());
    CHECK(platform::TakePendingQuit() == std::optional<int>(EXIT_FAILURE));
}
