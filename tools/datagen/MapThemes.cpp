// The four battlefields. Every map puts its eight army starts on a ring 125
// to 140 from the centre and its flags on a ring of about 90 between them.
// Units walk in straight lines, so features with deep water or cliffs
// (oases, lakes, mesas) keep off the routes from every start to every flag
// and across to the opposite start, and out of reach of the generator's
// levelling. Those that lie across routes (a pond in the field, the crypt,
// the ruined walls) have sides a unit climbs.
#include "MapThemes.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

Vec2 Polar(float radius, float degrees)
{
    const float a = degrees * kPi / 180.0f;
    return {radius * std::cos(a), radius * std::sin(a)};
}

std::vector<Vec2> StartRing(float radius, float firstDegrees)
{
    std::vector<Vec2> starts;
    for (int slot = 0; slot < 8; ++slot) {
        starts.push_back(Polar(radius, firstDegrees + 45.0f * slot));
    }
    return starts;
}

std::vector<Vec2> FlagRing(int outer, float radius, float firstDegrees)
{
    std::vector<Vec2> flags{{0.0f, 0.0f}};
    for (int i = 0; i < outer; ++i) {
        flags.push_back(Polar(radius, firstDegrees + 360.0f * i / outer));
    }
    return flags;
}

float Distance(float x, float z, const Vec2& p)
{
    return std::hypot(x - p.x, z - p.y);
}

// Noise in -1..1 with features about `scale` units across.
float Relief(float x, float z, float scale, int octaves, unsigned seed)
{
    return 2.0f * (Fbm(x / scale, z / scale, octaves, seed) - 0.5f);
}

// A round hill with a level top and a smooth foot.
float Hill(float x, float z, float height, float radius)
{
    const float d = std::min(std::hypot(x, z) / radius, 1.0f);
    return height * 0.5f * (1.0f + std::cos(kPi * d));
}

// Sinks the ground towards floor inside radius, fully within its inner third.
float Basin(float h, float x, float z, const Vec2& centre, float radius, float floor)
{
    return Lerp(h, floor, SmoothStep(radius, 0.35f * radius, Distance(x, z, centre)));
}

// A basin out in the field, where straight routes cross it: the floor is
// reached only at the middle, so the banks stay gentle enough for a unit
// that walked in to walk out again.
float Hollow(float h, float x, float z, const Vec2& centre, float radius, float floor)
{
    return Lerp(h, floor, SmoothStep(radius, 0.0f, Distance(x, z, centre)));
}

// Distance from p to the segment from a to b.
float SegmentDistance(float x, float z, const Vec2& a, const Vec2& b)
{
    const float dx = b.x - a.x;
    const float dz = b.y - a.y;
    const float t = std::clamp(((x - a.x) * dx + (z - a.y) * dz) / (dx * dx + dz * dz), 0.0f, 1.0f);
    return std::hypot(x - (a.x + t * dx), z - (a.y + t * dz));
}

template <std::size_t N> float Nearest(float x, float z, const Vec2 (&points)[N])
{
    float best = 1e9f;
    for (const Vec2& p : points) {
        best = std::min(best, Distance(x, z, p));
    }
    return best;
}

