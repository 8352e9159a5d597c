// The player's view of the battle: a CameraView and the list of camera
// commands active this frame. Each command moves the camera at a rate
// proportional to its distance from the target, times the camera's speed
// (0.1 in the menus, 0.5 in a match) and the frame time. A move that would
// break a limit (40 to 120 from the target, the eye within 0.65 x the map
// size of the centre) is dropped whole for that frame, never clamped.
#pragma once

#include "render/CameraCommand.h"
#include "render/CameraView.h"
#include "world/Terrain.h"

#include <vector>

class Camera {
public:
    CameraView& GetView() { return view_; }
    const CameraView& GetView() const { return view_; }
    void SetSpeed(float speed) { speed_ = speed; }
    float GetSpeed() const { return speed_; }

    // Ids outside 0-9 are ignored. Duplicates run twice.
    void AddCommand(int id);
    // Removes the first entry equal to id, if any.
    void RemoveCommand(int id);
    void ClearCommands() { commands_.clear(); }
    const std::vector<int>& GetCommands() const { return commands_; }

    // Every listed command, in list order, for a frame of frameTime seconds
    // on a map of mapSize.
    void RunCommands(float frameTime, float mapSize);
    // One mouse-wheel step; only in a match, and not scaled by distance or speed.
    void WheelZoomIn(float frameTime, bool inMatch);
    void WheelZoomOut(float frameTime, bool inMatch, float mapSize);

    // |x| and |z| within 0.65 x mapSize; y is not tested.
    static bool InsideBounds(const Vec3& point, float mapSize);

    // What the ground pick needs of this camera, for a screen of the size given.
    PickView MakePickView(float screenWidth, float screenHeight) const;

    static constexpr float kMinDistance = 40.0f;
    static constexpr float kMaxDistance = 120.0f;

private:
    struct Frame {
        float frameTime = 0.0f;
        float mapSize = 0.0f;
    };
    using Handler = void (Camera::*)(const Frame&);
    static const Handler kHandlers[kCameraCommandCount];

    float Distance() const { return Vec3Length(view_.GetAt() - view_.GetEye()); }
    Vec3 RateStep(const Vec3& direction, const Frame& frame) const;
    void Turn(const Frame& frame, float sign);
    void Orbit(const Frame& frame, float sign);
    void ZoomInBy(const Vec3& step);
    void ZoomOutBy(const Vec3& step, float mapSize);
    void Pan(const Vec3& direction, const Frame& frame, float sign);

    void TurnLeft(const Frame& frame) { Turn(frame, -1.0f); }
    void TurnRight(const Frame& frame) { Turn(frame, 1.0f); }
    void OrbitLeft(const Frame& frame) { Orbit(frame, -1.0f); }
    void OrbitRight(const Frame& frame) { Orbit(frame, 1.0f); }
    void ZoomIn(const Frame& frame) { ZoomInBy(RateStep(view_.GetForward(), frame)); }
    void ZoomOut(const Frame& frame) { ZoomOutBy(RateStep(view_.GetForward(), frame), frame.mapSize); }
    void PanForward(const Frame& frame) { Pan(view_.GetForward(), frame, 1.0f); }
    void PanBack(const Frame& frame) { Pan(view_.GetForward(), frame, -1.0f); }
    void PanLeft(const Frame& frame) { Pan(view_.GetRight(), frame, -1.0f); }
    void PanRight(const Frame& frame) { Pan(view_.GetRight(), frame, 1.0f); }

    float speed_ = 0.1f;
    CameraView view_;
    std::vector<int> commands_;
};
