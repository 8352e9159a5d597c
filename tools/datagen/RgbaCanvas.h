// A picture with alpha that the interface art is painted into: shapes are
// drawn by signed distance (inside negative), so every edge is smoothed over
// one pixel; paint goes on with "over" compositing, so a transparent canvas
// takes lettering and frames and keeps its clear background clear. Written
// out as PNG or as the 32-bit uncompressed DDS the game's loader reads.
#pragma once

#include "Image.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace datagen {

struct Rgba {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

inline Rgba Opaque(const Rgb& c, float alpha = 1.0f)
{
    return {c.r, c.g, c.b, alpha};
}

Rgb MixRgb(const Rgb& a, const Rgb& b, float t);
Rgb ScaleRgb(const Rgb& c, float s);

// Signed distance from (px, py) to a rectangle with rounded corners (radius
// 0 gives sharp ones); negative inside.
float RoundedRectDistance(float px, float py, float left, float top, float right, float bottom, float radius);

class RgbaCanvas {
public:
    RgbaCanvas(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgba Get(int x, int y) const { return pixels_[Index(x, y)]; }
    void Set(int x, int y, const Rgba& colour) { pixels_[Index(x, y)] = colour; }

    // colour laid over the pixel with colour.a x coverage; outside is ignored.
    void Over(int x, int y, const Rgba& colour, float coverage);
    // Every pixel set from its centre: paint(x + 0.5, y + 0.5).
    void FillWith(const std::function<Rgba(float x, float y)>& paint);
    // Over every pixel whose centre lies within the shape (distance < 0.5),
    // coloured by paint at that centre; only the shape's box is visited.
    void PaintShape(int left, int top, int right, int bottom, const std::function<float(float x, float y)>& distance,
                    const std::function<Rgba(float x, float y)>& paint);

    // A rounded rectangle filled with a top-to-bottom gradient.
    void FillRoundedRect(float left, float top, float right, float bottom, float radius, const Rgba& topColour,
                         const Rgba& bottomColour);
    // The band between a rounded rectangle and one inset by width, lit from
    // the top left: light on the upper and left sides, shade on the others.
    // raised false swaps the two, for a recess.
    void BevelRing(float left, float top, float right, float bottom, float radius, float width, const Rgb& base,
                   bool raised);
    // A line of the given width along the rounded rectangle's edge.
    void StrokeRoundedRect(float left, float top, float right, float bottom, float radius, float width,
                           const Rgba& colour);
    void FillRect(int left, int top, int right, int bottom, const Rgba& colour);
    // Every pixel's opacity times factor: a whole picture made see-through.
    void ScaleAlpha(float factor);

    // 8-bit RGBA, top row first, straight alpha.
    std::vector<std::uint8_t> ToRgba8() const;
    std::vector<std::uint8_t> EncodePng() const;
    // "DDS " and a 124-byte header for an uncompressed A8R8G8B8 picture
    // (pitch given, one level), then the rows top first in BGRA byte order.
    std::vector<std::uint8_t> EncodeDds() const;
    // The picture over an opaque colour, for the formats without alpha.
    Image Flatten(const Rgb& background) const;

private:
    // PaintShape that leaves out the pixels inside hole (left, top, right,
    // bottom), where a ring has nothing to paint.
    void PaintShapeAround(int left, int top, int right, int bottom, const int hole[4],
                          const std::function<float(float x, float y)>& distance,
                          const std::function<Rgba(float x, float y)>& paint);

    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

} // namespace datagen