// ---------------------------------------------------------------------------
// Desert: long dunes driven by one wind, red sandstone mesas, and three oases
// out towards the corners.
namespace desert {

constexpr unsigned kSeed = 11;
constexpr float kWaterLevel = -1.0f;
const Vec2 kMesas[] = {Polar(124, 67.5f), Polar(124, 157.5f), Polar(124, 247.5f), Polar(124, 337.5f)};
constexpr float kMesaRadius[] = {11, 11, 12, 12};
const Vec2 kOases[] = {Polar(172, 22.5f), Polar(170, 112.5f), Polar(174, 292.5f)};

// Flat-topped buttes, drawn out along the wind and ragged at the rim.
float Mesa(float x, float z)
{
    const float wx = x + 10.0f * Relief(x, z, 30, 2, kSeed + 8);
    const float wz = z + 10.0f * Relief(x, z, 30, 2, kSeed + 9);
    float top = 0.0f;
    for (std::size_t i = 0; i < std::size(kMesas); ++i) {
        const float dx = wx - kMesas[i].x;
        const float dz = wz - kMesas[i].y;
        const float along = (dx * 0.866f + dz * 0.5f) / 1.5f;
        const float across = -dx * 0.5f + dz * 0.866f;
        const float d = std::hypot(along, across);
        const float r = kMesaRadius[i];
        // A lower ledge round the foot, then the cliff to the top.
        top = std::max(top, 2.0f * SmoothStep(r + 6.0f, r + 3.0f, d) + 4.5f * SmoothStep(r + 1.5f, r - 1.0f, d));
    }
    return top;
}

float Height(float x, float z)
{
    const float along = x * 0.866f + z * 0.5f; // the wind blows from 30 degrees
    const float dune = std::pow(0.5f + 0.5f * std::sin(along / 10.0f + 2.5f * Relief(x, z, 70, 2, kSeed)), 1.8f);
    float h = 2.5f * Relief(x, z, 120, 3, kSeed + 1) + 2.4f * dune + Hill(x, z, 6.0f, 48.0f) + Mesa(x, z);
    for (const Vec2& oasis : kOases) {
        h = Basin(h, x, z, oasis, 24.0f, -5.0f);
    }
    return h;
}

// Layer 1 is sandstone: on slopes, mesa tops and wind-scoured patches.
float Blend(const GroundPoint& g)
{
    const float x = g.position.x;
    const float z = g.position.z;
    const float slope = SmoothStep(0.95f, 0.8f, g.normal.y);
    const float mesaTop = SmoothStep(1.0f, 2.0f, Mesa(x, z));
    const float scoured = 0.8f * SmoothStep(0.63f, 0.75f, Fbm(x / 35.0f, z / 35.0f, 3, kSeed + 4));
    return std::max({slope, mesaTop, scoured});
}

float Trees(const GroundPoint& g)
{
    return SmoothStep(36.0f, 24.0f, Nearest(g.position.x, g.position.z, kOases));
}

float Rocks(const GroundPoint& g)
{
    return 0.12f + 0.88f * SmoothStep(34.0f, 18.0f, Nearest(g.position.x, g.position.z, kMesas));
}

} // namespace desert

