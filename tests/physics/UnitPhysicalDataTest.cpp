// The shipped physical data of the five unit types, read by the game and
// walked on the ground: each type keeps its own pace, stops where it was sent
// and stands still on gentle slopes, at any frame rate from 15 to 1000.
#include "PhysicsTestWorld.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

using physics_test::MakeUnitBody;
using physics_test::TestWorld;

namespace {

struct UnitType {
    const char* name;
    float walkSpeed; // units per second on flat ground at 60 frames per second
};

// Fastest to slowest.
const UnitType kUnitTypes[] = {
    {"Triangoloid", 8.97f}, {"Smashtor", 7.79f}, {"Trajectagon", 6.40f}, {"Artillerator", 5.61f}, {"Detagon", 5.13f},
};

const float kFrameTimes[] = {1.0f / 15.0f, 1.0f / 60.0f, 1.0f / 240.0f, 1.0f / 1000.0f};

std::string DataPath(const char* type)
{
    return (testing::DataDirectory() / PhysicalDataFile::PathForType(type)).string();
}

struct Walk {
    float speed = 0.0f;       // mean speed between 3 s and 6 s
    float arrivalTime = 0.0f; // when the arrived flag was first set
    float restX = 0.0f;       // where it stands 8 s after arriving
    float furthestX = 0.0f;
    int arrivedCalls = 0;
    bool stayedArrived = true;
};

constexpr float kStartX = -60.0f;
constexpr float kTargetX = 60.0f;

Walk WalkAcross(const char* type, float dt)
{
    Walk walk;
    auto unit = MakeUnitBody(DataPath(type).c_str(), kStartX, 0.0f);
    unit->SetDestination(kTargetX, 0.0f, 0.0f);
    Physics::Instance()->AddCallback(
        unit.get(), [&walk](Physical*) { ++walk.arrivedCalls; }, kEventArrived, true);
    const int steps = static_cast<int>(std::lround(40.0f / dt));
    const int speedStart = static_cast<int>(std::lround(3.0f / dt));
    const int speedEnd = static_cast<int>(std::lround(6.0f / dt));
    float xAtSpeedStart = 0.0f;
    int arrivalStep = -1;
    for (int step = 1; step <= steps; ++step) {
        TestWorld::Step(dt);
        const float x = unit->GetPosition().x;
        if (step == speedStart) {
            xAtSpeedStart = x;
        }
        if (step == speedEnd) {
            walk.speed = (x - xAtSpeedStart) / (static_cast<float>(speedEnd - speedStart) * dt);
        }
        if (arrivalStep < 0 && unit->GetArrived()) {
            arrivalStep = step;
            walk.arrivalTime = static_cast<float>(step) * dt;
        }
        if (arrivalStep >= 0) {
            walk.stayedArrived = walk.stayedArrived && unit->GetArrived();
            walk.furthestX = std::max(walk.furthestX, x);
            if (static_cast<float>(step - arrivalStep) * dt >= 8.0f) {
                break;
            }
        }
    }
    walk.restX = unit->GetPosition().x;
    Physics::Instance()->RemoveObject(unit.get());
    return walk;
}

} // namespace

TEST_CASE("the shipped physical data files suit the units")
{
    float largestRadius = 0.0f;
    for (const UnitType& type : kUnitTypes) {
        const std::string name = type.name;
        CAPTURE(name);
        testing::TempDirectory logs;
        PhysicalData data;
        CHECK(PhysicalDataFile::Load(DataPath(type.name), data));
        CHECK(PhysicalDataFile::CheckUnitData(data).empty());
        CHECK(data.gravity == 30.0f); // the shooters' launch speed assumes it
        CHECK(data.dragEnabled);
        CHECK(data.dragCoefficient > 0.0f);
        CHECK(data.collisionType == kCollisionUnit);
        largestRadius = std::max(largestRadius, data.radius);
        if (name == "Trajectagon" || name == "Artillerator") {
            CHECK(data.radius < 1.2f); // a shell spawns 2.0 above with radius 0.8
        }
    }
    CHECK(2.0f * largestRadius <= 2.2f); // the spacing of a formation
}

