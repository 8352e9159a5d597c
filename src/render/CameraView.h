// Where a camera stands and what it sees: eye, look-at (a point, or in any
// other look mode a direction from the eye), up and the lens, and the view
// and projection matrices made from them (left-handed, depth 0..1).
#pragma once

#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

#include <cstdint>

class CameraView {
public:
    void SetEye(const Vec3& eye) { eye_ = eye; }
    // at is a point: look mode 0.
    void SetAt(const Vec3& at)
    {
        at_ = at;
        lookMode_ = 0;
    }
    // at is a direction from the eye.
    void SetLookDirection(const Vec3& direction)
    {
        at_ = direction;
        lookMode_ = 1;
    }
    void SetUp(const Vec3& up) { up_ = up; }
    void SetFov(float fov) { fov_ = fov; }
    void SetAspect(float aspect) { aspect_ = aspect; }
    void SetNear(float nearPlane) { near_ = nearPlane; }
    void SetFar(float farPlane) { far_ = farPlane; }

    Vec3 GetEye() const { return eye_; }
    Vec3 GetAt() const { return at_; }
    Vec3 GetUp() const { return up_; }
    float GetFov() const { return fov_; }
    float GetAspect() const { return aspect_; }
    float GetNear() const { return near_; }
    float GetFar() const { return far_; }
    std::uint32_t GetLookMode() const { return lookMode_; }

    // The point looked at: at itself, or eye + at.
    Vec3 GetTarget() const { return lookMode_ == 0 ? at_ : eye_ + at_; }
    // Unit view direction.
    Vec3 GetForward() const { return Vec3Normalize(Direction()); }
    // normalise(up x d): +x for a view along +z.
    Vec3 GetRight() const { return Vec3Normalize(Vec3Cross(up_, Direction())); }
    // normalise(d x (up x d)): the screen's up in the world.
    Vec3 GetScreenUp() const { return Vec3Normalize(Vec3Cross(Direction(), Vec3Cross(up_, Direction()))); }

    Matrix GetViewMatrix() const { return MatrixLookAtLH(eye_, GetTarget(), up_); }
    Matrix GetProjectionMatrix() const { return MatrixPerspectiveFovLH(fov_, aspect_, near_, far_); }

private:
    Vec3 Direction() const { return lookMode_ == 0 ? at_ - eye_ : at_; }

    Vec3 eye_{0.0f, 0.0f, -1.0f};
    Vec3 at_;
    Vec3 up_{0.0f, 1.0f, 0.0f};
    float fov_ = kPi / 4.0f;
    float aspect_ = 4.0f / 3.0f;
    float near_ = 2.0f;
    float far_ = 800.0f;
    std::uint32_t lookMode_ = 0;
};
