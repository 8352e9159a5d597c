// An input host that records what the keyboard and mouse send: GUI messages
// (with whether the left button read down as each was sent), camera commands
// and wheel steps. The screen is 1024x768 unless a test sets another.
#pragma once

#include "input/InputHost.h"
#include "input/Mouse.h"

#include <cstdint>
#include <vector>

namespace testing {

struct SentMessage {
    std::uint32_t message = 0;
    std::int32_t a = 0;
    std::int32_t b = 0;
    bool leftDown = false;
    bool operator==(const SentMessage& other) const { return message == other.message && a == other.a && b == other.b; }
};

class RecordingInputHost : public InputHost {
public:
    int ScreenWidth() const override { return width; }
    int ScreenHeight() const override { return height; }
    bool InMatch() const override { return inMatch; }
    void AddCameraCommand(int command) override { camera.push_back(command); }
    void RemoveCameraCommand(int command) override { camera.push_back(-command); }
    void WheelZoomIn() override { ++zoomIns; }
    void WheelZoomOut() override { ++zoomOuts; }
    void DispatchInput(std::uint32_t message, std::int32_t a, std::int32_t b) override
    {
        sent.push_back({message, a, b, Mouse::Instance()->IsButtonDown(0)});
    }

    int width = 1024;
    int height = 768;
    bool inMatch = false;
    // Commands added, and removed ones negated.
    std::vector<int> camera;
    int zoomIns = 0;
    int zoomOuts = 0;
    std::vector<SentMessage> sent;
};

} // namespace testing
