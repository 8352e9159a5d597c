// Painting with alpha for the interface art (see RgbaCanvas.h).
#include "RgbaCanvas.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

float Coverage(float distance)
{
    return std::clamp(0.5f - distance, 0.0f, 1.0f);
}

std::uint8_t ToByte(float v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

} // namespace

Rgb MixRgb(const Rgb& a, const Rgb& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb ScaleRgb(const Rgb& c, float s)
{
    return {c.r * s, c.g * s, c.b * s};
}

float RoundedRectDistance(float px, float py, float left, float top, float right, float bottom, float radius)
{
    const float cx = (left + right) * 0.5f;
    const float cy = (top + bottom) * 0.5f;
    const float qx = std::fabs(px - cx) - ((right - left) * 0.5f - radius);
    const float qy = std::fabs(py - cy) - ((bottom - top) * 0.5f - radius);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

RgbaCanvas::RgbaCanvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height)
{
}

void RgbaCanvas::Over(int x, int y, const Rgba& colour, float coverage)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    const float a = std::clamp(colour.a * coverage, 0.0f, 1.0f);
    if (a <= 0.0f) {
        return;
    }
    Rgba& p = pixels_[Index(x, y)];
    const float below = p.a * (1.0f - a);
    const float out = a + below;
    p.r = (colour.r * a + p.r * below) / out;
    p.g = (colour.g * a + p.g * below) / out;
    p.b = (colour.b * a + p.b * below) / out;
    p.a = out;
}

void RgbaCanvas::FillWith(const std::function<Rgba(float x, float y)>& paint)
{
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            pixels_[Index(x, y)] = paint(x + 0.5f, y + 0.5f);
        }
    }
}

void RgbaCanvas::PaintShape(int left, int top, int right, int bottom,
                            const std::function<float(float x, float y)>& distance,
                            const std::function<Rgba(float x, float y)>& paint)
{
    const int noHole[4] = {0, 0, 0, 0};
    PaintShapeAround(left, top, right, bottom, noHole, distance, paint);
}

void RgbaCanvas::PaintShapeAround(int left, int top, int right, int bottom, const int hole[4],
                                  const std::function<float(float x, float y)>& distance,
                                  const std::function<Rgba(float x, float y)>& paint)
{
    const int x0 = std::max(left - 1, 0);
    const int y0 = std::max(top - 1, 0);
    const int x1 = std::min(right + 1, width_);
    const int y1 = std::min(bottom + 1, height_);
    for (int y = y0; y < y1; ++y) {
        const bool rowInHole = y >= hole[1] && y < hole[3];
        for (int x = x0; x < x1; ++x) {
            if (rowInHole && x == hole[0]) {
                x = std::max(x, hole[2] - 1);
                continue;
            }
            const float px = x + 0.5f;
            const float py = y + 0.5f;
            const float coverage = Coverage(distance(px, py));
            if (coverage > 0.0f) {
                Over(x, y, paint(px, py), coverage);
            }
        }
    }
}

void RgbaCanvas::FillRoundedRect(float left, float top, float right, float bottom, float radius, const Rgba& topColour,
                                 const Rgba& bottomColour)
{
    const float height = std::max(bottom - top, 1.0f);
    PaintShape(
        static_cast<int>(left), static_cast<int>(top), static_cast<int>(std::ceil(right)),
        static_cast<int>(std::ceil(bottom)),
        [=](float x, float y) { return RoundedRectDistance(x, y, left, top, right, bottom, radius); },
        [=](float, float y) {
            const float t = std::clamp((y - top) / height, 0.0f, 1.0f);
            return Rgba{
                topColour.r + (bottomColour.r - topColour.r) * t, topColour.g + (bottomColour.g - topColour.g) * t,
                topColour.b + (bottomColour.b - topColour.b) * t, topColour.a + (bottomColour.a - topColour.a) * t};
        });
}

void RgbaCanvas::BevelRing(float left, float top, float right, float bottom, float radius, float width, const Rgb& base,
                           bool raised)
{
    const float innerRadius = std::max(radius - width, 0.0f);
    const auto outer = [=](float x, float y) { return RoundedRectDistance(x, y, left, top, right, bottom, radius); };
    const auto inner = [=](float x, float y) {
        return RoundedRectDistance(x, y, left + width, top + width, right - width, bottom - width, innerRadius);
    };
    // The light comes from the upper left: the outward normal of the ring,
    // taken from the distance's slope, says how much a pixel faces it.
    const float sign = raised ? 1.0f : -1.0f;
    // Deep inside the inner edge (clear of its rounded corners) nothing is
    // painted, so those pixels are not visited.
    const float margin = width + innerRadius + 2.0f;
    const int hole[4] = {static_cast<int>(std::ceil(left + margin)), static_cast<int>(std::ceil(top + margin)),
                         static_cast<int>(right - margin), static_cast<int>(bottom - margin)};
    PaintShapeAround(
        static_cast<int>(left), static_cast<int>(top), static_cast<int>(std::ceil(right)),
        static_cast<int>(std::ceil(bottom)), hole,
        [=](float x, float y) { return std::max(outer(x, y), -inner(x, y)); },
        [=](float x, float y) {
            const float nx = outer(x + 0.5f, y) - outer(x - 0.5f, y);
            const float ny = outer(x, y + 0.5f) - outer(x, y - 0.5f);
            const float facing = sign * (-nx - ny) * 0.7071f;
            // Across the band the profile rounds off: brightest midway.
            const float across = std::clamp(-outer(x, y) / std::max(width, 1.0f), 0.0f, 1.0f);
            const float crown = 1.0f - 0.35f * std::fabs(across - 0.5f) * 2.0f;
            const float light = std::clamp(1.0f + 0.55f * facing, 0.35f, 1.7f) * crown;
            return Opaque(ScaleRgb(base, light));
        });
}

