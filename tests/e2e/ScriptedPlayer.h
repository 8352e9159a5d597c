// The player of the end-to-end play-throughs: it stands in for the window
// system's pump, putting key and mouse records into the input layer's
// buffers beneath the keyboard and mouse, so everything above them (the GUI,
// the screens, the Game's frames) runs unchanged, headless, on the manual
// clock. A script is records and probes at chosen passes of the main loop,
// and steps that each wait for their condition (network events come when
// they come). The run ends once the script is done, or at the last pass.
#pragma once

#include "net/NetworkManager.h"
#include "platform/EventPump.h"
#include "platform/InputEvents.h"
#include "platform/NullEventPump.h"
#include "platform/QuitRequest.h"
#include "platform/math/Vector.h"

#include "TestSupport.h"

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace e2e {

inline constexpr double kFrameStep = 1.0 / 60.0;
inline constexpr int kLeftButton = 0;
inline constexpr int kRightButton = 1;

class ScriptedPlayer : public platform::EventPump {
public:
    explicit ScriptedPlayer(testing::ManualClockScope& clock) : clock_(clock) {}

    platform::PumpResult Pump() override
    {
        ++pass;
        if (everyPass) {
            everyPass();
        }
        if (const auto due = timed_.find(pass); due != timed_.end()) {
            const std::vector<std::function<void()>> records = std::move(due->second);
            timed_.erase(due);
            for (const std::function<void()>& record : records) {
                record();
            }
        }
        RunReadyStep();
        if (Done() || pass >= lastPass || OutOfRealTime()) {
            lastSeen = seen ? seen() : std::string();
            platform::PostQuit(0);
        }
        // The splash takes five seconds: it passes a second a frame.
        clock_.Advance(pass <= kSplashPasses ? 1.0 : kFrameStep + extraSeconds);
        extraSeconds = 0.0;
        return headless_.Pump();
    }

    bool Done() const { return timed_.empty() && steps_.empty(); }
    std::string Waiting() const { return steps_.empty() ? std::string("nothing") : steps_.front().name; }

    void At(int when, std::function<void()> record) { timed_[when].push_back(std::move(record)); }

    // Waits, once every timed record has run, until ready, then acts.
    void Then(const std::string& name, std::function<bool()> ready, std::function<void()> act)
    {
        steps_.push_back({name, std::move(ready), std::move(act)});
    }

    // The mouse counts motion double, so the cursor moves half the distance.
    void MoveTo(int x, int y)
    {
        platform::MouseRecord record;
        record.kind = platform::MouseRecordKind::kMotion;
        record.dx = (x - x_) / 2;
        record.dy = (y - y_) / 2;
        x_ += 2 * record.dx;
        y_ += 2 * record.dy;
        platform::MouseRecords().Push(record);
    }

    void MoveToSpot(const Vec2& spot) { MoveTo(static_cast<int>(spot.x), static_cast<int>(spot.y)); }

    static void Button(int button, bool down)
    {
        platform::MouseRecord record;
        record.kind = platform::MouseRecordKind::kButton;
        record.button = button;
        record.down = down;
        platform::MouseRecords().Push(record);
    }

    static void Key(std::uint8_t scanCode, bool down) { platform::KeyboardRecords().Push({scanCode, down, 0}); }

    // A click over three frames: move there, press, release.
    void ClickAt(int when, int x, int y)
    {
        At(when, [this, x, y] { MoveTo(x, y); });
        PressAt(when + 1, kLeftButton);
    }

    // The same on a spot an earlier probe found: read when the move is made.
    void ClickOn(int when, const Vec2& spot, int button)
    {
        At(when, [this, &spot] { MoveToSpot(spot); });
        PressAt(when + 1, button);
    }

    void PressAt(int when, int button)
    {
        At(when, [button] { Button(button, true); });
        At(when + 1, [button] { Button(button, false); });
    }

    // A key pressed in one frame and let go in the next.
    void TapAt(int when, std::uint8_t scanCode)
    {
        At(when, [scanCode] { Key(scanCode, true); });
        At(when + 1, [scanCode] { Key(scanCode, false); });
    }

    // Pressed at one place, dragged to another, let go.
    void DragAt(int when, int fromX, int fromY, int toX, int toY)
    {
        At(when, [this, fromX, fromY] { MoveTo(fromX, fromY); });
        At(when + 1, [] { Button(kLeftButton, true); });
        At(when + 2, [this, toX, toY] { MoveTo(toX, toY); });
        At(when + 3, [] { Button(kLeftButton, false); });
    }

    // From a step: a click, or keys typed, starting with the next pass.
    void Click(int x, int y) { ClickAt(pass + 1, x, y); }
    void Type(const std::vector<std::uint8_t>& scanCodes)
    {
        for (std::size_t i = 0; i < scanCodes.size(); ++i) {
            TapAt(pass + 1 + 2 * static_cast<int>(i), scanCodes[i]);
        }
    }

    int pass = 0;
    // A side still waiting this long has failed.
    int lastPass = 60000;
    // Or this long in real time (0 for no bound): it stops while it can still
    // say what it was waiting for.
    double realSecondsAllowed = 0.0;
    // Added to the next frame's time: a jump over a stretch of the match.
    double extraSeconds = 0.0;
    // What the game showed when the run stopped (it is shut down after).
    std::function<std::string()> seen;
    // A probe run at the start of every pass, before its records and steps
    // (null for none).
    std::function<void()> everyPass;
    std::string lastSeen;

private:
    static constexpr int kSplashPasses = 6;

    struct Step {
        std::string name;
        std::function<bool()> ready;
        std::function<void()> act;
    };

    bool OutOfRealTime() const
    {
        const std::chrono::duration<double> ran = std::chrono::steady_clock::now() - started_;
        return realSecondsAllowed > 0.0 && ran.count() > realSecondsAllowed;
    }

    void RunReadyStep()
    {
        if (!timed_.empty() || steps_.empty()) {
            return;
        }
        if (!steps_.front().ready()) {
            // Nothing to do until something arrives.
            NetworkManager::Instance()->GetQueue().WaitForAny(std::chrono::milliseconds(1));
            return;
        }
        const std::function<void()> act = std::move(steps_.front().act);
        steps_.pop_front();
        act();
    }

    testing::ManualClockScope& clock_;
    // Wall-clock time only bounds a run that waits in vain; it is never game time.
    const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    platform::NullEventPump headless_;
    std::map<int, std::vector<std::function<void()>>> timed_;
    std::deque<Step> steps_;
    // Where each run puts the cursor: the screen's centre.
    int x_ = 512;
    int y_ = 384;
};

} // namespace e2e
