#include "core/EventTimer.h"
#include "app/Game.h"
#include "game/GameRules.h"
#include "input/Mouse.h"
#include "render/CameraCommand.h"
#include "render/Renderer.h"
#include "platform/NullRenderDevice.h"
#include "platform/NullWindow.h"
#include "platform/QuitRequest.h"
#include "platform/Random.h"
#include "platform/AudioNullBackend.h"
#include "sound/SoundManager.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

// Plays nothing; notes the samples loaded, in order, and each one played.
struct AudioLog {
    std::vector<platform::AudioSampleId> loaded;
    std::vector<platform::AudioSampleId> played;
};

class LoggingAudio final : public platform::AudioBackend {
public:
    explicit LoggingAudio(std::shared_ptr<AudioLog> log) : log_(std::move(log)) {}
    bool Init(int, int) override { return true; }
    platform::AudioSampleId LoadSample(const platform::AudioPcm&) override
    {
        log_->loaded.push_back(static_cast<platform::AudioSampleId>(log_->loaded.size() + 1));
        return log_->loaded.back();
    }
    platform::AudioPlayResult Play(platform::AudioSampleId sample, int) override
    {
        log_->played.push_back(sample);
        return {1, platform::AudioPlayStatus::Playing};
    }
    bool SetVolume(platform::AudioChannel, int) override { return true; }
    bool StopAll() override { return true; }
    void FreeSample(platform::AudioSampleId) override {}

private:
    std::shared_ptr<AudioLog> log_;
};

// A window whose frames cannot begin, as with a lost device.
class UnreadyWindow : public platform::NullWindow {
public:
    UnreadyWindow() : NullWindow(platform::WindowConfig{}) {}
    bool BeginFrame() override { return false; }
};

} // namespace

TEST_CASE("Init starts from the default settings and map list however often it runs, and the settings index is checked")
{
    testing::ManualClockScope clock;
    Game* game = Game::Instance();
    game->SetSetting(kSettingWindowed, 1);
    game->SetSetting(kSettingGameState, kStateMatch);
    game->Init();
    game->Init(); // a second Init does not grow the map list
    CHECK(game->GetSetting(kSettingWindowed) == 0);
    CHECK(game->GetSetting(kSettingGameState) == kStateSplash);
    CHECK(game->GetMapList().size() == 4);

    // An index outside 0 to 5 reads 0 and writes nothing.
    CHECK(game->SetSetting(kSettingCount, 9) + game->SetSetting(-1, 9) == 0);
    CHECK(game->GetSetting(kSettingCount) + game->GetSetting(-1) + game->GetSetting(kSettingEditor) == 0);
}

TEST_CASE("the splash frame switches to the menus only after five seconds have passed")
{
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    Game* game = Game::Instance();
    game->Init();
    EventTimer::Instance()->Restart();
    const std::uint32_t before = EventTimer::Instance()->AddTimer(60.0, false, nullptr, 0, 0);

    SUBCASE("with a window, and not at five seconds exactly")
    {
        platform::NullWindow window{platform::WindowConfig{}};
        game->SetWindow(&window);
        clock.Advance(5.0);
        game->SplashFrame();
        CHECK(game->GetSetting(kSettingGameState) == kStateSplash);
        CHECK(EventTimer::Instance()->TimerCount() == 1);
        clock.Advance(0.001);
        game->SplashFrame();
        CHECK(game->GetSetting(kSettingGameState) == kStateMenus);
        // The timers start afresh with the menus' idle fade alone.
        CHECK_FALSE(EventTimer::Instance()->HasTimer(before));
        CHECK(EventTimer::Instance()->TimerCount() == 1);
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
        CHECK(game->GetTerrain().IsLoaded());
        CHECK_FALSE(platform::TakePendingQuit().has_value());
    }
}

