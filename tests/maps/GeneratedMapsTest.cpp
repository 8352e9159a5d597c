// The four maps the data generator writes, checked against what the rest of
// the game assumes of them: a sound grid and lists, level ground where armies
// form up, and straight routes that arrive. Units walk straight (there is no
// path finding), so the last two are tried with the game's own physics and
// the shipped unit data: every type stands on every formation spot, and walks
// from every start to every flag and to the opposite start.
#include "physics/Physical.h"
#include "physics/PhysicalDataFile.h"
#include "physics/Physics.h"
#include "world/MapData.h"
#include "world/Terrain.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kMaps[] = {"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"};
const char* const kUnitTypes[] = {"Smashtor", "Triangoloid", "Trajectagon", "Artillerator", "Detagon"};
constexpr int kFrameRates[] = {30, 60, 144};
// Friction holds a standing unit least at the slowest frames.
constexpr int kSlowestFrameRate = 30;

// An army forms up on spots this far apart round its start or flag; they
// reach 15 * sqrt(2) from the middle, and the ground under a unit is blended
// from the vertices about a cell and a half around it.
constexpr float kSpotSpacing = 15.0f;
constexpr float kFormationRadius = 22.0f;
// Standing there with nowhere to go, a unit moves less than this in that time.
constexpr float kStandSeconds = 20.0f;
constexpr float kMostDrift = 0.1f;
// The slowest type walks about 5 units a second on level ground; a route may
// take three times as long as that pace would.
constexpr float kSlowestPace = 5.0f;
constexpr float kRouteTimeFactor = 3.0f;

