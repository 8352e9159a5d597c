// World points to screen pixels through a camera: the view and projection
// matrices, then x = W/2 (1 + x'), y = H/2 (1 - y'). A point on or behind the
// camera's plane (clip w <= 0) has no place on the screen: the divide would
// mirror it into the picture, where it could be picked or boxed.
#pragma once

#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"
#include "render/CameraView.h"

class ScreenProjection {
public:
    ScreenProjection(const CameraView& view, float screenWidth, float screenHeight);

    // False, with out untouched, for a point behind the camera.
    bool ToScreen(const Vec3& world, Vec2& out) const;
    float ScreenWidth() const { return width_; }
    float ScreenHeight() const { return height_; }

private:
    Matrix viewProjection_;
    float width_ = 0.0f;
    float height_ = 0.0f;
};