TEST_CASE("units walk at their own pace and stop where they were sent at any frame rate")
{
    TestWorld world;
    // speeds[frame rate][type], fastest type first.
    std::vector<std::vector<float>> speeds(std::size(kFrameTimes));
    for (const UnitType& type : kUnitTypes) {
        const std::string name = type.name;
        CAPTURE(name);
        const Walk reference = WalkAcross(type.name, 1.0f / 60.0f);
        for (std::size_t i = 0; i < std::size(kFrameTimes); ++i) {
            const float dt = kFrameTimes[i];
            CAPTURE(1.0f / dt);
            const Walk walk = WalkAcross(type.name, dt);
            CHECK(walk.speed == doctest::Approx(type.walkSpeed).epsilon(0.15));
            CHECK(walk.arrivalTime == doctest::Approx(reference.arrivalTime).epsilon(0.15));
            CHECK(walk.arrivedCalls == 1);
            CHECK(walk.stayedArrived);
            // Arrival is flagged within 1.0 of the destination; the unit then
            // brakes to a stop a few units on and stays there.
            CHECK(walk.restX > kTargetX - 1.0f);
            CHECK(walk.restX < kTargetX + 4.0f);
            CHECK(std::fabs(walk.restX - reference.restX) < 2.5f);
            CHECK(walk.restX > walk.furthestX - 0.05f);
            speeds[i].push_back(walk.speed);
        }
    }
    for (const std::vector<float>& atOneRate : speeds) {
        CHECK(std::is_sorted(atOneRate.rbegin(), atOneRate.rend()));
    }
}

TEST_CASE("standing units hold on gentle slopes")
{
    // Half a degree, rising toward +x and +z.
    const float slope = std::tan(0.5f * 3.14159265f / 180.0f);
    TestWorld world([slope](float x, float z) { return slope * (x + z) / std::sqrt(2.0f); });
    for (const float dt : {1.0f / 15.0f, 1.0f / 60.0f, 1.0f / 1000.0f}) {
        CAPTURE(1.0f / dt);
        for (const UnitType& type : kUnitTypes) {
            const std::string name = type.name;
            CAPTURE(name);
            auto unit = MakeUnitBody(DataPath(type.name).c_str(), 30.0f, -10.0f);
            const Vec3 start = unit->GetPosition();
            unit->SetDestination(start.x, start.y, start.z);
            TestWorld::Step(dt, static_cast<int>(std::lround(10.0f / dt)));
            const Vec3 end = unit->GetPosition();
            CHECK(std::hypot(end.x - start.x, end.z - start.z) < 0.5f);
            Physics::Instance()->RemoveObject(unit.get());
        }
    }
}

TEST_CASE("units on a collision course stay finite and apart")
{
    TestWorld world;
    auto a = MakeUnitBody(DataPath("Smashtor").c_str(), -20.0f, 0.0f);
    auto b = MakeUnitBody(DataPath("Artillerator").c_str(), 20.0f, 0.3f);
    a->SetDestination(20.0f, 0.0f, 0.0f);
    b->SetDestination(-20.0f, 0.0f, 0.3f);
    int contacts = 0;
    Physics::Instance()->AddCallback(
        a.get(), [&contacts](Physical*) { ++contacts; }, kEventCollision, false);
    float closest = 1000.0f;
    for (int i = 0; i < 900; ++i) {
        TestWorld::Step(1.0f / 60.0f);
        REQUIRE(Vec3IsFinite(a->GetPosition()));
        REQUIRE(Vec3IsFinite(b->GetPosition()));
        closest = std::min(closest, Vec3Length(a->GetPosition() - b->GetPosition()));
    }
    CHECK(contacts > 0);
    CHECK(closest > 1.0f); // radii 0.8 and 1.0: they met but did not pass through
}
