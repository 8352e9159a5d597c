// "Maps/<name>.bmp": the options screen's and the lobby's picture of each
// battlefield, seen from straight above as the minimap shows it (+x to the
// right, +z up). It is painted from the map file the map generator has just
// written, read back through the game's own parser: the ground pictures of
// both layers mixed as the file's blend says, shaded by the relief (lit
// from the north-west, the slopes made steeper than they are so the low
// hills read), the water over everything below its level, the trees and
// rocks, the army starts as rings and the flags as gold marks.
#include "DataGenerator.h"
#include "Image.h"
#include "MapThemes.h"
#include "Noise.h"
#include "RgbaCanvas.h"

#include "platform/FileSystem.h"
#include "platform/ImageFile.h"
#include "world/MapFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace datagen {

namespace {

constexpr int kPreviewSize = 256;
constexpr std::size_t kMaxMapBytes = 64u << 20;
// Ground pictures are averaged over blocks this wide, so that the preview
// shows their colour and broad pattern rather than single texels.
constexpr int kTexelBlock = 8;
// The relief is a few units over a 400-unit field: slopes are shaded as if
// this many times steeper.
constexpr float kReliefExaggeration = 4.0f;

// A ground picture averaged down to blocks, sampled with wrapping.
class BlockTexture {
public:
    explicit BlockTexture(const platform::RgbaImage& image)
        : width_(std::max(image.width / kTexelBlock, 1)), height_(std::max(image.height / kTexelBlock, 1)),
          blocks_(static_cast<std::size_t>(width_) * height_)
    {
        for (int by = 0; by < height_; ++by) {
            for (int bx = 0; bx < width_; ++bx) {
                Rgb sum;
                int count = 0;
                for (int y = by * kTexelBlock; y < std::min((by + 1) * kTexelBlock, image.height); ++y) {
                    for (int x = bx * kTexelBlock; x < std::min((bx + 1) * kTexelBlock, image.width); ++x) {
                        const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 4;
                        sum.r += image.rgba[i] / 255.0f;
                        sum.g += image.rgba[i + 1] / 255.0f;
                        sum.b += image.rgba[i + 2] / 255.0f;
                        ++count;
                    }
                }
                const float scale = count > 0 ? 1.0f / static_cast<float>(count) : 0.0f;
                blocks_[static_cast<std::size_t>(by) * width_ + bx] = {sum.r * scale, sum.g * scale, sum.b * scale};
            }
        }
    }

    Rgb Sample(float u, float v) const
    {
        const float x = u * width_ - 0.5f;
        const float y = v * height_ - 0.5f;
        const float fx = x - std::floor(x);
        const float fy = y - std::floor(y);
        const int x0 = static_cast<int>(std::floor(x));
        const int y0 = static_cast<int>(std::floor(y));
        const Rgb top = MixRgb(At(x0, y0), At(x0 + 1, y0), fx);
        const Rgb bottom = MixRgb(At(x0, y0 + 1), At(x0 + 1, y0 + 1), fx);
        return MixRgb(top, bottom, fy);
    }

    Rgb Average() const
    {
        Rgb sum;
        for (const Rgb& b : blocks_) {
            sum.r += b.r;
            sum.g += b.g;
            sum.b += b.b;
        }
        const float scale = 1.0f / static_cast<float>(blocks_.size());
        return {sum.r * scale, sum.g * scale, sum.b * scale};
    }

private:
    const Rgb& At(int x, int y) const
    {
        const int wx = ((x % width_) + width_) % width_;
        const int wy = ((y % height_) + height_) % height_;
        return blocks_[static_cast<std::size_t>(wy) * width_ + wx];
    }