float Distance(const Vec3& a, const Vec3& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

// The one ground these tests give the physics.
Terrain& WalkedGround()
{
    static Terrain ground;
    Physics::Instance()->SetTerrain(&ground);
    return ground;
}

const Terrain& LoadWalkedMap(const char* name)
{
    testing::DataDirectoryScope data;
    REQUIRE(WalkedGround().Load(name));
    return WalkedGround();
}

// The physics starts and ends empty.
struct PhysicsScope {
    PhysicsScope() { Physics::Instance()->Clear(); }
    ~PhysicsScope() { Physics::Instance()->Clear(); }
};

std::string UnitDataPath(const char* type)
{
    return (testing::DataDirectory() / PhysicalDataFile::PathForType(type)).string();
}

// A unit standing on the ground at (x, z). It collides with nothing, so units
// of every type can share a spot and every walk can start at once, each as if
// it were alone on the map.
std::unique_ptr<Physical> PlaceUnit(const char* type, float x, float z)
{
    auto unit = std::make_unique<Physical>(x, WalkedGround().HeightAt(x, z), z, UnitDataPath(type).c_str());
    unit->SetCollides(false);
    Physics::Instance()->AddObject(unit.get());
    return unit;
}

// The steepest even ground an arrived unit stays put on, by the physics step
// (Physics_Step.cpp). Along the ground, gravity pulls with m g sin(tilt); an
// arrived unit's brake answers with at most half the ground normal's length
// (kBrakeShare), and the normal is of length 1 on even ground. Friction is not
// counted on: it takes a fixed speed off each step, so it holds less the
// slower the frames, and a step that rounding ends a hair above the ground
// has no ground push and so neither friction nor brake. The brake alone holds
// the unit while m g sin(tilt) <= 0.5.
float SteepestHeldTilt(const PhysicalData& unit)
{
    constexpr float kBrakeShare = 0.5f;
    return std::asin(std::min(1.0f, kBrakeShare / (unit.mass * unit.gravity)));
}

// The limit of the type that holds least, the heaviest.
float SteepestFormationTilt(const char** weakest = nullptr)
{
    float steepest = kPi / 2.0f;
    for (const char* type : kUnitTypes) {
        PhysicalData data;
        REQUIRE(PhysicalDataFile::Load(UnitDataPath(type), data));
        const float tilt = SteepestHeldTilt(data);
        if (tilt < steepest) {
            steepest = tilt;
            if (weakest != nullptr) {
                *weakest = type;
            }
        }
    }
    return steepest;
}

// The ground round p, as far as an army forming up there reaches, is dry and
// level enough for every unit type to stand still on. Where the ground bends
// the blended normal is shorter than 1 and the brake weaker with it, so the
// pull is measured against the brake's reach: sin(tilt) / |n|.
void CheckFormationGround(const Terrain& terrain, const Vec3& p, float steepestTilt)
{
    CHECK(std::fabs(p.y - terrain.HeightAt(p.x, p.z)) < 1e-4f);
    float strongestPull = 0.0f;
    float lowest = p.y;
    for (float dx = -kFormationRadius; dx <= kFormationRadius; dx += 1.0f) {
        for (float dz = -kFormationRadius; dz <= kFormationRadius; dz += 1.0f) {
            if (std::hypot(dx, dz) > kFormationRadius) {
                continue;
            }
            Vec3 n;
            terrain.NormalAt(p.x + dx, p.z + dz, n);
            strongestPull = std::max(strongestPull, std::hypot(n.x, n.z) / Vec3LengthSq(n));
            lowest = std::min(lowest, terrain.HeightAt(p.x + dx, p.z + dz));
        }
    }
    CHECK(lowest > terrain.GetWaterLevel() + 0.5f);
    CHECK(strongestPull <= std::sin(steepestTilt));
}

// The ground stays inside the height range with room for craters dug into
// craters, and water lies in low ground.
void CheckHeights(const Terrain& terrain)
{
    const float floor = -terrain.GetHeightScale() / 2.0f;
    int underWater = 0;
    for (const TerrainVertex& v : terrain.GetGroundVertices()) {
        REQUIRE(v.position.y > floor + 25.0f);
        REQUIRE(v.position.y < -floor - 10.0f);
        underWater += v.position.y < terrain.GetWaterLevel() ? 1 : 0;
    }
    CHECK(underWater > 100);
}

void CheckLists(const Terrain& terrain, float steepestTilt)
{
    REQUIRE(terrain.GetStartCount() == 8);
    for (std::uint32_t i = 0; i < 8; ++i) {
        const Vec3 s = terrain.GetStartPosition(i);
        INFO("start " << i);
        CHECK(std::hypot(s.x, s.z) >= 60.0f);
        CHECK(std::hypot(s.x, s.z) <= 150.0f);
        CHECK(std::max(std::fabs(s.x), std::fabs(s.z)) <= terrain.GetMapSize() / 2.0f - 30.0f);
        CheckFormationGround(terrain, s, steepestTilt);
    }
    const std::uint32_t flags = terrain.GetFlagCount();
    REQUIRE(flags >= 4);
    REQUIRE(flags <= 6);
    CHECK(Distance(terrain.GetFlagPosition(0), {}) < 0.5f);
    for (std::uint32_t i = 0; i < flags; ++i) {
        INFO("flag " << i);
        CheckFormationGround(terrain, terrain.GetFlagPosition(i), steepestTilt);
        for (std::uint32_t j = i + 1; j < flags; ++j) {
            CHECK(Distance(terrain.GetFlagPosition(i), terrain.GetFlagPosition(j)) >= 50.0f);
        }
    }
    CHECK(terrain.HeightAt(-5.0f, -5.0f) > terrain.GetWaterLevel() + 0.5f); // Steal the Bacon's flag

    // Scenery stands on dry ground and off the formation spots.
    const auto checkScenery = [&](std::uint32_t count, Vec3 (Terrain::*position)(std::uint32_t) const) {
        CHECK(count >= 10);
        for (std::uint32_t i = 0; i < count; ++i) {
            const Vec3 p = (terrain.*position)(i);
            INFO("scenery at " << p.x << ", " << p.z);
            CHECK(std::fabs(p.y - terrain.HeightAt(p.x, p.z)) < 1e-4f);
            CHECK(p.y > terrain.GetWaterLevel());
            for (std::uint32_t s = 0; s < 8; ++s) {
                CHECK(Distance(p, terrain.GetStartPosition(s)) >= kFormationRadius + 3.0f);
            }
            for (std::uint32_t f = 0; f < flags; ++f) {
                CHECK(Distance(p, terrain.GetFlagPosition(f)) >= kFormationRadius + 3.0f);
            }
        }
    };
    checkScenery(terrain.GetTreeCount(), &Terrain::GetTreePosition);
    checkScenery(terrain.GetRockCount(), &Terrain::GetRockPosition);
}

// A square, power-of-two, uncompressed 24-bit BMP whose length field agrees
// with its bytes: what the texture loader takes.
void CheckImage(const std::vector<std::uint8_t>& b)
{
    REQUIRE(b.size() > 54);
    CHECK((b[0] == 'B' && b[1] == 'M' && b[28] == 24 && b[30] == 0));
    const unsigned width = b[18] | b[19] << 8;
    CHECK((width >= 64 && (width & (width - 1)) == 0 && b[22] == b[18] && b[23] == b[19]));
    CHECK((b[2] | b[3] << 8 | b[4] << 16 | std::size_t{b[5]} << 24) == b.size());
}

std::vector<Vec3> FormationPlaces(const Terrain& terrain)
{
    std::vector<Vec3> places;
    for (std::uint32_t i = 0; i < terrain.GetStartCount(); ++i) {
        places.push_back(terrain.GetStartPosition(i));
    }
    for (std::uint32_t i = 0; i < terrain.GetFlagCount(); ++i) {
        places.push_back(terrain.GetFlagPosition(i));
    }
    return places;
}

std::string Where(const Vec3& p)
{
    char text[48] = {};
    std::snprintf(text, sizeof text, "(%.1f, %.1f)", p.x, p.z);
    return text;
}

struct Stander {
    std::unique_ptr<Physical> unit;
    const char* type = nullptr;
    Vec3 spot;
};

// Every type on every spot round every start and flag, sent to where it
// stands: all at once, as no two can touch.
std::vector<Stander> PlaceStanders(const Terrain& ground)
{
    std::vector<Stander> standers;
    for (const Vec3& place : FormationPlaces(ground)) {
        for (int i = 0; i < 9; ++i) {
            const float x = place.x + kSpotSpacing * static_cast<float>(i % 3 - 1);
            const float z = place.z + kSpotSpacing * static_cast<float>(i / 3 - 1);
            for (const char* type : kUnitTypes) {
                std::unique_ptr<Physical> unit = PlaceUnit(type, x, z);
                const Vec3 spot = unit->GetPosition();
                unit->SetDestination(spot.x, spot.y, spot.z);
                standers.push_back({std::move(unit), type, spot});
            }
        }
    }
    return standers;
}

void CheckUnitsStandStill(const char* mapName)
{
    testing::TempDirectory logs;
    const Terrain& ground = LoadWalkedMap(mapName);
    for (const int rate : kFrameRates) {
        CAPTURE(rate);
        PhysicsScope physics;
        const std::vector<Stander> standers = PlaceStanders(ground);
        for (int step = 0; step < static_cast<int>(kStandSeconds) * rate; ++step) {
            Physics::Instance()->Step(1.0f / static_cast<float>(rate));
        }
        for (const char* type : kUnitTypes) {
            float drift = 0.0f;
            Vec3 spot;
            for (const Stander& s : standers) {
                const float d = Vec3Length(s.unit->GetPosition() - s.spot);
                if (s.type == type && d >= drift) {
                    drift = d;
                    spot = s.spot;
                }
            }
            INFO(std::string(type) << " at " << Where(spot) << " drifted " << drift);
            CHECK(drift < kMostDrift);
        }
    }
}

struct Walk {
    std::unique_ptr<Physical> unit;
    const char* type = nullptr;
    std::uint32_t start = 0;
    Vec3 destination;
    float timeLimit = 0.0f;
    float arrivedAt = -1.0f;
};

// Every type sent from every start to every flag (the first is the hill at
// the centre) and to the opposite start: all at once.
std::vector<Walk> SetOff(const Terrain& ground)
{
    const std::uint32_t starts = ground.GetStartCount();
    std::vector<Walk> walks;
    for (std::uint32_t s = 0; s < starts; ++s) {
        std::vector<Vec3> destinations = FormationPlaces(ground);
        destinations.erase(destinations.begin(), destinations.begin() + starts);
        destinations.push_back(ground.GetStartPosition((s + starts / 2) % starts));
        const Vec3 from = ground.GetStartPosition(s);
        for (const Vec3& to : destinations) {
            for (const char* type : kUnitTypes) {
                std::unique_ptr<Physical> unit = PlaceUnit(type, from.x, from.z);
                unit->SetDestination(to.x, to.y, to.z);
                const float limit = Distance(from, to) / kSlowestPace * kRouteTimeFactor;
                walks.push_back({std::move(unit), type, s, to, limit});
            }
        }
    }
    return walks;
}

// Steps until every walk has arrived, as the physics tells, or the longest
// may take no longer. A unit that arrived leaves the physics, which keeps
// the later steps short.
void WalkUntilArrived(std::vector<Walk>& walks, int rate)
{
    float elapsed = 0.0f;
    std::size_t arrived = 0;
    float longest = 0.0f;
    for (Walk& walk : walks) {
        longest = std::max(longest, walk.timeLimit);
        const auto arrive = [&walk, &elapsed, &arrived](Physical* unit) {
            walk.arrivedAt = elapsed;
            ++arrived;
            Physics::Instance()->RemoveObject(unit);
        };
        Physics::Instance()->AddCallback(walk.unit.get(), arrive, kEventArrived, true);
    }
    const float dt = 1.0f / static_cast<float>(rate);
    for (int step = 0; arrived < walks.size() && step < longest * rate; ++step) {
        elapsed += dt;
        Physics::Instance()->Step(dt);
    }
}

void CheckRoutesArrive(const char* mapName)
{
    testing::TempDirectory logs;
    const Terrain& ground = LoadWalkedMap(mapName);
    REQUIRE(ground.GetStartCount() == 8);
    for (const int rate : kFrameRates) {
        CAPTURE(rate);
        PhysicsScope physics;
        std::vector<Walk> walks = SetOff(ground);
        WalkUntilArrived(walks, rate);
        int late = 0;
        std::string firstLate;
        for (const Walk& walk : walks) {
            if (walk.arrivedAt >= 0.0f && walk.arrivedAt <= walk.timeLimit) {
                continue;
            }
            if (++late <= 3) {
                firstLate += std::string(walk.type) + " from start " + std::to_string(walk.start) + " to " +
                             Where(walk.destination) + " stopped at " + Where(walk.unit->GetPosition()) + "; ";
            }
        }
        INFO(late << " of " << walks.size() << " did not arrive in time: " << firstLate);
        CHECK(late == 0);
    }
}

} // namespace