TEST_CASE("the splash logo fades over its five seconds and the heartbeat sounds in a match's last ten")
{
    const std::pair<double, std::uint32_t> kAlpha[] = {{0.2, 0}, {0.35, 127}, {0.5, 255}, {0.85, 127}, {1.0, 0}};
    for (const auto& [t, alpha] : kAlpha) {
        CAPTURE(t);
        CHECK(Game::SplashAlpha(t) == alpha);
    }
    const std::pair<float, HeartbeatSwitch> kCues[] = {{10.0f, HeartbeatSwitch::kOn},
                                                       {10.01f, HeartbeatSwitch::kLeave},
                                                       {0.0f, HeartbeatSwitch::kOff},
                                                       {std::nanf(""), HeartbeatSwitch::kLeave}};
    for (const auto& [timeLeft, cue] : kCues) {
        CAPTURE(timeLeft);
        CHECK(Game::HeartbeatRule(timeLeft) == cue);
    }
}

TEST_CASE("the match frame beats the heartbeat through the last ten seconds and stops it when the time is up")
{
    // The last frame of game on lands on the clock's end, or runs past it
    // into sudden death: either way that frame stops the beat.
    double lastStep = 0.125;
    SUBCASE("the clock lands on its end")
    {
        lastStep = 0.125;
    }
    SUBCASE("a frame runs past the end")
    {
        lastStep = 0.3;
    }
    testing::ManualClockScope clock;
    const testing::TempDirectory directory;
    testing::LinkDataTree(directory.Path());
    const auto log = std::make_shared<AudioLog>();
    SoundManager::Instance()->UseBackend(std::make_unique<LoggingAudio>(log));
    Game* const game = Game::Instance();
    game->Init(); // loads the effects, the heartbeat the last of them
    REQUIRE(log->loaded.size() == kSoundEffectCount);
    const platform::AudioSampleId heartbeat = log->loaded[kSoundHeartbeat];
    const auto beats = [&] { return std::count(log->played.begin(), log->played.end(), heartbeat); };
    platform::SeedRand(5);
    game->LoadAfterSplash();
    GameRules* const rules = GameRules::Instance();

    // A one-minute match of two armies, as the unit selection starts it.
    REQUIRE(game->SetOptions(kModeLastManOnTheHill, 1.0f, kAllowAllUnitTypes, 0, 10, 1));
    game->EndMatch();
    game->StartMatch();
    Vec3 start;
    REQUIRE(game->CreateArmy(true, {4, 0, 0, 0, 0}, start, true, "Ana") != nullptr);
    game->SetSetting(kSettingGameState, kStateMatch);
    game->CreateComputerArmies();
    const auto play = [&](double seconds) {
        clock.Advance(seconds);
        game->SetFrameTime(1.0f / 60.0f);
        game->PlayFrame();
    };
    play(1.0 / 60.0);
    REQUIRE(rules->GetState() == kMatchGameOn);
    while (rules->GetPhaseTimeLeft() > 10.25f) {
        play(0.5);
    }
    CHECK(beats() == 0);
    // From ten seconds left the heart beats about once a second (the timer
    // fires on the frame after each second has passed), one beat at a time.
    while (rules->GetState() == kMatchGameOn) {
        play(lastStep);
        CHECK(beats() <= 10);
    }
    CHECK(beats() >= 8);
    // The frame that ended game on stopped it; sudden death's clock counts
    // from the game's length again, far from its own last seconds.
    const long beaten = beats();
    for (int frame = 0; frame < 40; ++frame) {
        play(0.25);
    }
    CHECK(rules->GetState() != kMatchGameOn);
    CHECK(beats() == beaten);

    // Behind the menus the rule does not run, whatever the battle's clock.
    game->SetSetting(kSettingGameState, kStateMenus);
    game->LoadAfterSplash();
    for (int frame = 0; frame < 400; ++frame) {
        clock.Advance(1.0);
        game->MenuFrame();
        CHECK(beats() == beaten);
    }
    CHECK(rules->GetGameSeconds() == 60.0f); // the first battle ran out and a new one began
    SoundManager::Instance()->UseBackend(std::make_unique<platform::AudioNullBackend>());
}

