// Game: the main loop and shutdown.
//
// Each pass measures the frame once (every subsystem advances by that one
// frame time), shows the frame rate in a window, drains the window system's
// events into the input buffers and then runs the current state's frame
// handler, in that order: the handler sees this pass's frame time and input.
// A quit ends the loop before the handler runs. There is no fixed step and no
// sleep; the frame rate is bounded only by presentation.
#include "app/Game.h"

#include "core/ReportRegistry.h"
#include "core/Stopwatch.h"
#include "net/NetSenders.h"
#include "net/NetworkManager.h"
#include "platform/EventPump.h"
#include "platform/NullEventPump.h"
#include "platform/Window.h"

#include <cstdio>

int Game::Run()
{
    platform::NullEventPump headlessPump;
    platform::EventPump& pump = pump_ ? *pump_ : headlessPump;
    int exitCode = 0;
    for (;;) {
        frameTime_ = TimerLap(frameStart_);
        if (GetSetting(kSettingWindowed) != 0 && window_) {
            window_->SetCaption(FrameRateCaption(frameTime_));
        }
        const platform::PumpResult pumped = pump.Pump();
        if (pumped.quit) {
            exitCode = pumped.exitCode;
            break;
        }
        RunStateHandler();
    }
    Shutdown();
    return exitCode;
}

void Game::RunStateHandler()
{
    const std::uint32_t state = GetSetting(kSettingGameState);
    if (state >= kStateCount) {
        return;
    }
    const FrameHandler handler = stateHandlers_[state];
    if (handler) {
        (this->*handler)();
    }
}

void Game::Shutdown()
{
    // The leave message goes out twice on purpose: once flushed at once, once
    // queued for the final flush.
    NetworkManager* const net = NetworkManager::Instance();
    net->FlushOutgoing();
    SendLeave(*net);
    QueueLeave(*net);
    net->FlushOutgoing();
    // The receive and server threads are joined before static objects go away.
    net->Reset();
    ReportRegistry::Instance()->Finish();
}

std::string Game::FrameRateCaption(float frameTime)
{
    const double framesPerSecond = frameTime > 0.0f ? 1.0 / static_cast<double>(frameTime) : 0.0;
    char caption[128] = {};
    std::snprintf(caption, sizeof caption, "Kostrivane - %f", framesPerSecond);
    return caption;
}
