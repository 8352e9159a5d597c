#include "core/EventTimer.h"
#include "core/Game.h"
#include "platform/EventPump.h"
#include "platform/NullWindow.h"
#include "platform/Random.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cmath>
#include <set>
#include <string>

namespace {

void Ignore(TimerWord, TimerWord) {}

// A window whose frames cannot begin, as with a lost device.
class UnreadyWindow : public platform::NullWindow {
public:
    UnreadyWindow() : NullWindow(platform::WindowConfig{}) {}
    bool BeginFrame() override { return false; }
};

std::uint32_t Alpha(std::uint32_t color)
{
    return color >> 24;
}

} // namespace

TEST_CASE("the splash logo fades in, holds and fades out over five seconds")
{
    CHECK(Game::SplashAlpha(0.0) == 0);
    CHECK(Game::SplashAlpha(0.1) == 0);
    CHECK(Game::SplashAlpha(0.2) == 0);
    CHECK(Game::SplashAlpha(0.35) == 127);
    CHECK(Game::SplashAlpha(0.4999) == 254);
    CHECK(Game::SplashAlpha(0.5) == 255);
    CHECK(Game::SplashAlpha(0.6) == 255);
    CHECK(Game::SplashAlpha(0.7) == 255);
    CHECK(Game::SplashAlpha(0.85) == 127);
    CHECK(Game::SplashAlpha(0.9999) == 0);
    CHECK(Game::SplashAlpha(1.0) == 0);
    CHECK(Game::SplashAlpha(1.5) == 0);
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
        CHECK(Alpha(game->GetSplashColor()) == 0);
        CHECK(game->GetSetting(kSettingGameState) == kStateSplash);
        CHECK(EventTimer::Instance()->TimerCount() == 1);

        clock.Advance(0.001);
        game->SplashFrame();
        CHECK(game->GetSetting(kSettingGameState) == kStateMenus);
        CHECK(Alpha(game->GetSplashColor()) == 0);
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
        CHECK(window.FramesPresented() == 0);
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
    CHECK(Game::HeartbeatRule(300.0f) == HeartbeatSwitch::kLeave);
    CHECK(Game::HeartbeatRule(0.0f) == HeartbeatSwitch::kOff);
    CHECK(Game::HeartbeatRule(-1.0f) == HeartbeatSwitch::kOff);
    CHECK(Game::HeartbeatRule(std::nanf("")) == HeartbeatSwitch::kLeave);
}

TEST_CASE("building the background battle sets the light and picks a map at random")
{
    testing::ManualClockScope clock;
    Game* game = Game::Instance();
    game->Init();

    SUBCASE("the light")
    {
        game->GetLight().ambient = {0.5f, 0.5f, 0.5f, 1.0f};
        game->LoadAfterSplash();
        const LightRecord& light = game->GetLight();
        CHECK(light.type == kLightDirectional);
        CHECK(light.diffuse.r == 1.0f);
        CHECK(light.diffuse.b == 0.8f);
        CHECK(light.specular.g == 1.0f);
        CHECK(light.specular.b == 0.8f);
        CHECK(light.specular.a == 1.0f);
        CHECK(light.ambient.r == 0.0f);
        CHECK(light.direction.x == doctest::Approx(0.4851).epsilon(1e-3));
        CHECK(light.direction.y == doctest::Approx(-0.4851).epsilon(1e-3));
        CHECK(light.direction.z == doctest::Approx(-0.7276).epsilon(1e-3));
        CHECK(Vec3Length(light.direction) == doctest::Approx(1.0));
        CHECK(game->GetBackgroundMode() == 0);
    }

    SUBCASE("the map is one of the four, the same for the same seed, and every one comes up")
    {
        std::set<std::string> seen;
        for (unsigned seed = 1; seed <= 40; ++seed) {
            platform::SeedRand(seed);
            game->LoadAfterSplash();
            const std::string first = game->GetBackgroundMapName();
            platform::SeedRand(seed);
            game->LoadAfterSplash();
            CHECK(game->GetBackgroundMapName() == first);
            seen.insert(first);
        }
        CHECK(seen == std::set<std::string>{"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"});
    }

    SUBCASE("the time spent loading does not become the next frame")
    {
        clock.Advance(10.0);
        game->LoadAfterSplash();
        clock.Advance(0.25);
        game->SetSetting(kSettingGameState, kStateIdle);
        // Run one pass and read the frame time it measured.
        struct OnePass : platform::EventPump {
            platform::PumpResult Pump() override
            {
                frameTime = Game::Instance()->GetFrameTime();
                return {0, true, 0};
            }
            float frameTime = -1.0f;
        } pump;
        game->SetEventPump(&pump);
        game->Run();
        game->SetEventPump(nullptr);
        CHECK(pump.frameTime == 0.25f);
    }
}
