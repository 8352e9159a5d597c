// A 400-unit flat (or given) map in memory, an empty engine and a private
// working directory for the logs.
#pragma once

#include "physics/Physical.h"
#include "physics/Physics.h"
#include "platform/Random.h"
#include "world/MapData.h"
#include "world/Terrain.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <functional>
#include <memory>
#include <string>

namespace physics_test {

inline constexpr float kDt = 1.0f / 60.0f;

inline float FlatGround(float, float)
{
    return 0.0f;
}

class TestWorld {
public:
    explicit TestWorld(const std::function<float(float, float)>& height = FlatGround, float waterLevel = -50.0f)
    {
        Ground().LoadFromData(MakeHeightFieldMap(400.0f, 101, height, waterLevel));
        Physics::Instance()->SetTerrain(&Ground());
        Physics::Instance()->Clear();
        Physics::Instance()->SetCollisionHandlers({});
        SwitchAllOn();
    }
    ~TestWorld()
    {
        Physics::Instance()->Clear();
        Physics::Instance()->SetCollisionHandlers({});
        Physics::Instance()->SetTerrain(nullptr);
        SwitchAllOn();
    }

    // The map the bodies stand on.
    static Terrain& Ground()
    {
        static Terrain terrain;
        return terrain;
    }

    static void Step(float dt, int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            Physics::Instance()->Step(dt);
        }
    }

private:
    static void SwitchAllOn()
    {
        Physics::Instance()->SetGravityOn(true);
        Physics::Instance()->SetDragOn(true);
        Physics::Instance()->SetGroundOn(true);
    }

    testing::TempDirectory directory_;
};

// A registered body without drag, friction, steering and (unless asked)
// gravity: each step moves it by exactly velocity * dt.
inline std::unique_ptr<Physical> MakeFreeBody(const Vec3& position, const Vec3& velocity = Vec3(), bool gravity = false)
{
    auto body = std::make_unique<Physical>(position.x, position.y, position.z, nullptr);
    body->SetGravityEnabled(gravity);
    body->SetDragEnabled(false);
    body->SetFrictionEnabled(false);
    body->SetSteering(false);
    body->SetVelocity(velocity);
    body->SetCollisionType(kCollisionUnit);
    Physics::Instance()->AddObject(body.get());
    return body;
}

inline std::string UnitDataPath(const char* type)
{
    return (testing::DataDirectory() / PhysicalDataFile::PathForType(type)).string();
}

// A registered body standing on the ground with the shipped data of a unit type.
inline std::unique_ptr<Physical> MakeUnitBody(const char* type, float x, float z)
{
    auto body = std::make_unique<Physical>(x, TestWorld::Ground().HeightAt(x, z), z, UnitDataPath(type).c_str());
    Physics::Instance()->AddObject(body.get());
    return body;
}

inline void CountEvents(Physical* body, PhysicsEvent event, int& counter)
{
    Physics::Instance()->AddCallback(
        body, [&counter](Physical*) { ++counter; }, event, false);
}

// Uniform in [-range / 2, range / 2) from the game's seeded generator.
inline float RandomIn(float range)
{
    return (static_cast<float>(platform::Rand()) / platform::kRandMax - 0.5f) * range;
}

using testing::CheckNear;

} // namespace physics_test
