// "Maps/<name>.kvm" for the four battlefields of MapThemes, and the blob
// shadow "Maps/shadow.png".
//
// Every map is 400 units across on a 256 x 256 grid. The ground is the
// theme's relief with the places where armies start and flags stand levelled
// and lifted clear of the water; the geometry comes from the game's own map
// builder, every list position is set on the ground with the game's own
// height query, and the bytes are read back through the game's parser before
// they are written.
#include "DataGenerator.h"
#include "MapThemes.h"
#include "Noise.h"

#include "platform/Random.h"
#include "world/MapBuilder.h"
#include "world/MapFile.h"
#include "world/Terrain.h"

#include <cmath>
#include <cstdio>

namespace datagen {

namespace {

constexpr std::uint32_t kGridVertices = 256;
constexpr float kMapSize = 400.0f;
// Ground keeps within about -6..+13; the floor of the range lies far below it,
// so craters dug into craters stay above the floor that picking cuts at.
constexpr float kHeightScale = 80.0f;

// Level ground round every start and flag holds an army of forty in
// formation. It is level throughout: the heaviest unit stands still only on
// ground within a degree of level, less than the eye notices in any relief.
constexpr float kPadRadius = 26.0f;
// Over this distance past a pad's rim the ground returns to the theme's.
constexpr float kPadFade = 22.0f;
// Pads whose rims come closer than this share one level, so that neither
// tilts the other; farther apart, each keeps its own and the ground between
// them passes from one level to the other across this width.
constexpr float kPadLevelBlend = 16.0f;
// A pad's level stands at least this far above the water.
constexpr float kPadAboveWater = 2.2f;

// Scenery keeps off the level ground where armies form up.
constexpr float kSceneryFromPad = kPadRadius + 6.0f;
constexpr float kScenerySpacing = 5.0f;
constexpr float kSceneryFromBorder = 12.0f;
constexpr float kSceneryAboveWater = 0.5f;
constexpr float kSceneryMinNormalY = 0.85f;
constexpr int kSceneryTriesPerItem = 400;

struct Pad {
    Vec2 centre;
    float level;
};

// A pad settles at the mean height of the ground it covers, so it sits in
// the land rather than on a step.
float OwnLevel(const MapTheme& theme, const Vec2& centre)
{
    float sum = 0.0f;
    int samples = 0;
    for (float d = 0.0f; d <= kPadRadius; d += kPadRadius / 4.0f) {
        for (int step = 0; step < 16; ++step) {
            const float a = step * kPi / 8.0f;
            sum += theme.height(centre.x + d * std::cos(a), centre.y + d * std::sin(a));
            ++samples;
        }
    }
    return std::max(sum / samples, theme.waterLevel + kPadAboveWater);
}

bool Neighbours(const Pad& a, const Pad& b)
{
    return std::hypot(a.centre.x - b.centre.x, a.centre.y - b.centre.y) - 2.0f * kPadRadius < kPadLevelBlend;
}

// Pads that are neighbours, directly or through others, take the mean of
// their own levels.
void ShareLevels(std::vector<Pad>& pads)
{
    std::vector<int> group(pads.size());
    for (std::size_t i = 0; i < pads.size(); ++i) {
        group[i] = static_cast<int>(i);
    }
    // Joining by the lowest member until nothing changes keeps the grouping
    // independent of the order pairs are met in.
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i < pads.size(); ++i) {
            for (std::size_t j = 0; j < pads.size(); ++j) {
                if (group[j] < group[i] && Neighbours(pads[i], pads[j])) {
                    group[i] = group[j];
                    changed = true;
                }
            }
        }
    }
    std::vector<Pad> own = pads;
    for (std::size_t i = 0; i < pads.size(); ++i) {
        float sum = 0.0f;
        int members = 0;
        for (std::size_t j = 0; j < pads.size(); ++j) {
            if (group[j] == group[i]) {
                sum += own[j].level;
                ++members;
            }
        }
        pads[i].level = sum / members;
    }
}

