// The four maps the data generator writes, checked against what the rest of
// the game assumes of them: eight starts and a flag at the centre, level
// ground where armies form up, and straight routes that arrive. Units walk straight (there is no
// path finding), so the last two are tried with the game's own physics and
// the shipped unit data at 30, 60 and 144 frames a second: every type stands
// on every formation spot, and walks from every start to every flag and to
// the opposite start.
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
#include <utility>
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

std::string Where(const Vec3& p)
{
    char text[48] = {};
    std::snprintf(text, sizeof text, "(%.1f, %.1f)", p.x, p.z);
    return text;
}

// The one ground these tests give the physics, which starts and ends empty.
Terrain& WalkedGround()
{
    static Terrain ground;
    Physics::Instance()->SetTerrain(&ground);
    return ground;
}

struct PhysicsScope {
    PhysicsScope() { Physics::Instance()->Clear(); }
    ~PhysicsScope() { Physics::Instance()->Clear(); }
};

std::string UnitDataPath(const char* type)
{
    return (testing::DataDirectory() / PhysicalDataFile::PathForType(type)).string();
}

// The steepest even ground an arrived unit stays put on, by the physics step
// (Physics_Step.cpp). Along the ground, gravity pulls with m g sin(tilt); an
// arrived unit's brake answers with at most half the ground normal's length,
// and the normal is of length 1 on even ground. Friction is not counted on:
// it takes a fixed speed off each step, so it holds less the slower the
// frames, and a step that rounding ends a hair above the ground has no ground
// push and so neither friction nor brake. The limit of the type that holds
// least, the heaviest, and that type.
std::pair<float, const char*> SteepestFormationTilt()
{
    constexpr float kBrakeShare = 0.5f;
    std::pair<float, const char*> steepest{kPi / 2.0f, nullptr};
    for (const char* type : kUnitTypes) {
        PhysicalData data;
        REQUIRE(PhysicalDataFile::Load(UnitDataPath(type), data));
        const float tilt = std::asin(std::min(1.0f, kBrakeShare / (data.mass * data.gravity)));
        steepest = tilt < steepest.first ? std::pair{tilt, type} : steepest;
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
            Vec3 n;
            terrain.NormalAt(p.x + dx, p.z + dz, n);
            const bool inside = std::hypot(dx, dz) <= kFormationRadius;
            strongestPull = std::max(strongestPull, inside ? std::hypot(n.x, n.z) / Vec3LengthSq(n) : 0.0f);
            lowest = std::min(lowest, inside ? terrain.HeightAt(p.x + dx, p.z + dz) : lowest);
        }
    }
    CHECK(lowest > terrain.GetWaterLevel() + 0.5f);
    CHECK(strongestPull <= std::sin(steepestTilt));
}

// The starts, then the flags: where armies form up.
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

// The game forms eight armies on the starts and plays for the flags, the
// first at the centre (Steal the Bacon); every start and flag is ground an
// army can form up on, and scenery stands on dry ground off those spots.
void CheckGroundAndLists(const Terrain& terrain, float steepestTilt)
{
    REQUIRE(terrain.GetStartCount() == 8);
    REQUIRE(terrain.GetFlagCount() >= 1);
    CHECK(Distance(terrain.GetFlagPosition(0), {}) < 0.5f);
    const std::vector<Vec3> places = FormationPlaces(terrain);
    for (const Vec3& place : places) {
        INFO("formation at " << Where(place));
        CheckFormationGround(terrain, place, steepestTilt);
    }
    std::vector<Vec3> scenery;
    for (std::uint32_t i = 0; i < terrain.GetTreeCount(); ++i) {
        scenery.push_back(terrain.GetTreePosition(i));
    }
    for (std::uint32_t i = 0; i < terrain.GetRockCount(); ++i) {
        scenery.push_back(terrain.GetRockPosition(i));
    }
    for (const Vec3& p : scenery) {
        INFO("scenery at " << Where(p));
        CHECK(std::fabs(p.y - terrain.HeightAt(p.x, p.z)) < 1e-4f);
        CHECK(p.y > terrain.GetWaterLevel());
        for (const Vec3& place : places) {
            CHECK(Distance(p, place) >= kFormationRadius + 3.0f);
        }
    }
}

// A unit on its way: it collides with nothing, so units of every type can
// share a spot and every walk can start at once, each as if it were alone on
// the map. A unit sent to where it stands has no time limit.
struct Trip {
    std::unique_ptr<Physical> unit;
    std::string what;
    Vec3 to;
    float timeLimit = 0.0f;
    float arrivedAt = -1.0f;
};

Trip SetOff(const char* type, const Vec3& from, const Vec3* to)
{
    Trip trip{
        std::make_unique<Physical>(from.x, WalkedGround().HeightAt(from.x, from.z), from.z, UnitDataPath(type).c_str()),
        std::string(type) + " from " + Where(from), Vec3{}};
    trip.unit->SetCollides(false);
    Physics::Instance()->AddObject(trip.unit.get());
    trip.to = to != nullptr ? *to : trip.unit->GetPosition();
    trip.timeLimit = to != nullptr ? Distance(from, *to) / kSlowestPace * kRouteTimeFactor : 0.0f;
    trip.unit->SetDestination(trip.to.x, trip.to.y, trip.to.z);
    return trip;
}

