// ScreenProjection: one matrix product per camera, one transform per point.
#include "render/ScreenProjection.h"

ScreenProjection::ScreenProjection(const CameraView& view, float screenWidth, float screenHeight)
    : viewProjection_(view.GetViewMatrix() * view.GetProjectionMatrix()), width_(screenWidth), height_(screenHeight)
{
}

bool ScreenProjection::ToScreen(const Vec3& world, Vec2& out) const
{
    const Vec4 clip = Vec3Transform(world, viewProjection_);
    if (clip.w <= 0.0f) {
        return false;
    }
    out.x = width_ / 2.0f * (1.0f + clip.x / clip.w);
    out.y = height_ / 2.0f * (1.0f - clip.y / clip.w);
    return true;
}