std::vector<Pad> PlanPads(const MapTheme& theme)
{
    std::vector<Pad> pads;
    for (const Vec2& s : theme.starts) {
        pads.push_back({s, OwnLevel(theme, s)});
    }
    for (const Vec2& f : theme.flags) {
        pads.push_back({f, OwnLevel(theme, f)});
    }
    ShareLevels(pads);
    return pads;
}

// Inside a pad the ground is its level exactly. Outside, it returns to the
// theme's relief with the distance past the nearest rim, towards a level
// mixed from the pads whose rims are about as near, so that the ground
// between two pads of different levels has no seam.
float LevelledHeight(const MapTheme& theme, const std::vector<Pad>& pads, float x, float z)
{
    const auto pastRim = [x, z](const Pad& pad) { return std::hypot(x - pad.centre.x, z - pad.centre.y) - kPadRadius; };
    float nearest = 1e9f;
    for (const Pad& pad : pads) {
        nearest = std::min(nearest, pastRim(pad));
    }
    const float h = theme.height(x, z);
    if (nearest >= kPadFade) {
        return h;
    }
    // The nearest pad counts fully, so the weights add up to at least 1.
    float levels = 0.0f;
    float weights = 0.0f;
    for (const Pad& pad : pads) {
        const float w = SmoothStep(kPadLevelBlend, 0.0f, pastRim(pad) - nearest);
        levels += w * pad.level;
        weights += w;
    }
    return Lerp(h, levels / weights, SmoothStep(kPadFade, 0.0f, nearest));
}

MapData BuildGround(const MapTheme& theme)
{
    HeightGrid grid;
    grid.columns = kGridVertices;
    grid.rows = kGridVertices;
    grid.mapSize = kMapSize;
    grid.heightScale = kHeightScale;
    grid.waterLevel = theme.waterLevel;
    grid.groundRepeats = theme.groundRepeats;
    const std::vector<Pad> pads = PlanPads(theme);
    grid.heights.resize(static_cast<std::size_t>(kGridVertices) * kGridVertices);
    for (std::uint32_t r = 0; r < kGridVertices; ++r) {
        for (std::uint32_t c = 0; c < kGridVertices; ++c) {
            const Vec3 p = GridPosition(kGridVertices, kGridVertices, kMapSize, c, r, 0.0f);
            grid.heights[r * kGridVertices + c] = LevelledHeight(theme, pads, p.x, p.z);
        }
    }
    MapData map = BuildMapGeometry(grid);
    // The blend follows the finished ground's slope, so it is set afterwards.
    for (MapGroundRecord& g : map.ground) {
        const float share = Clamp01(theme.blend({g.position, g.normal, theme.waterLevel}));
        const auto alpha = static_cast<std::uint32_t>(share * 255.0f + 0.5f);
        g.colour = (alpha << 24) | 0x00FFFFFFu;
    }
    return map;
}

float Uniform()
{
    return static_cast<float>(platform::Rand()) / platform::kRandMax;
}

float NearestDistance(float x, float z, const std::vector<Vec2>& points)
{
    float best = 1e9f;
    for (const Vec2& p : points) {
        best = std::min(best, std::hypot(x - p.x, z - p.y));
    }
    return best;
}

// Trees or rocks where the theme's density favours them, on dry, gentle
// ground away from the armies, the flags and each other.
std::vector<Vec3> Scatter(const MapTheme& theme, const Terrain& ground, float (*density)(const GroundPoint&), int count,
                          std::vector<Vec2>& taken)
{
    std::vector<Vec3> placed;
    const float reach = kMapSize / 2.0f - kSceneryFromBorder;
    for (int attempt = 0; attempt < count * kSceneryTriesPerItem && static_cast<int>(placed.size()) < count;
         ++attempt) {
        const float x = (2.0f * Uniform() - 1.0f) * reach;
        const float z = (2.0f * Uniform() - 1.0f) * reach;
        const float chance = Uniform();
        if (NearestDistance(x, z, theme.starts) < kSceneryFromPad ||
            NearestDistance(x, z, theme.flags) < kSceneryFromPad || NearestDistance(x, z, taken) < kScenerySpacing) {
            continue;
        }
        const Vec3 point{x, ground.HeightAt(x, z), z};
        Vec3 normal{0.0f, 1.0f, 0.0f};
        ground.NormalAt(x, z, normal);
        if (point.y < theme.waterLevel + kSceneryAboveWater || normal.y < kSceneryMinNormalY ||
            chance >= density({point, normal, theme.waterLevel})) {
            continue;
        }
        placed.push_back(point);
        taken.push_back({x, z});
    }
    return placed;
}

