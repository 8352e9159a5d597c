// Software triangle filling for the build-time pictures (see SoftRasteriser.h).
//
// The world is left-handed with y up, as the game's: seen from the eye, right
// is up x forward. Depth is kept as 1 / distance along the view, which
// varies linearly across the screen, so larger means nearer.
#include "SoftRasteriser.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr float kNearDistance = 0.05f;

float EdgeFunction(float ax, float ay, float bx, float by, float px, float py)
{
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

} // namespace

SoftRasteriser::SoftRasteriser(int width, int height, int supersample)
    : width_(width), height_(height), supersample_(supersample), sampleWidth_(width * supersample),
      sampleHeight_(height * supersample), colour_(static_cast<std::size_t>(sampleWidth_) * sampleHeight_),
      inverseDepth_(colour_.size(), 0.0f)
{
}

void SoftRasteriser::SetCamera(const Vec3& eye, const Vec3& at, float fovY)
{
    eye_ = eye;
    forward_ = Vec3Normalize(at - eye);
    right_ = Vec3Normalize(Vec3Cross({0.0f, 1.0f, 0.0f}, forward_));
    up_ = Vec3Cross(forward_, right_);
    focal_ = 1.0f / std::tan(fovY * 0.5f);
}

bool SoftRasteriser::Project(const Vec3& p, ScreenPoint& out) const
{
    const Vec3 d = p - eye_;
    const float depth = Vec3Dot(d, forward_);
    if (depth < kNearDistance) {
        return false;
    }
    const float half = sampleHeight_ * 0.5f;
    out.x = sampleWidth_ * 0.5f + Vec3Dot(d, right_) / depth * focal_ * half;
    out.y = half - Vec3Dot(d, up_) / depth * focal_ * half;
    out.inverseDepth = 1.0f / depth;
    return true;
}

bool SoftRasteriser::ProjectToPicture(const Vec3& p, Vec2& out) const
{
    ScreenPoint point;
    if (!Project(p, point)) {
        return false;
    }
    out = {point.x / supersample_, point.y / supersample_};
    return true;
}

void SoftRasteriser::DrawTriangle(const Vec3& a, const Vec3& b, const Vec3& c, const Rgb& colour)
{
    ScreenPoint p[3];
    if (!Project(a, p[0]) || !Project(b, p[1]) || !Project(c, p[2])) {
        return;
    }
    const float area = EdgeFunction(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
    if (std::fabs(area) < 1e-6f) {
        return;
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({p[0].x, p[1].x, p[2].x}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({p[0].y, p[1].y, p[2].y}))));
    const int x1 = std::min(sampleWidth_ - 1, static_cast<int>(std::ceil(std::max({p[0].x, p[1].x, p[2].x}))));
    const int y1 = std::min(sampleHeight_ - 1, static_cast<int>(std::ceil(std::max({p[0].y, p[1].y, p[2].y}))));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float px = x + 0.5f;
            const float py = y + 0.5f;
            // Either winding fills: the caller has already chosen the faces.
            const float w0 = EdgeFunction(p[1].x, p[1].y, p[2].x, p[2].y, px, py) / area;
            const float w1 = EdgeFunction(p[2].x, p[2].y, p[0].x, p[0].y, px, py) / area;
            const float w2 = 1.0f - w0 - w1;
            if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f) {
                continue;
            }
            const float inverseDepth = w0 * p[0].inverseDepth + w1 * p[1].inverseDepth + w2 * p[2].inverseDepth;
            const std::size_t i = static_cast<std::size_t>(y) * sampleWidth_ + x;
            if (inverseDepth > inverseDepth_[i]) {
                inverseDepth_[i] = inverseDepth;
                colour_[i] = colour;
            }
        }
    }
}

void SoftRasteriser::Resolve(RgbaCanvas& backdrop) const
{
    const float samples = static_cast<float>(supersample_ * supersample_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Rgb sum;
            int drawn = 0;
            for (int sy = 0; sy < supersample_; ++sy) {
                for (int sx = 0; sx < supersample_; ++sx) {
                    const std::size_t i =
                        static_cast<std::size_t>(y * supersample_ + sy) * sampleWidth_ + x * supersample_ + sx;
                    if (inverseDepth_[i] > 0.0f) {
                        sum.r += colour_[i].r;
                        sum.g += colour_[i].g;
                        sum.b += colour_[i].b;
                        ++drawn;
                    }
                }
            }
            if (drawn > 0) {
                const float scale = 1.0f / static_cast<float>(drawn);
                backdrop.Over(x, y, Opaque({sum.r * scale, sum.g * scale, sum.b * scale}),
                              static_cast<float>(drawn) / samples);
            }
        }
    }
}

} // namespace datagen