TEST_CASE("each generated map loads and keeps the promises the game relies on")
{
    testing::DataDirectoryScope data;
    const float steepestTilt = SteepestFormationTilt();
    for (const char* name : kMaps) {
        INFO("map " << std::string(name));
        Terrain terrain;
        REQUIRE(terrain.Load(name));
        CHECK(terrain.GetMapSize() == 400.0f);
        CheckHeights(terrain);
        CheckLists(terrain, steepestTilt);
        CheckImage(terrain.GetGroundImages()[0]);
        CheckImage(terrain.GetWaterImages()[7]);
        CHECK(terrain.GetWaterImages()[0] != terrain.GetWaterImages()[1]); // the water moves
    }
}

TEST_CASE("the formation ground's slope limit is what the physics holds")
{
    testing::TempDirectory logs;
    const char* weakest = nullptr;
    const float limit = SteepestFormationTilt(&weakest);
    REQUIRE(weakest != nullptr);
    CAPTURE(weakest);
    // On an even slope just under the limit the unit stays at the slowest
    // frame rate; on one half as steep again it slides.
    for (const float share : {0.9f, 1.5f}) {
        CAPTURE(share);
        const float rise = std::tan(share * limit);
        REQUIRE(WalkedGround().LoadFromData(MakeHeightFieldMap(
            400.0f, 101, [rise](float x, float) { return rise * x; }, -50.0f)));
        PhysicsScope physics;
        std::unique_ptr<Physical> unit = PlaceUnit(weakest, 13.7f, -21.3f);
        const Vec3 spot = unit->GetPosition();
        unit->SetDestination(spot.x, spot.y, spot.z);
        for (int step = 0; step < static_cast<int>(kStandSeconds) * kSlowestFrameRate; ++step) {
            Physics::Instance()->Step(1.0f / kSlowestFrameRate);
        }
        CHECK((Vec3Length(unit->GetPosition() - spot) < kMostDrift) == (share < 1.0f));
    }
}

// Each map's standing and walking are cases of their own, so ctest runs the
// long walks side by side.
#define KV_MAP_WALK_TESTS(map)                                                                                         \
    TEST_CASE("units stand still on the formation spots of " map)                                                      \
    {                                                                                                                  \
        CheckUnitsStandStill(map ".kvm");                                                                              \
    }                                                                                                                  \
    TEST_CASE("units walk straight from every start to every flag and across " map)                                    \
    {                                                                                                                  \
        CheckRoutesArrive(map ".kvm");                                                                                 \
    }

KV_MAP_WALK_TESTS("Desert")
KV_MAP_WALK_TESTS("Grassland")
KV_MAP_WALK_TESTS("Tundra")
KV_MAP_WALK_TESTS("Ex-Cathedra")