TEST_CASE("the background battle is on a map that loads, picked at random, the same for the same seed")
{
    testing::ManualClockScope clock;
    testing::MessageCatcher said;
    Game* game = Game::Instance();
    game->Init();

    // With all four maps every one is picked, and a seed picks the same again.
    std::map<unsigned, std::string> picks;
    std::set<std::string> seen;
    {
        testing::DataDirectoryScope data;
        for (unsigned seed = 1; seed <= 10; ++seed) {
            platform::SeedRand(seed);
            game->LoadAfterSplash();
            picks[seed] = game->GetBackgroundMapName();
            seen.insert(picks[seed]);
            platform::SeedRand(seed);
            game->LoadAfterSplash();
            CHECK(game->GetBackgroundMapName() == picks[seed]);
        }
    }
    CHECK(seen == std::set<std::string>{"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"});
    CHECK(said.messages.empty());

    // With the last map missing, a pick of it wraps round to the first;
    // each failure says why, and the game goes on.
    {
        const testing::TempDirectory directory;
        std::filesystem::create_directory("Maps");
        for (const char* name : {"Desert.kvm", "Grassland.kvm", "Tundra.kvm"}) {
            std::filesystem::copy_file(testing::DataDirectory() / "Maps" / name, std::filesystem::path("Maps") / name);
        }
        std::size_t missed = 0;
        for (unsigned seed = 1; seed <= 6; ++seed) {
            platform::SeedRand(seed);
            game->LoadAfterSplash();
            const bool pickedMissing = picks[seed] == "Ex-Cathedra.kvm";
            missed += pickedMissing ? 1 : 0;
            CHECK(game->GetBackgroundMapName() == (pickedMissing ? "Desert.kvm" : picks[seed]));
        }
        REQUIRE(missed > 0); // the seeds reach the fallback
        CHECK(said.messages.size() == missed);
    }
    CHECK_FALSE(platform::TakePendingQuit().has_value());

    // With none, the game says so and keeps the map it held; with none held
    // there is no ground, so it ends with a failure.
    const testing::TempDirectory empty;
    const std::string held = game->GetBackgroundMapName();
    said.messages.clear();
    game->LoadAfterSplash();
    CHECK(said.messages.size() == 5);
    CHECK(said.messages.back().first == "Could not load map.");
    CHECK(game->GetBackgroundMapName() == held);
    CHECK_FALSE(platform::TakePendingQuit().has_value());
    game->GetTerrain().Release();
    game->LoadAfterSplash();
    CHECK(platform::TakePendingQuit() == std::optional<int>(EXIT_FAILURE));
}

// The input host is reached through the game: clicks and moves through the
// menus are played by the e2e play-through; what is left here is what it
// cannot reach, input that must do nothing outside a match.
TEST_CASE("the menu camera orbits the background battle, and the wheel zooms and the edges pan only in a match")
{
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    Renderer::Instance()->CreateDevice(std::make_unique<platform::NullRenderDevice>());
    Game* game = Game::Instance();
    game->Init();
    game->LoadAfterSplash();
    Camera& camera = game->GetCamera();
    CHECK(camera.GetView().GetEye() == Vec3{61.25f, 87.5f, 61.25f});
    game->SetFrameTime(0.5f);
    game->MenuFrame();
    const Vec3 eye = camera.GetView().GetEye();
    // That an orbit keeps its radius is the camera test's part.
    CHECK_FALSE(eye.x == doctest::Approx(61.25f));

    game->SetSetting(kSettingGameState, kStateMenus);
    game->GetInputHost().WheelZoomIn();
    CHECK(camera.GetView().GetEye() == eye);
    camera.ClearCommands();
    Mouse::Instance()->MoveX(3);
    CHECK(camera.GetCommands().empty());
    game->SetSetting(kSettingGameState, kStateMatch);
    Mouse::Instance()->MoveX(3);
    CHECK(camera.GetCommands() == std::vector<int>{kCameraPanLeft});
    game->SetSetting(kSettingGameState, kStateMenus);
    Renderer::Instance()->ReleaseDevice();
}
