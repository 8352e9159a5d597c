#include "physics/Physical.h"
#include "physics/Physics.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <fstream>
#include <memory>

TEST_CASE("a body without a file takes the built-in defaults")
{
    const Physical body(1.0f, 2.0f, 3.0f, nullptr);
    CHECK(body.GetPosition() == Vec3(1.0f, 2.0f, 3.0f));
    CHECK(body.GetDestination() == Vec3(1.0f, 2.0f, 3.0f));
    CHECK(body.GetVelocity() == Vec3());
    CHECK(body.GetMass() == 0.3f);
    CHECK(body.GetRadius() == 0.8f);
    CHECK(body.GetGravity() == 30.0f);
    CHECK(body.GetDriveForce() == 10.0f);
    CHECK(body.GetDriveFalloff() == 0.0f);
    CHECK(body.GetTurnRate() == 6.0f);
    CHECK(body.GetSpinAxis() == Vec3(0.0f, 1.0f, 0.0f));
    CHECK(body.GetSpinRate() == 0.0f);
    CHECK(body.GetHeading() == 0.0f);
    CHECK(body.GetDragCoefficient() == 0.0f);
    CHECK(body.GetFrictionCoefficient() == 0.0f);
    CHECK(body.GetCollisionType() == kCollisionNone);
    CHECK(body.GetArrived());
    CHECK_FALSE(body.GetInPhysics());
    CHECK(body.GetCollides());
    CHECK(body.GetCollisionResponse());
    CHECK(body.GetMovable());
    CHECK(body.GetSteering());
    CHECK(body.GetGravityEnabled());
    CHECK(body.GetDragEnabled());
    CHECK(body.GetFrictionEnabled());
}

TEST_CASE("a body reads its file and always answers collisions")
{
    testing::TempDirectory dir;
    PhysicalData data;
    data.collides = false;
    data.mass = 0.6f;
    data.arrived = false;
    data.collisionType = 1;
    std::ofstream("Body.kvp") << PhysicalDataFile::Format(data);

    const Physical body(0.0f, 0.0f, 0.0f, "body.KVP"); // found whatever the case
    CHECK(body.GetMass() == 0.6f);
    CHECK_FALSE(body.GetCollides());
    CHECK(body.GetCollisionResponse());
    CHECK_FALSE(body.GetArrived());
    CHECK(body.GetCollisionType() == kCollisionUnit);
}

TEST_CASE("the two setters that do more than store")
{
    testing::TempDirectory dir;
    Physics::Instance()->Clear();
    Physical body(0.0f, 0.0f, 0.0f, nullptr);

    SUBCASE("a new destination clears arrived")
    {
        REQUIRE(body.GetArrived());
        body.SetDestination(5.0f, 0.0f, 5.0f);
        CHECK_FALSE(body.GetArrived());
        CHECK(body.GetDestination() == Vec3(5.0f, 0.0f, 5.0f));
    }
    SUBCASE("moving a body breaks the engine's order only while it is registered")
    {
        Physics::Instance()->SortBodies();
        body.SetPosition(Vec3(3.0f, 0.0f, 0.0f));
        CHECK(Physics::Instance()->IsSorted());
        Physics::Instance()->AddObject(&body);
        Physics::Instance()->SortBodies();
        body.SetPosition(Vec3(4.0f, 0.0f, 0.0f));
        CHECK_FALSE(Physics::Instance()->IsSorted());
        Physics::Instance()->RemoveObject(&body);
    }
}

TEST_CASE("facing a direction sets the heading from +z toward +x")
{
    Physical body(0.0f, 0.0f, 0.0f, nullptr);
    body.FaceDirection(0.0f, 0.0f, 1.0f);
    CHECK(body.GetHeading() == doctest::Approx(0.0f));
    body.FaceDirection(1.0f, 0.0f, 0.0f);
    CHECK(body.GetHeading() == doctest::Approx(1.5707964f));
    body.FaceDirection(0.0f, 5.0f, -1.0f);
    CHECK(body.GetHeading() == doctest::Approx(3.1415927f));
}

TEST_CASE("a registered body deleted by its owner leaves the engine")
{
    testing::TempDirectory dir;
    Physics::Instance()->Clear();
    auto body = std::make_unique<Physical>(0.0f, 0.0f, 0.0f, nullptr);
    Physics::Instance()->AddObject(body.get());
    REQUIRE(Physics::Instance()->GetBodyCount() == 1);
    body.reset();
    CHECK(Physics::Instance()->GetBodyCount() == 0);
    CHECK_FALSE(std::filesystem::exists("Physics.txt"));
}
