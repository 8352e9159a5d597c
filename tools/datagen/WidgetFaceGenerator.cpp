// The faces the menus stretch over their widgets, uncompressed 32-bit DDS:
// the three button faces "Interface/Button/bup.dds", "bdown.dds" and
// "bhover.dds" (the screens spell the folder "button" too; the path lookup
// ignores case) and the edit boxes' "Interface/EditBox/genericbg.dds".
//
// A button is a rounded slate panel with a light rim and a soft top light;
// hovered it is brighter, pressed darker with the light at the bottom. The
// edit box is a dark, slightly clear field with a thin rim.
//
// The check boxes' checked faces, "Interface/Button/bcheck.dds" and, under
// the cursor, "bcheckhover.dds", are the up and hover faces with a gold tick
// in the middle: a box that is on reads as on, not as a pressed, darker one.
// The options screen stretches them over 78 x 23 pixels, so the tick is
// drawn in that box's own pixels and comes out undistorted there.
#include "DataGenerator.h"

#include "platform/ImageFile.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace datagen {

namespace {

struct FaceStyle {
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    // Brightness added at the top (negative: at the bottom).
    float light = 0.0f;
    float rim = 0.0f;
    float alpha = 1.0f;
    float cornerRadius = 0.0f;
};

std::uint8_t Byte(float value)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

// How far a point lies inside the rounded rectangle's edge, in pixels
// (negative outside).
float InsideDistance(int width, int height, float radius, float x, float y)
{
    const float halfWidth = static_cast<float>(width) / 2.0f;
    const float halfHeight = static_cast<float>(height) / 2.0f;
    const float qx = std::fabs(x - halfWidth) - (halfWidth - radius);
    const float qy = std::fabs(y - halfHeight) - (halfHeight - radius);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f);
    return radius - outside;
}

platform::RgbaImage PaintFace(int width, int height, const FaceStyle& style)
{
    platform::RgbaImage image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            const float inside = InsideDistance(width, height, style.cornerRadius, px, py);
            const float edge = std::clamp(inside + 0.5f, 0.0f, 1.0f);
            const float t = py / static_cast<float>(height);
            const float light = style.light >= 0.0f ? style.light * (1.0f - t) : -style.light * t;
            const float rim = inside < 2.0f ? style.rim : 0.0f;
            const float shade = 1.0f + light + rim;
            std::uint8_t* p = image.rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
            p[0] = Byte(style.red * shade);
            p[1] = Byte(style.green * shade);
            p[2] = Byte(style.blue * shade);
            p[3] = Byte(style.alpha * edge);
        }
    }
    return image;
}

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by)
{
    const float dx = bx - ax;
    const float dy = by - ay;
    const float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

void Blend(std::uint8_t* pixel, float red, float green, float blue, float amount)
{
    for (int channel = 0; channel < 3; ++channel) {
        const float colour = channel == 0 ? red : (channel == 1 ? green : blue);
        const float old = static_cast<float>(pixel[channel]) / 255.0f;
        pixel[channel] = Byte(old + (colour - old) * amount);
    }
}

// A tick centred in a box of boxWidth x boxHeight screen pixels, the size
// the face is shown at: a dark edge, then the gold stroke lit from above.
void DrawTick(platform::RgbaImage& face, float boxWidth, float boxHeight)
{
    const float scaleX = boxWidth / static_cast<float>(face.width);
    const float scaleY = boxHeight / static_cast<float>(face.height);
    const float cx = boxWidth * 0.5f;
    const float cy = boxHeight * 0.5f;
    // The short stroke down to the corner, then the long one up.
    const float ax = cx - 8.0f;
    const float ay = cy + 0.5f;
    const float bx = cx - 2.5f;
    const float by = cy + 6.0f;
    const float tx = cx + 8.5f;
    const float ty = cy - 7.0f;
    constexpr float kHalfStroke = 1.7f;
    constexpr float kEdge = 1.2f;
    for (int y = 0; y < face.height; ++y) {
        for (int x = 0; x < face.width; ++x) {
            const float px = (static_cast<float>(x) + 0.5f) * scaleX;
            const float py = (static_cast<float>(y) + 0.5f) * scaleY;
            const float distance =
                std::min(SegmentDistance(px, py, ax, ay, bx, by), SegmentDistance(px, py, bx, by, tx, ty));
            std::uint8_t* pixel = face.rgba.data() + (static_cast<std::size_t>(y) * face.width + x) * 4;
            const float edge = std::clamp(kHalfStroke + kEdge + 0.5f - distance, 0.0f, 1.0f);
            Blend(pixel, 0.02f, 0.03f, 0.07f, 0.85f * edge);
            const float stroke = std::clamp(kHalfStroke + 0.5f - distance, 0.0f, 1.0f);
            const float lit = 1.0f - 0.25f * std::clamp((py - (cy - 7.0f)) / 14.0f, 0.0f, 1.0f);
            Blend(pixel, 1.0f * lit, 0.86f * lit, 0.45f * lit, stroke);
        }
    }
}

platform::RgbaImage PaintCheckedFace(int width, int height, const FaceStyle& style)
{
    constexpr float kShownWidth = 78.0f;
    constexpr float kShownHeight = 23.0f;
    platform::RgbaImage face = PaintFace(width, height, style);
    DrawTick(face, kShownWidth, kShownHeight);
    return face;
}

bool WriteFace(const std::filesystem::path& root, const std::string& path, const platform::RgbaImage& face)
{
    const std::vector<std::uint8_t> dds = platform::EncodeDds32(face);
    platform::RgbaImage check;
    return platform::DecodeImage(dds, check) && check.rgba == face.rgba && WriteDataFile(root, path, dds);
}

} // namespace

bool GenerateWidgetFaces(const std::filesystem::path& root)
{
    constexpr int kButtonWidth = 256;
    constexpr int kButtonHeight = 64;
    const FaceStyle up{0.22f, 0.30f, 0.42f, 0.45f, 0.9f, 1.0f, 12.0f};
    const FaceStyle hover{0.30f, 0.42f, 0.58f, 0.45f, 1.0f, 1.0f, 12.0f};
    const FaceStyle down{0.14f, 0.19f, 0.28f, -0.35f, 0.6f, 1.0f, 12.0f};
    const FaceStyle field{0.05f, 0.07f, 0.10f, 0.2f, 4.0f, 0.85f, 4.0f};
    return WriteFace(root, "Interface/Button/bup.dds", PaintFace(kButtonWidth, kButtonHeight, up)) &&
           WriteFace(root, "Interface/Button/bhover.dds", PaintFace(kButtonWidth, kButtonHeight, hover)) &&
           WriteFace(root, "Interface/Button/bdown.dds", PaintFace(kButtonWidth, kButtonHeight, down)) &&
           WriteFace(root, "Interface/Button/bcheck.dds", PaintCheckedFace(kButtonWidth, kButtonHeight, up)) &&
           WriteFace(root, "Interface/Button/bcheckhover.dds", PaintCheckedFace(kButtonWidth, kButtonHeight, hover)) &&
           WriteFace(root, "Interface/EditBox/genericbg.dds", PaintFace(512, 48, field));
}

} // namespace datagen
