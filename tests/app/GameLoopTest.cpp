#include "core/EventTimer.h"
#include "app/Game.h"
#include "platform/EventPump.h"
#include "platform/InputEvents.h"
#include "platform/NullEventPump.h"
#include "platform/NullWindow.h"
#include "platform/QuitRequest.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <functional>
#include <vector>

namespace {

// A pump that runs a script: each pass it may push input, posts the quit on
// its pass, moves the clock on (the time the rest of that pass takes), then
// reports quits as the headless pump does.
class ScriptedPump : public platform::EventPump {
public:
    explicit ScriptedPump(testing::ManualClockScope& clock) : clock_(clock) {}

    platform::PumpResult Pump() override
    {
        ++passes;
        const int dispatched = onPass ? onPass(passes) : 0;
        if (passes == quitPass) {
            platform::PostQuit(quitCode);
        }
        clock_.Advance(step);
        platform::PumpResult result = headless_.Pump();
        result.dispatched = dispatched;
        return result;
    }

    int passes = 0;
    int quitPass = 3;
    int quitCode = 0;
    double step = 1.0 / 64.0;
    std::function<int(int pass)> onPass; // returns how many events it dispatched

private:
    testing::ManualClockScope& clock_;
    platform::NullEventPump headless_;
};

struct FrameSeen {
    int pass = 0;
    float frameTime = 0.0f;
    std::size_t keysWaiting = 0;
};

std::vector<FrameSeen> g_frames;
ScriptedPump* g_pump = nullptr;

// Runs as the first work of every menu and match frame.
void RecordFrame(TimerWord, TimerWord)
{
    g_frames.push_back({g_pump->passes, Game::Instance()->GetFrameTime(), platform::KeyboardRecords().Size()});
}

void PostQuitFromFrame(TimerWord code, TimerWord)
{
    platform::PostQuit(static_cast<int>(code));
}

struct LoopFixture {
    LoopFixture() : pump(clock)
    {
        g_frames.clear();
        g_pump = &pump;
        platform::KeyboardRecords().Clear();
        platform::TakePendingQuit();
        game = Game::Instance();
        game->Init();
        game->SetWindow(&window);
        game->SetEventPump(&pump);
        EventTimer::Instance()->Restart();
        EventTimer::Instance()->AddTimer(0.0, true, RecordFrame, 0, 0);
        // The first pass measures one step too.
        clock.Advance(pump.step);
    }
    ~LoopFixture()
    {
        game->SetWindow(nullptr);
        game->SetEventPump(nullptr);
        g_pump = nullptr;
    }
    testing::ManualClockScope clock;
    platform::NullWindow window{platform::WindowConfig{}};
    ScriptedPump pump;
    Game* game = nullptr;
};

} // namespace

TEST_CASE("the loop runs a frame each pass with that pass's input and time until a quit ends it")
{
    LoopFixture f;
    f.game->SetSetting(kSettingGameState, kStateMenus);

    SUBCASE("a pass that dispatches input still runs the frame, and the quit pass runs none")
    {
        f.clock.Advance(0.5); // a long first frame
        f.pump.step = 0.25;
        f.pump.quitCode = 7;
        f.pump.onPass = [](int pass) {
            if (pass == 1) {
                platform::KeyboardRecords().Push({0x10, true, 0});
            }
            return pass == 1 ? 1 : 0;
        };
        CHECK(f.game->Run() == 7);
        REQUIRE(g_frames.size() == 2);
        CHECK(g_frames[0].pass == 1);
        CHECK(g_frames[0].keysWaiting == 1);
        CHECK(g_frames[0].frameTime == 0.5f + 1.0f / 64.0f);
        CHECK(g_frames[1].pass == 2);
        CHECK(g_frames[1].frameTime == 0.25f);
        CHECK(f.window.FramesPresented() == 2);
    }

    // Which of two quits in one pass wins is the quit request test's part:
    // the loop returns what its pump reports.
    SUBCASE("a quit posted from inside a frame, as the menus do")
    {
        f.pump.quitPass = 0;
        // 1/32 s has passed by the first frame's tick, 3/64 s by the second's.
        EventTimer::Instance()->AddTimer(0.04, false, PostQuitFromFrame, 6, 0);
        CHECK(f.game->Run() == 6);
        CHECK(g_frames.size() == 2);
        CHECK(f.pump.passes == 3);
    }

    SUBCASE("a quit without any window or pump")
    {
        f.game->SetWindow(nullptr);
        f.game->SetEventPump(nullptr);
        EventTimer::Instance()->AddTimer(0.0, false, PostQuitFromFrame, 4, 0);
        CHECK(f.game->Run() == 4);
    }

    SUBCASE("the caption shows the frame rate only in a window")
    {
        f.game->SetSetting(kSettingGameState, kStateIdle);
        f.game->Run();
        CHECK(f.window.CaptionChanges() == 0);
        f.game->SetSetting(kSettingWindowed, 1);
        f.pump.passes = 0;
        f.game->Run();
        CHECK(f.window.Caption() == "Kostrivane - 64.000000");
        CHECK(Game::FrameRateCaption(0.0f) == "Kostrivane - 0.000000"); // no division by zero
    }

    SUBCASE("the time spent loading the background battle does not become the next frame")
    {
        testing::DataDirectoryScope data;
        f.game->SetSetting(kSettingGameState, kStateIdle);
        f.clock.Advance(10.0); // the splash, and the loading, since the last frame
        f.game->LoadAfterSplash();
        REQUIRE(f.game->GetTerrain().IsLoaded());
        f.clock.Advance(0.25);
        float frameTime = -1.0f;
        f.pump.onPass = [&frameTime](int) {
            frameTime = Game::Instance()->GetFrameTime();
            return 0;
        };
        f.pump.quitPass = 1;
        CHECK(f.game->Run() == 0); // the loop ended on the pump's quit, not a failed load's
        CHECK(frameTime == 0.25f);
    }
}

TEST_CASE("each game state runs its own frame handler")
{
    // Frames of timer work and pictures shown in two passes before the quit.
    const struct {
        std::uint32_t state;
        std::size_t timerFrames;
        int pictures;
    } kStates[] = {{kStateMenus, 2, 2}, {kStateSplash, 0, 2}, {kStateIdle, 0, 0}, {9, 0, 0}};
    for (const auto& row : kStates) {
        CAPTURE(row.state);
        LoopFixture f;
        f.game->SetSetting(kSettingGameState, row.state);
        CHECK(f.game->Run() == 0);
        CHECK(f.pump.passes == 3);
        CHECK(g_frames.size() == row.timerFrames);
        CHECK(f.window.FramesPresented() == row.pictures);
        CHECK(f.game->GetSetting(kSettingGameState) == row.state);
    }
}