// ---------------------------------------------------------------------------
// Grassland: rolling meadows, ponds, groves of trees, and worn earth tracks
// from every start towards the hill.
namespace grassland {

constexpr unsigned kSeed = 23;
constexpr float kWaterLevel = -1.5f;
constexpr float kStartRadius = 130.0f;
constexpr float kFirstStart = 10.0f;
const Vec2 kPonds[] = {Polar(172, 77.5f), Polar(168, 212.5f), Polar(175, 302.5f)};
constexpr float kPondRadius[] = {22, 20, 24};
// The pond inside the ring of starts lies across routes between them.
const Vec2 kFieldPond = Polar(58, 167.5f);
constexpr float kFieldPondRadius = 18.0f;

float Height(float x, float z)
{
    float h = 4.5f * Relief(x, z, 130, 4, kSeed) + 1.2f * Relief(x, z, 35, 2, kSeed + 1) + Hill(x, z, 7.0f, 52.0f);
    for (std::size_t i = 0; i < std::size(kPonds); ++i) {
        h = Basin(h, x, z, kPonds[i], kPondRadius[i], -5.5f);
    }
    return Hollow(h, x, z, kFieldPond, kFieldPondRadius, -5.5f);
}

// Tracks wander from every start to the foot of the hill.
float TrackDistance(float x, float z)
{
    const float wx = x + 9.0f * Relief(x, z, 45, 2, kSeed + 2);
    const float wz = z + 9.0f * Relief(x, z, 45, 2, kSeed + 6);
    float best = 1e9f;
    for (int slot = 0; slot < 8; ++slot) {
        best = std::min(best, SegmentDistance(wx, wz, Polar(kStartRadius, kFirstStart + 45.0f * slot), {0, 0}));
    }
    return best + 30.0f * SmoothStep(30.0f, 12.0f, std::hypot(x, z));
}

// Layer 1 is earth: the tracks, muddy shores, banks and bare patches.
float Blend(const GroundPoint& g)
{
    const float x = g.position.x;
    const float z = g.position.z;
    const float track = SmoothStep(3.5f, 2.0f, TrackDistance(x, z));
    const float shore = SmoothStep(g.waterLevel + 0.9f, g.waterLevel + 0.2f, g.position.y);
    const float bank = SmoothStep(0.93f, 0.84f, g.normal.y);
    const float bare = 0.6f * SmoothStep(0.7f, 0.78f, Fbm(x / 28.0f, z / 28.0f, 3, kSeed + 3));
    return std::max({track, shore, bank, bare});
}

float Trees(const GroundPoint& g)
{
    const float x = g.position.x;
    const float z = g.position.z;
    return SmoothStep(0.5f, 0.6f, Fbm(x / 55.0f, z / 55.0f, 3, kSeed + 5)) *
           SmoothStep(4.0f, 7.0f, TrackDistance(x, z));
}

float Rocks(const GroundPoint& g)
{
    return 0.2f + 0.6f * SmoothStep(0.97f, 0.9f, g.normal.y);
}

} // namespace grassland

// ---------------------------------------------------------------------------
// Tundra: sharp wind-cut ridges, frozen lakes, wind-polished ice, scattered
// boulders and a few hardy trees in the hollows.
namespace tundra {

constexpr unsigned kSeed = 37;
constexpr float kWaterLevel = -0.5f;
const Vec2 kLakes[] = {Polar(170, 0.0f), Polar(165, 135.0f), Polar(172, 270.0f)};
constexpr float kLakeRadius[] = {24, 22, 26};
// The tarn inside the ring of starts lies across their routes to the hill.
const Vec2 kTarn = Polar(60, 150.0f);
constexpr float kTarnRadius = 22.0f;

float Height(float x, float z)
{
    const float ridge = Crease(Fbm(x / 95.0f, z / 95.0f, 3, kSeed), 2.5f);
    float h = 1.2f + 7.0f * ridge * ridge + 1.4f * Relief(x, z, 28, 3, kSeed + 1) + Hill(x, z, 6.0f, 44.0f);
    for (std::size_t i = 0; i < std::size(kLakes); ++i) {
        h = Basin(h, x, z, kLakes[i], kLakeRadius[i], -4.5f);
    }
    return Hollow(h, x, z, kTarn, kTarnRadius, -4.5f);
}

// Layer 1 is ice: frozen shores and hollows, polished slopes, bare patches.
float Blend(const GroundPoint& g)
{
    const float x = g.position.x;
    const float z = g.position.z;
    const float frozen = SmoothStep(g.waterLevel + 1.2f, g.waterLevel + 0.3f, g.position.y);
    const float polished = 0.85f * SmoothStep(0.9f, 0.78f, g.normal.y);
    const float patch = 0.8f * SmoothStep(0.68f, 0.76f, Fbm(x / 30.0f, z / 30.0f, 3, kSeed + 4));
    return std::max({frozen, polished, patch});
}

float Trees(const GroundPoint& g)
{
    const float grove = SmoothStep(0.45f, 0.6f, Fbm(g.position.x / 40.0f, g.position.z / 40.0f, 2, kSeed + 5));
    return 0.7f * SmoothStep(2.5f, 0.0f, g.position.y) * grove;
}

float Rocks(const GroundPoint& g)
{
    return 0.1f + 0.8f * SmoothStep(0.5f, 3.0f, g.position.y);
}

} // namespace tundra