    int width_;
    int height_;
    std::vector<Rgb> blocks_;
};

// What the preview reads of one ground vertex, by grid column and row.
struct GroundSample {
    float height = 0.0f;
    float blend = 0.0f;
    float u = 0.0f;
    float v = 0.0f;
};

GroundSample Vertex(const MapData& map, int column, int row)
{
    const int c = std::clamp(column, 0, static_cast<int>(map.columns) - 1);
    const int r = std::clamp(row, 0, static_cast<int>(map.rows) - 1);
    const MapGroundRecord& g = map.ground[static_cast<std::size_t>(r) * map.columns + c];
    return {g.position.y, static_cast<float>(g.colour >> 24) / 255.0f, g.u, g.v};
}

// Bilinear between the four vertices round grid point (gx, gy).
GroundSample SampleGround(const MapData& map, float gx, float gy)
{
    const int c = static_cast<int>(std::floor(gx));
    const int r = static_cast<int>(std::floor(gy));
    const float fx = gx - c;
    const float fy = gy - r;
    const GroundSample s[4] = {Vertex(map, c, r), Vertex(map, c + 1, r), Vertex(map, c, r + 1),
                               Vertex(map, c + 1, r + 1)};
    const auto mix = [&](float GroundSample::*field) {
        return Lerp(Lerp(s[0].*field, s[1].*field, fx), Lerp(s[2].*field, s[3].*field, fx), fy);
    };
    return {mix(&GroundSample::height), mix(&GroundSample::blend), mix(&GroundSample::u), mix(&GroundSample::v)};
}

struct MapLook {
    BlockTexture layer0;
    BlockTexture layer1;
    Rgb water;
};

bool DecodeLayer(const std::vector<std::uint8_t>& bytes, platform::RgbaImage& image, const char* what)
{
    std::string why;
    if (!platform::DecodeImage(bytes, image, &why)) {
        std::fprintf(stderr, "kvdatagen: map preview: the %s picture does not read: %s\n", what, why.c_str());
        return false;
    }
    return true;
}

void PaintGround(Image& image, const MapData& map, const MapLook& look)
{
    const float gridScaleX = static_cast<float>(map.columns - 1) / kPreviewSize;
    const float gridScaleY = static_cast<float>(map.rows - 1) / kPreviewSize;
    const float cellSize = map.mapSize / static_cast<float>(map.columns - 1);
    const Vec3 light = Vec3Normalize({-0.55f, 0.9f, 0.55f});
    for (int y = 0; y < kPreviewSize; ++y) {
        for (int x = 0; x < kPreviewSize; ++x) {
            // Grid row 0 is the +z side: the top of the picture, as on the minimap.
            const float gx = (x + 0.5f) * gridScaleX;
            const float gy = (y + 0.5f) * gridScaleY;
            const GroundSample g = SampleGround(map, gx, gy);
            const float east = SampleGround(map, gx + 0.5f, gy).height - SampleGround(map, gx - 0.5f, gy).height;
            const float south = SampleGround(map, gx, gy + 0.5f).height - SampleGround(map, gx, gy - 0.5f).height;
            const Vec3 normal =
                Vec3Normalize({-east / cellSize * kReliefExaggeration, 1.0f, south / cellSize * kReliefExaggeration});
            const float lit = 0.5f + 0.65f * std::max(0.0f, Vec3Dot(normal, light));
            Rgb colour = MixRgb(look.layer0.Sample(g.u, g.v), look.layer1.Sample(g.u, g.v), g.blend);
            colour = ScaleRgb(colour, lit);
            const float depth = map.waterLevel - g.height;
            if (depth > 0.0f) {
                const float cover = std::clamp(0.6f + depth * 0.12f, 0.0f, 0.92f);
                colour = MixRgb(colour, look.water, cover);
            }
            if (depth > -0.25f && depth < 0.2f) {
                colour = MixRgb(colour, {0.85f, 0.88f, 0.86f}, 0.35f); // the shore line
            }
            image.Set(x, y, colour);
        }
    }
}

// Where a world point lands on the picture.
Vec2 PicturePoint(const MapData& map, const Vec3& p)
{
    const float half = map.mapSize * 0.5f;
    return {(p.x + half) / map.mapSize * kPreviewSize, (half - p.z) / map.mapSize * kPreviewSize};
}

void Disc(Image& image, const Vec2& centre, float radius, const Rgb& colour, float opacity)
{
    const int reach = static_cast<int>(std::ceil(radius)) + 1;
    for (int y = static_cast<int>(centre.y) - reach; y <= static_cast<int>(centre.y) + reach; ++y) {
        for (int x = static_cast<int>(centre.x) - reach; x <= static_cast<int>(centre.x) + reach; ++x) {
            const float d = std::hypot(x + 0.5f - centre.x, y + 0.5f - centre.y);
            image.Blend(x, y, colour, opacity * Clamp01(radius + 0.5f - d));
        }
    }
}

void Ring(Image& image, const Vec2& centre, float radius, float width, const Rgb& colour, float opacity)
{
    const int reach = static_cast<int>(std::ceil(radius + width)) + 1;
    for (int y = static_cast<int>(centre.y) - reach; y <= static_cast<int>(centre.y) + reach; ++y) {
        for (int x = static_cast<int>(centre.x) - reach; x <= static_cast<int>(centre.x) + reach; ++x) {
            const float d = std::fabs(std::hypot(x + 0.5f - centre.x, y + 0.5f - centre.y) - radius);
            image.Blend(x, y, colour, opacity * Clamp01(width * 0.5f + 0.5f - d));
        }
    }
}

void PaintMarks(Image& image, const MapData& map)
{
    // Shadows fall to the south-east, away from the light.
    for (const Vec3& tree : map.trees) {
        const Vec2 at = PicturePoint(map, tree);
        Disc(image, {at.x + 1.2f, at.y + 1.2f}, 2.2f, {0.0f, 0.0f, 0.0f}, 0.35f);
        Disc(image, at, 2.0f, {0.10f, 0.22f, 0.08f}, 1.0f);
        Disc(image, {at.x - 0.6f, at.y - 0.6f}, 0.9f, {0.22f, 0.40f, 0.16f}, 0.8f);
    }
    for (const Vec3& rock : map.rocks) {
        const Vec2 at = PicturePoint(map, rock);
        Disc(image, {at.x + 1.0f, at.y + 1.0f}, 1.7f, {0.0f, 0.0f, 0.0f}, 0.3f);
        Disc(image, at, 1.5f, {0.52f, 0.50f, 0.47f}, 1.0f);
    }
    for (const Vec3& start : map.starts) {
        const Vec2 at = PicturePoint(map, start);
        Ring(image, at, 6.0f, 3.2f, {0.02f, 0.03f, 0.06f}, 0.5f);
        Ring(image, at, 6.0f, 1.4f, {0.80f, 0.84f, 0.92f}, 0.9f);
    }
    for (const Vec3& flag : map.flags) {
        const Vec2 at = PicturePoint(map, flag);
        Disc(image, at, 4.6f, {0.02f, 0.03f, 0.06f}, 0.7f);
        Disc(image, at, 3.4f, {0.96f, 0.80f, 0.40f}, 1.0f);
    }
}

void PaintEdge(Image& image)
{
    for (int i = 0; i < kPreviewSize; ++i) {
        for (const auto& [x, y] :
             {std::pair{i, 0}, std::pair{i, kPreviewSize - 1}, std::pair{0, i}, std::pair{kPreviewSize - 1, i}}) {
            image.Blend(x, y, {0.02f, 0.03f, 0.06f}, 0.8f);
        }
    }
}

bool GeneratePreview(const std::filesystem::path& root, const std::string& fileName)
{
    std::vector<std::uint8_t> bytes;
    MapData map;
    std::string why;
    const std::string path = "Maps/" + fileName;
    if (!platform::ReadDataFile((root / path).string(), kMaxMapBytes, bytes, &why) || !ParseMapFile(bytes, map, &why)) {
        std::fprintf(stderr, "kvdatagen: map preview of %s: %s\n", path.c_str(), why.c_str());
        return false;
    }
    platform::RgbaImage layer0;
    platform::RgbaImage layer1;
    platform::RgbaImage water;
    if (!DecodeLayer(map.groundImages[0], layer0, "first ground") ||
        !DecodeLayer(map.groundImages[1], layer1, "second ground") ||
        !DecodeLayer(map.waterImages[0], water, "water")) {
        return false;
    }
    const MapLook look{BlockTexture(layer0), BlockTexture(layer1), BlockTexture(water).Average()};
    Image image(kPreviewSize, kPreviewSize);
    PaintGround(image, map, look);
    PaintMarks(image, map);
    PaintEdge(image);
    const std::string base = fileName.substr(0, fileName.rfind('.'));
    return WriteDataFile(root, "Maps/" + base + ".bmp", image.EncodeBmp());
}

} // namespace

bool GenerateMapPreviews(const std::filesystem::path& root)
{
    for (const MapTheme& theme : MapThemes()) {
        if (!GeneratePreview(root, theme.fileName)) {
            return false;
        }
    }
    return true;
}

} // namespace datagen
