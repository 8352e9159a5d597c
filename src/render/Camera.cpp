// Camera: the command list and the ten movements.
//
// Turn and orbit move the target (turn) or the eye (orbit) sideways, then
// scale the moved point's world x and z so its horizontal distance from the
// other point is kept: about the map centre, where the menu camera looks,
// that is an exact circle. When that distance is zero the scale has no
// meaning, and the move is dropped for the frame rather than poison the
// camera with infinities.
#include "render/Camera.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kBoundsFactor = 0.65f;
constexpr float kWheelRate = 200.0f;
constexpr float kSmallestHorizontal = 1e-4f;

float Horizontal(const Vec3& v)
{
    return std::sqrt(v.x * v.x + v.z * v.z);
}

} // namespace

const Camera::Handler Camera::kHandlers[kCameraCommandCount] = {
    &Camera::TurnLeft, &Camera::TurnRight,  &Camera::OrbitLeft, &Camera::OrbitRight, &Camera::ZoomIn,
    &Camera::ZoomOut,  &Camera::PanForward, &Camera::PanBack,   &Camera::PanLeft,    &Camera::PanRight,
};

void Camera::AddCommand(int id)
{
    if (id >= 0 && id < kCameraCommandCount) {
        commands_.push_back(id);
    }
}

void Camera::RemoveCommand(int id)
{
    const auto found = std::find(commands_.begin(), commands_.end(), id);
    if (found != commands_.end()) {
        commands_.erase(found);
    }
}

void Camera::RunCommands(float frameTime, float mapSize)
{
    const Frame frame{frameTime, mapSize};
    for (const int id : commands_) {
        (this->*kHandlers[id])(frame);
    }
}

bool Camera::InsideBounds(const Vec3& point, float mapSize)
{
    const float limit = kBoundsFactor * mapSize;
    return std::fabs(point.x) <= limit && std::fabs(point.z) <= limit;
}

Vec3 Camera::RateStep(const Vec3& direction, const Frame& frame) const
{
    return direction * (Distance() * frame.frameTime * speed_);
}

void Camera::Turn(const Frame& frame, float sign)
{
    const Vec3 eye = view_.GetEye();
    const Vec3 at = view_.GetAt();
    Vec3 moved = at + RateStep(view_.GetRight(), frame) * sign;
    const float after = Horizontal(moved - eye);
    if (!(after > kSmallestHorizontal)) {
        return;
    }
    const float k = Horizontal(at - eye) / after;
    moved.x *= k;
    moved.z *= k;
    if (Vec3IsFinite(moved)) {
        view_.SetAt(moved);
    }
}

void Camera::Orbit(const Frame& frame, float sign)
{
    const Vec3 eye = view_.GetEye();
    const Vec3 at = view_.GetAt();
    Vec3 moved = eye + RateStep(view_.GetRight(), frame) * sign;
    const float after = Horizontal(at - moved);
    if (!(after > kSmallestHorizontal)) {
        return;
    }
    const float k = Horizontal(at - eye) / after;
    moved.x *= k;
    moved.z *= k;
    if (Vec3IsFinite(moved) && InsideBounds(moved, frame.mapSize)) {
        view_.SetEye(moved);
    }
}

void Camera::ZoomInBy(const Vec3& step)
{
    if (Distance() - Vec3Length(step) > kMinDistance) {
        view_.SetEye(view_.GetEye() + step);
    }
}

void Camera::ZoomOutBy(const Vec3& step, float mapSize)
{
    const Vec3 moved = view_.GetEye() - step;
    if (InsideBounds(moved, mapSize) && Distance() + Vec3Length(step) < kMaxDistance) {
        view_.SetEye(moved);
    }
}

void Camera::Pan(const Vec3& direction, const Frame& frame, float sign)
{
    const Vec3 flat = Vec3Normalize({direction.x, 0.0f, direction.z});
    const Vec3 step = RateStep(flat, frame) * sign;
    if (!InsideBounds(view_.GetEye() + step, frame.mapSize)) {
        return;
    }
    view_.SetEye(view_.GetEye() + step);
    view_.SetAt(view_.GetAt() + step);
}

void Camera::WheelZoomIn(float frameTime, bool inMatch)
{
    if (inMatch) {
        ZoomInBy(view_.GetForward() * (frameTime * kWheelRate));
    }
}

void Camera::WheelZoomOut(float frameTime, bool inMatch, float mapSize)
{
    if (inMatch) {
        ZoomOutBy(view_.GetForward() * (frameTime * kWheelRate), mapSize);
    }
}

PickView Camera::MakePickView(float screenWidth, float screenHeight) const
{
    PickView pick;
    pick.view = view_.GetViewMatrix();
    pick.projection = view_.GetProjectionMatrix();
    pick.eye = view_.GetEye();
    pick.screenWidth = screenWidth;
    pick.screenHeight = screenHeight;
    return pick;
}