// ---------------------------------------------------------------------------
// Ex-Cathedra: the ruin of a great church, its cross-shaped floor of worn
// flagstones, broken walls and fallen pillars, a flooded crypt in the nave,
// old paved roads and cloister pools, all under moss.
namespace cathedral {

constexpr unsigned kSeed = 53;
constexpr float kWaterLevel = -1.2f;
constexpr float kStartRadius = 140.0f;
constexpr int kOuterFlags = 4;
constexpr float kFlagRadius = 95.0f;
constexpr float kFirstFlag = 45.0f;
const Vec2 kPools[] = {Polar(165, 22.5f), Polar(162, 157.5f), Polar(168, 292.5f)};
constexpr float kPoolRadius = 18.0f;

// Signed distance to an axis-aligned box centred at (cx, cz).
float BoxDistance(float x, float z, float cx, float cz, float halfX, float halfZ)
{
    const float dx = std::fabs(x - cx) - halfX;
    const float dz = std::fabs(z - cz) - halfZ;
    return std::hypot(std::max(dx, 0.0f), std::max(dz, 0.0f)) + std::min(std::max(dx, dz), 0.0f);
}

// Signed distance to the church's outline (negative inside): the nave from
// z = -110 to 56, the transept across the crossing at the centre, and the
// apse's half circle beyond the choir.
float Outline(float x, float z)
{
    const float nave = BoxDistance(x, z, 0.0f, -27.0f, 28.0f, 83.0f);
    const float transept = BoxDistance(x, z, 0.0f, 0.0f, 72.0f, 24.0f);
    const float apse = std::hypot(x, z - 56.0f) - 28.0f;
    return std::min({nave, transept, apse});
}

bool Doorway(float x, float z)
{
    return (std::fabs(x) < 7.0f && z < -100.0f) || (std::fabs(x) > 62.0f && std::fabs(z) < 7.0f);
}

// Distance to the nearest straight route an army takes: from each start to
// every flag and across to the opposite start.
float RouteDistance(float x, float z)
{
    static const std::vector<Vec2> starts = StartRing(kStartRadius, 0.0f);
    static const std::vector<Vec2> flags = FlagRing(kOuterFlags, kFlagRadius, kFirstFlag);
    float best = 1e9f;
    for (std::size_t s = 0; s < starts.size(); ++s) {
        for (const Vec2& flag : flags) {
            best = std::min(best, SegmentDistance(x, z, starts[s], flag));
        }
        best = std::min(best, SegmentDistance(x, z, starts[s], starts[(s + 4) % starts.size()]));
    }
    return best;
}

// The walls stand only in stretches. Where a route crosses one, only a low
// line of rubble is left: units walk straight and cannot climb a wall.
float Walls(float x, float z)
{
    const float profile = SmoothStep(2.6f, 1.3f, std::fabs(Outline(x, z)));
    if (profile == 0.0f || Doorway(x, z)) {
        return 0.0f;
    }
    const float standing = SmoothStep(0.3f, 0.42f, Fbm(x / 9.0f, z / 9.0f, 2, kSeed + 3));
    const float height = 4.0f * standing * (0.5f + 0.6f * Fbm(x / 5.0f, z / 5.0f, 2, kSeed + 4));
    const float rubble = Lerp(0.6f, 4.4f, SmoothStep(2.0f, 4.5f, RouteDistance(x, z)));
    return profile * std::min(height, rubble);
}

// Two rows of pillars down the nave; some have fallen, and so have all
// that stood in a route's way.
std::vector<Vec2> StandingPillars()
{
    std::vector<Vec2> standing;
    for (int i = 0; i < 5; ++i) {
        for (int side = 0; side < 2; ++side) {
            const Vec2 p{side ? 14.0f : -14.0f, -96.0f + 16.0f * i};
            if (LatticeValue(i, side, kSeed) >= 0.35f && RouteDistance(p.x, p.y) > 5.0f) {
                standing.push_back(p);
            }
        }
    }
    return standing;
}

float Pillars(float x, float z)
{
    static const std::vector<Vec2> standing = StandingPillars();
    float top = 0.0f;
    for (const Vec2& p : standing) {
        top = std::max(top, 3.0f * SmoothStep(2.2f, 1.0f, Distance(x, z, p)));
    }
    return top;
}

float Height(float x, float z)
{
    float h = 1.2f * Relief(x, z, 80, 3, kSeed) + 0.4f * Relief(x, z, 20, 2, kSeed + 1);
    // Inside, the floor was laid level.
    h = Lerp(h, 0.3f, 0.7f * SmoothStep(2.0f, -2.0f, Outline(x, z)));
    h += Hill(x, z, 2.8f, 34.0f) + Walls(x, z) + Pillars(x, z);
    // The crypt lies across the road up the nave: its sides slope as fallen
    // steps would, gently enough for a unit to climb out of the water.
    const float crypt = BoxDistance(x, z, 0.0f, -71.0f, 9.0f, 13.0f);
    h = Lerp(h, -3.0f, SmoothStep(4.0f, -4.0f, crypt));
    for (const Vec2& pool : kPools) {
        h = Basin(h, x, z, pool, kPoolRadius, -4.5f);
    }
    return h;
}

float RoadDistance(float x, float z)
{
    float best = 1e9f;
    for (int slot = 0; slot < 8; slot += 2) {
        best = std::min(best, SegmentDistance(x, z, Polar(kStartRadius, 45.0f * slot), {0, 0}));
    }
    return best;
}

// Layer 1 is flagstone: the church floor (broken by moss), the walls, the
// paved roads and the pools' rims.
float Blend(const GroundPoint& g)
{
    const float x = g.position.x;
    const float z = g.position.z;
    const float worn = SmoothStep(0.35f, 0.5f, Fbm(x / 14.0f, z / 14.0f, 3, kSeed + 6));
    const float floor = SmoothStep(1.5f, -1.5f, Outline(x, z)) * (0.45f + 0.55f * worn);
    const float wall = SmoothStep(4.0f, 2.0f, std::fabs(Outline(x, z)));
    const float road = SmoothStep(3.5f, 2.0f, RoadDistance(x, z)) * (0.3f + 0.7f * worn);
    float rim = 0.0f;
    for (const Vec2& pool : kPools) {
        rim = std::max(rim, SmoothStep(3.5f, 1.5f, std::fabs(Distance(x, z, pool) - 0.85f * kPoolRadius)));
    }
    // Paving of old yards and lanes shows through the moss here and there.
    const float yard = 0.75f * SmoothStep(0.66f, 0.72f, Fbm(x / 22.0f, z / 22.0f, 3, kSeed + 8));
    return std::max({floor, wall, road, rim, yard});
}

float Trees(const GroundPoint& g)
{
    const float x = g.position.x;
    const float z = g.position.z;
    const float grove = SmoothStep(0.5f, 0.6f, Fbm(x / 45.0f, z / 45.0f, 3, kSeed + 7));
    return grove * SmoothStep(6.0f, 12.0f, Outline(x, z)) * SmoothStep(4.0f, 7.0f, RoadDistance(x, z));
}

// Rubble lies along the walls.
float Rocks(const GroundPoint& g)
{
    return 0.05f + 0.7f * SmoothStep(9.0f, 3.0f, std::fabs(Outline(g.position.x, g.position.z)));
}

} // namespace cathedral