// Standers: every type on the nine spots round every start and flag, told
// to stay. Walkers: every type sent from every start to every flag (the
// first is the hill at the centre) and to the opposite start.
std::vector<Trip> Standers(const Terrain& ground)
{
    std::vector<Trip> trips;
    for (const Vec3& place : FormationPlaces(ground)) {
        for (int i = 0; i < 9; ++i) {
            const Vec3 spot{place.x + kSpotSpacing * static_cast<float>(i % 3 - 1), 0.0f,
                            place.z + kSpotSpacing * static_cast<float>(i / 3 - 1)};
            for (const char* type : kUnitTypes) {
                trips.push_back(SetOff(type, spot, nullptr));
            }
        }
    }
    return trips;
}

std::vector<Trip> Walkers(const Terrain& ground)
{
    const std::uint32_t starts = ground.GetStartCount();
    std::vector<Trip> trips;
    for (std::uint32_t s = 0; s < starts; ++s) {
        std::vector<Vec3> destinations{ground.GetStartPosition((s + starts / 2) % starts)};
        for (std::uint32_t f = 0; f < ground.GetFlagCount(); ++f) {
            destinations.push_back(ground.GetFlagPosition(f));
        }
        for (const Vec3& to : destinations) {
            for (const char* type : kUnitTypes) {
                trips.push_back(SetOff(type, ground.GetStartPosition(s), &to));
            }
        }
    }
    return trips;
}

// Steps until every walk has arrived, as the physics tells, or the longest
// may take no longer; standers stand for kStandSeconds. A unit that arrived
// leaves the physics, which keeps the later steps short. Then each trip
// that drifted or came late is a fault.
void CheckTrips(const Terrain& ground, std::vector<Trip> (*makeTrips)(const Terrain&))
{
    for (const int rate : kFrameRates) {
        CAPTURE(rate);
        PhysicsScope physics;
        std::vector<Trip> trips = makeTrips(ground);
        float elapsed = 0.0f;
        const bool standing = trips.front().timeLimit == 0.0f;
        float longest = standing ? kStandSeconds : 0.0f;
        std::size_t arrived = 0;
        for (Trip& trip : trips) {
            longest = std::max(longest, trip.timeLimit);
            if (trip.timeLimit > 0.0f) {
                const auto arrive = [&trip, &elapsed, &arrived](Physical* unit) {
                    trip.arrivedAt = elapsed;
                    ++arrived;
                    Physics::Instance()->RemoveObject(unit);
                };
                Physics::Instance()->AddCallback(trip.unit.get(), arrive, kEventArrived, true);
            }
        }
        const float dt = 1.0f / static_cast<float>(rate);
        for (int step = 0; (standing || arrived < trips.size()) && step < longest * rate; ++step) {
            elapsed += dt;
            Physics::Instance()->Step(dt);
        }
        int faults = 0;
        std::string first;
        for (const Trip& trip : trips) {
            const bool fine = trip.timeLimit > 0.0f ? trip.arrivedAt >= 0.0f && trip.arrivedAt <= trip.timeLimit
                                                    : Vec3Length(trip.unit->GetPosition() - trip.to) < kMostDrift;
            if (!fine && ++faults <= 3) {
                first += trip.what + " to " + Where(trip.to) + " ended at " + Where(trip.unit->GetPosition()) + "; ";
            }
        }
        INFO(faults << " of " << trips.size() << " drifted or came late: " << first);
        CHECK(faults == 0);
    }
}

} // namespace

TEST_CASE("the formation ground's slope limit is what the physics holds, and each generated map keeps to it")
{
    testing::TempDirectory logs;
    const auto [limit, weakest] = SteepestFormationTilt();
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
        const Trip trip = SetOff(weakest, {13.7f, 0.0f, -21.3f}, nullptr);
        for (int step = 0; step < static_cast<int>(kStandSeconds) * kSlowestFrameRate; ++step) {
            Physics::Instance()->Step(1.0f / kSlowestFrameRate);
        }
        CHECK((Vec3Length(trip.unit->GetPosition() - trip.to) < kMostDrift) == (share < 1.0f));
    }

    // Each generated map loads and keeps the promises the game relies on.
    testing::DataDirectoryScope data;
    for (const char* name : kMaps) {
        INFO("map " << std::string(name));
        Terrain terrain;
        REQUIRE(terrain.Load(name));
        CheckGroundAndLists(terrain, limit);
    }
}

void CheckUnitsOnMap(const char* name)
{
    testing::TempDirectory logs;
    {
        testing::DataDirectoryScope data;
        REQUIRE(WalkedGround().Load(name));
    }
    CheckTrips(WalkedGround(), Standers);
    CheckTrips(WalkedGround(), Walkers);
}

// Each map is a case of its own, so ctest runs the long walks side by side.
#define KV_MAP_WALK_TESTS(map)                                                                                         \
    TEST_CASE("units stand still on the formation spots of " map " and walk straight from every start to every flag")  \
    {                                                                                                                  \
        CheckUnitsOnMap(map ".kvm");                                                                                   \
    }

KV_MAP_WALK_TESTS("Desert")
KV_MAP_WALK_TESTS("Grassland")
KV_MAP_WALK_TESTS("Tundra")
KV_MAP_WALK_TESTS("Ex-Cathedra")