void RgbaCanvas::StrokeRoundedRect(float left, float top, float right, float bottom, float radius, float width,
                                   const Rgba& colour)
{
    const float half = width * 0.5f;
    PaintShape(
        static_cast<int>(left - half), static_cast<int>(top - half), static_cast<int>(std::ceil(right + half)),
        static_cast<int>(std::ceil(bottom + half)),
        [=](float x, float y) { return std::fabs(RoundedRectDistance(x, y, left, top, right, bottom, radius)) - half; },
        [=](float, float) { return colour; });
}

void RgbaCanvas::FillRect(int left, int top, int right, int bottom, const Rgba& colour)
{
    for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, width_); ++x) {
            Over(x, y, colour, 1.0f);
        }
    }
}

void RgbaCanvas::ScaleAlpha(float factor)
{
    for (Rgba& p : pixels_) {
        p.a *= factor;
    }
}

std::vector<std::uint8_t> RgbaCanvas::ToRgba8() const
{
    std::vector<std::uint8_t> bytes(pixels_.size() * 4);
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        const Rgba& p = pixels_[i];
        bytes[i * 4 + 0] = ToByte(p.r);
        bytes[i * 4 + 1] = ToByte(p.g);
        bytes[i * 4 + 2] = ToByte(p.b);
        bytes[i * 4 + 3] = ToByte(p.a);
    }
    return bytes;
}

std::vector<std::uint8_t> RgbaCanvas::EncodePng() const
{
    return EncodePngRgba(width_, height_, ToRgba8());
}

std::vector<std::uint8_t> RgbaCanvas::EncodeDds() const
{
    constexpr std::uint32_t kHeaderSize = 124;
    constexpr std::uint32_t kCaps = 0x1;
    constexpr std::uint32_t kHeight = 0x2;
    constexpr std::uint32_t kWidth = 0x4;
    constexpr std::uint32_t kPitch = 0x8;
    constexpr std::uint32_t kPixelFormat = 0x1000;
    constexpr std::uint32_t kAlphaPixels = 0x1;
    constexpr std::uint32_t kRgb = 0x40;
    constexpr std::uint32_t kTexture = 0x1000;
    std::vector<std::uint8_t> bytes{'D', 'D', 'S', ' '};
    PutU32(bytes, kHeaderSize);
    PutU32(bytes, kCaps | kHeight | kWidth | kPitch | kPixelFormat);
    PutU32(bytes, static_cast<std::uint32_t>(height_));
    PutU32(bytes, static_cast<std::uint32_t>(width_));
    PutU32(bytes, static_cast<std::uint32_t>(width_) * 4); // pitch
    PutU32(bytes, 0);                                      // depth
    PutU32(bytes, 0);                                      // mip levels: just the one
    for (int i = 0; i < 11; ++i) {
        PutU32(bytes, 0);
    }
    PutU32(bytes, 32); // pixel format size
    PutU32(bytes, kAlphaPixels | kRgb);
    PutU32(bytes, 0);  // no FourCC: uncompressed
    PutU32(bytes, 32); // bits per pixel
    PutU32(bytes, 0x00FF0000u);
    PutU32(bytes, 0x0000FF00u);
    PutU32(bytes, 0x000000FFu);
    PutU32(bytes, 0xFF000000u);
    PutU32(bytes, kTexture);
    for (int i = 0; i < 4; ++i) {
        PutU32(bytes, 0); // caps 2 to 4, reserved
    }
    const std::size_t start = bytes.size();
    bytes.resize(start + pixels_.size() * 4);
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        const Rgba& p = pixels_[i];
        std::uint8_t* out = bytes.data() + start + i * 4;
        out[0] = ToByte(p.b);
        out[1] = ToByte(p.g);
        out[2] = ToByte(p.r);
        out[3] = ToByte(p.a);
    }
    return bytes;
}

Image RgbaCanvas::Flatten(const Rgb& background) const
{
    Image image(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const Rgba& p = pixels_[Index(x, y)];
            image.Set(x, y, MixRgb(background, {p.r, p.g, p.b}, std::clamp(p.a, 0.0f, 1.0f)));
        }
    }
    return image;
}

} // namespace datagen
