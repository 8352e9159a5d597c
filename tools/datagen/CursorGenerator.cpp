// The three cursor pictures, "Interface/Cursor/SelectCursor.png",
// "MoveCursor.png" and "AttackCursor.png": 32x32 RGBA with a clear
// background, each drawn so that its pointing pixel is the cursor's hot spot:
// the select arrow's tip at the top-left pixel, the move arrow's point at
// (3, 20), the attack crosshair's centre at (16, 16), a solid red dot there.
//
// Shapes are filled with 4x4 samples a pixel; a pixel whose neighbours are
// not all inside is the dark outline, so each picture reads on any ground.
#include "DataGenerator.h"
#include "Image.h"

#include "platform/ImageFile.h"

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace datagen {

namespace {

constexpr int kSide = 32;
constexpr int kSamples = 4;

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

using Shape = std::function<bool(float x, float y)>;

struct Rgba {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

// Even-odd rule.
bool InsidePolygon(const std::vector<Point>& polygon, float x, float y)
{
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point& a = polygon[i];
        const Point& b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

float Coverage(const Shape& shape, int px, int py)
{
    int hits = 0;
    for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
            const float x = static_cast<float>(px) + (static_cast<float>(sx) + 0.5f) / kSamples;
            const float y = static_cast<float>(py) + (static_cast<float>(sy) + 0.5f) / kSamples;
            hits += shape(x, y) ? 1 : 0;
        }
    }
    return static_cast<float>(hits) / (kSamples * kSamples);
}

class CursorPicture {
public:
    CursorPicture() : rgba_(kSide * kSide * 4, 0) {}

    // Fills the shape: its inner pixels in fill, its rim in outline.
    void Paint(const Shape& shape, const Rgba& fill, const Rgba& outline)
    {
        std::vector<float> coverage(kSide * kSide, 0.0f);
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                coverage[Index(x, y)] = Coverage(shape, x, y);
            }
        }
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const float cover = coverage[Index(x, y)];
                if (cover > 0.0f) {
                    Put(x, y, IsInner(coverage, x, y) ? fill : outline, cover);
                }
            }
        }
    }

    std::vector<std::uint8_t> EncodePng() const { return EncodePngRgba(kSide, kSide, rgba_); }

private:
    static std::size_t Index(int x, int y) { return static_cast<std::size_t>(y) * kSide + x; }

    static bool IsInner(const std::vector<float>& coverage, int x, int y)
    {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx;
                const int ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= kSide || ny >= kSide || coverage[Index(nx, ny)] < 1.0f) {
                    return false;
                }
            }
        }
        return true;
    }

    // Over what is there, by coverage.
    void Put(int x, int y, const Rgba& colour, float cover)
    {
        std::uint8_t* p = rgba_.data() + Index(x, y) * 4;
        const float under = static_cast<float>(p[3]) / 255.0f;
        const float alpha = cover + under * (1.0f - cover);
        const auto mix = [&](std::uint8_t old, float value) {
            const float blended = (value * cover + static_cast<float>(old) / 255.0f * under * (1.0f - cover)) / alpha;
            return static_cast<std::uint8_t>(std::lround(blended * 255.0f));
        };
        p[0] = mix(p[0], colour.r);
        p[1] = mix(p[1], colour.g);
        p[2] = mix(p[2], colour.b);
        p[3] = static_cast<std::uint8_t>(std::lround(alpha * 255.0f));
    }

    std::vector<std::uint8_t> rgba_;
};

constexpr Rgba kWhite{1.0f, 1.0f, 1.0f};
constexpr Rgba kBlack{0.0f, 0.0f, 0.0f};

// A classic arrow, its tip on the top-left corner.
std::vector<std::uint8_t> SelectCursor()
{
    const std::vector<Point> arrow = {{0.0f, 0.0f},   {0.0f, 22.0f},  {5.0f, 17.5f}, {9.0f, 27.0f},
                                      {14.0f, 25.0f}, {10.0f, 16.5f}, {16.5f, 16.5f}};
    CursorPicture picture;
    picture.Paint([&](float x, float y) { return InsidePolygon(arrow, x, y); }, kWhite, kBlack);
    return picture.EncodePng();
}

// A green arrow coming down from the upper right, its point at the bottom-left
// corner of pixel (3, 20).
std::vector<std::uint8_t> MoveCursor()
{
    // Along the diagonal from the tip: the head's corners 11 up it and 6 to
    // either side, the shaft 2.5 to either side out to 27.
    const std::vector<Point> arrow = {{3.0f, 21.0f},   {6.54f, 8.98f},   {9.01f, 11.45f}, {20.32f, 0.14f},
                                      {23.86f, 3.68f}, {12.55f, 14.99f}, {15.02f, 17.46f}};
    CursorPicture picture;
    picture.Paint([&](float x, float y) { return InsidePolygon(arrow, x, y); }, {0.35f, 0.95f, 0.35f},
                  {0.0f, 0.25f, 0.0f});
    return picture.EncodePng();
}

// A red ring and cross round a solid red dot on (16, 16).
std::vector<std::uint8_t> AttackCursor()
{
    constexpr float kCentre = 16.5f; // the middle of pixel 16
    const Rgba red{0.95f, 0.1f, 0.1f};
    const Rgba darkRed{0.3f, 0.0f, 0.0f};
    const auto distance = [](float x, float y) { return std::hypot(x - kCentre, y - kCentre); };
    const Shape ring = [&](float x, float y) {
        const float d = distance(x, y);
        return d >= 9.0f && d <= 12.0f;
    };
    const Shape cross = [&](float x, float y) {
        const float along = std::max(std::fabs(x - kCentre), std::fabs(y - kCentre));
        const float across = std::min(std::fabs(x - kCentre), std::fabs(y - kCentre));
        return across <= 1.5f && along >= 5.0f && along <= 15.5f;
    };
    const Shape dot = [&](float x, float y) { return distance(x, y) <= 2.5f; };
    CursorPicture picture;
    picture.Paint(ring, red, darkRed);
    picture.Paint(cross, red, darkRed);
    picture.Paint(dot, red, darkRed);
    return picture.EncodePng();
}

// What the game will read: a 32x32 picture.
bool Readable(const std::vector<std::uint8_t>& png)
{
    platform::RgbaImage image;
    return platform::DecodeImage(png, image) && image.width == kSide && image.height == kSide;
}

} // namespace

bool GenerateCursors(const std::filesystem::path& root)
{
    const std::array<std::pair<const char*, std::vector<std::uint8_t>>, 3> pictures = {{
        {"Interface/Cursor/SelectCursor.png", SelectCursor()},
        {"Interface/Cursor/MoveCursor.png", MoveCursor()},
        {"Interface/Cursor/AttackCursor.png", AttackCursor()},
    }};
    for (const auto& [path, png] : pictures) {
        if (!Readable(png) || !WriteDataFile(root, path, png)) {
            return false;
        }
    }
    return true;
}

} // namespace datagen