std::vector<MapTheme> BuildThemes()
{
    std::vector<MapTheme> themes;
    themes.push_back({.fileName = "Desert.kvm",
                      .seed = desert::kSeed,
                      .waterLevel = desert::kWaterLevel,
                      .starts = StartRing(135, 0),
                      .flags = FlagRing(4, 88, 22.5f),
                      .treeCount = 24,
                      .rockCount = 55,
                      .groundRepeats = 16,
                      .height = desert::Height,
                      .blend = desert::Blend,
                      .treeDensity = desert::Trees,
                      .rockDensity = desert::Rocks,
                      .layer0 = GroundMaterial::Sand,
                      .layer1 = GroundMaterial::Sandstone,
                      .edge = {{0.45f, 0.27f, 0.16f}, {0.66f, 0.45f, 0.28f}, {0.84f, 0.68f, 0.47f}},
                      .water = {{0.05f, 0.30f, 0.33f}, {0.18f, 0.55f, 0.52f}, 0.6f, 0.0f}});
    themes.push_back({.fileName = "Grassland.kvm",
                      .seed = grassland::kSeed,
                      .waterLevel = grassland::kWaterLevel,
                      .starts = StartRing(grassland::kStartRadius, grassland::kFirstStart),
                      .flags = FlagRing(5, 92, 46),
                      .treeCount = 75,
                      .rockCount = 22,
                      .groundRepeats = 16,
                      .height = grassland::Height,
                      .blend = grassland::Blend,
                      .treeDensity = grassland::Trees,
                      .rockDensity = grassland::Rocks,
                      .layer0 = GroundMaterial::Grass,
                      .layer1 = GroundMaterial::Earth,
                      .edge = {{0.22f, 0.15f, 0.09f}, {0.38f, 0.27f, 0.17f}, {0.55f, 0.45f, 0.32f}},
                      .water = {{0.06f, 0.18f, 0.32f}, {0.20f, 0.42f, 0.55f}, 0.55f, 0.0f}});
    themes.push_back({.fileName = "Tundra.kvm",
                      .seed = tundra::kSeed,
                      .waterLevel = tundra::kWaterLevel,
                      .starts = StartRing(128, 22.5f),
                      .flags = FlagRing(3, 90, 90),
                      .treeCount = 32,
                      .rockCount = 65,
                      .groundRepeats = 16,
                      .height = tundra::Height,
                      .blend = tundra::Blend,
                      .treeDensity = tundra::Trees,
                      .rockDensity = tundra::Rocks,
                      .layer0 = GroundMaterial::Snow,
                      .layer1 = GroundMaterial::Ice,
                      .edge = {{0.26f, 0.28f, 0.31f}, {0.44f, 0.46f, 0.50f}, {0.70f, 0.74f, 0.80f}},
                      .water = {{0.20f, 0.34f, 0.45f}, {0.55f, 0.70f, 0.80f}, 0.4f, 0.65f}});
    themes.push_back({.fileName = "Ex-Cathedra.kvm",
                      .seed = cathedral::kSeed,
                      .waterLevel = cathedral::kWaterLevel,
                      .starts = StartRing(cathedral::kStartRadius, 0),
                      .flags = FlagRing(cathedral::kOuterFlags, cathedral::kFlagRadius, cathedral::kFirstFlag),
                      .treeCount = 40,
                      .rockCount = 55,
                      .groundRepeats = 24,
                      .height = cathedral::Height,
                      .blend = cathedral::Blend,
                      .treeDensity = cathedral::Trees,
                      .rockDensity = cathedral::Rocks,
                      .layer0 = GroundMaterial::Moss,
                      .layer1 = GroundMaterial::Flagstone,
                      .edge = {{0.20f, 0.19f, 0.17f}, {0.38f, 0.35f, 0.30f}, {0.58f, 0.55f, 0.48f}},
                      .water = {{0.05f, 0.14f, 0.10f}, {0.16f, 0.30f, 0.22f}, 0.35f, 0.0f}});
    return themes;
}

} // namespace

const std::vector<MapTheme>& MapThemes()
{
    static const std::vector<MapTheme> themes = BuildThemes();
    return themes;
}

} // namespace datagen