std::vector<Vec3> OnGround(const Terrain& ground, const std::vector<Vec2>& points)
{
    std::vector<Vec3> out;
    for (const Vec2& p : points) {
        out.push_back({p.x, ground.HeightAt(p.x, p.y), p.y});
    }
    return out;
}

void PaintImages(const MapTheme& theme, MapData& map)
{
    map.groundImages[0] = PaintGround(theme.layer0, theme.seed).EncodeBmp();
    map.groundImages[1] = PaintGround(theme.layer1, theme.seed + 1).EncodeBmp();
    map.groundImages[2] = PaintEdge(theme.edge, theme.seed + 2).EncodeBmp();
    for (int frame = 0; frame < kWaterFrameCount; ++frame) {
        map.waterImages[frame] = PaintWaterFrame(theme.water, frame, theme.seed + 3).EncodeBmp();
    }
}

bool GenerateMap(const std::filesystem::path& root, const MapTheme& theme)
{
    MapData map = BuildGround(theme);
    Terrain ground;
    std::string why;
    if (!ground.LoadFromData(map, &why)) {
        std::fprintf(stderr, "kvdatagen: %s: %s\n", theme.fileName, why.c_str());
        return false;
    }
    map.starts = OnGround(ground, theme.starts);
    map.flags = OnGround(ground, theme.flags);
    platform::SeedRand(theme.seed);
    std::vector<Vec2> taken;
    map.trees = Scatter(theme, ground, theme.treeDensity, theme.treeCount, taken);
    map.rocks = Scatter(theme, ground, theme.rockDensity, theme.rockCount, taken);
    PaintImages(theme, map);

    // The game refuses a map past its bounds (world/MapFile.h: counts, image
    // lengths and sizes); a theme that went past one is stopped here, by name.
    if (!ValidateMapData(map, &why)) {
        std::fprintf(stderr, "kvdatagen: %s is outside what the game loads: %s\n", theme.fileName, why.c_str());
        return false;
    }
    const std::vector<std::uint8_t> bytes = WriteMapFile(map);
    MapData readBack;
    if (bytes.empty() || !ParseMapFile(bytes, readBack, &why)) {
        std::fprintf(stderr, "kvdatagen: %s does not read back: %s\n", theme.fileName, why.c_str());
        return false;
    }
    return WriteDataFile(root, std::string("Maps/") + theme.fileName, bytes);
}

} // namespace

bool GenerateMaps(const std::filesystem::path& root)
{
    for (const MapTheme& theme : MapThemes()) {
        if (!GenerateMap(root, theme)) {
            return false;
        }
    }
    return true;
}

// Black, most opaque in the middle and fading to nothing at the rim.
bool GenerateBlobShadow(const std::filesystem::path& root)
{
    constexpr int kSize = 64;
    std::vector<std::uint8_t> rgba(kSize * kSize * 4, 0);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float dx = (x + 0.5f) / (kSize / 2.0f) - 1.0f;
            const float dy = (y + 0.5f) / (kSize / 2.0f) - 1.0f;
            const float alpha = 0.6f * SmoothStep(1.0f, 0.0f, std::hypot(dx, dy));
            rgba[(y * kSize + x) * 4 + 3] = static_cast<std::uint8_t>(alpha * 255.0f + 0.5f);
        }
    }
    const std::vector<std::uint8_t> png = EncodePngRgba(kSize, kSize, rgba);
    return !png.empty() && WriteDataFile(root, "Maps/shadow.png", png);
}

} // namespace datagen
