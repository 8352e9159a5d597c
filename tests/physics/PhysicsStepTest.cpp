// The step: frame-time handling, gravity and the ground, turning, arrival,
// water, friction, and the guard against non-finite motion.
#include "PhysicsTestWorld.h"

#include "platform/Random.h"

#include <doctest/doctest.h>

#include <cmath>
#include <vector>

using physics_test::MakeFreeBody;
using physics_test::MakeUnitBody;
using physics_test::TestWorld;

namespace {

constexpr float kDt = 1.0f / 60.0f;

// A free body that falls.
std::unique_ptr<Physical> MakeFallingBody(const Vec3& position, const Vec3& velocity = Vec3())
{
    auto body = MakeFreeBody(position, velocity);
    body->SetGravityEnabled(true);
    return body;
}

void CountEvents(Physical* body, PhysicsEvent event, int& counter)
{
    Physics::Instance()->AddCallback(
        body, [&counter](Physical*) { ++counter; }, event, false);
}

} // namespace

TEST_CASE("the frame time is clamped, and a zero frame does nothing")
{
    TestWorld world;
    auto body = MakeFallingBody(Vec3(0.0f, 100.0f, 0.0f));

    SUBCASE("a stalled frame steps as a short one")
    {
        TestWorld::Step(0.25f);
        CHECK(body->GetVelocity().y == doctest::Approx(-30.0f * 0.0666f));
    }
    SUBCASE("a fifth of a second is used in full")
    {
        TestWorld::Step(0.2f);
        CHECK(body->GetVelocity().y == doctest::Approx(-6.0f));
    }
    SUBCASE("a zero frame keeps even the pending forces for the next step")
    {
        Physics::Instance()->AddForce(body.get(), Vec3(0.3f, 0.0f, 0.0f));
        TestWorld::Step(0.0f);
        CHECK(body->GetVelocity() == Vec3());
        CHECK(body->GetPosition() == Vec3(0.0f, 100.0f, 0.0f));
        TestWorld::Step(kDt);
        CHECK(body->GetVelocity().x == doctest::Approx(1.0f));
    }
}

TEST_CASE("bodies fall, top out and come to rest on the ground")
{
    TestWorld world;

    SUBCASE("free fall from rest over one step")
    {
        for (const float dt : {1.0f / 60.0f, 1.0f / 15.0f}) {
            auto body = MakeFallingBody(Vec3(0.0f, 100.0f, 0.0f));
            TestWorld::Step(dt);
            CHECK(body->GetVelocity().y == doctest::Approx(-30.0f * dt));
            CHECK(body->GetPosition().y == doctest::Approx(100.0f - 15.0f * dt * dt));
        }
    }
    SUBCASE("a thrown body tops out once")
    {
        auto body = MakeFallingBody(Vec3(0.0f, 2.0f, 0.0f), Vec3(0.0f, 10.0f, 0.0f));
        int apexes = 0;
        CountEvents(body.get(), kEventApex, apexes);
        float highest = 0.0f;
        for (int i = 0; i < 120; ++i) {
            TestWorld::Step(kDt);
            highest = std::max(highest, body->GetPosition().y);
        }
        CHECK(apexes == 1);
        CHECK(highest == doctest::Approx(2.0f + 10.0f * 10.0f / 60.0f).epsilon(0.02));
    }
    SUBCASE("a dropped body lands and stays, touching the ground every step")
    {
        auto body = MakeFallingBody(Vec3(10.0f, 10.0f, -10.0f));
        int contacts = 0;
        CountEvents(body.get(), kEventGroundContact, contacts);
        TestWorld::Step(kDt, 120);
        const int before = contacts;
        TestWorld::Step(kDt, 60);
        CHECK(contacts == before + 60);
        CHECK(body->GetPosition().y == doctest::Approx(0.0f).epsilon(1e-4));
        CHECK(std::fabs(body->GetVelocity().y) < 1e-3f);
        CHECK(body->GetPosition().x == 10.0f);
    }
}

TEST_CASE("steering bodies turn toward their destination")
{
    TestWorld world;
    auto body = MakeFreeBody(Vec3(0.0f, 20.0f, 0.0f));
    body->SetSteering(true);
    body->SetTurnRate(6.0f);

    SUBCASE("a heading closer than one step's turn snaps to the target")
    {
        body->SetDestination(0.0f, 20.0f, 100.0f);
        body->SetHeading(0.1f);
        TestWorld::Step(0.05f);
        CHECK(body->GetHeading() == doctest::Approx(0.0f).epsilon(1e-6));
    }
    SUBCASE("a farther heading turns by one step's worth the short way")
    {
        body->SetDestination(100.0f, 20.0f, 0.0f); // heading pi/2
        body->SetHeading(-0.5f);
        TestWorld::Step(0.05f);
        CHECK(body->GetHeading() == doctest::Approx(-0.2f));
        body->SetHeading(6.0f); // just short of 2 pi: the short way is up
        TestWorld::Step(0.05f);
        CHECK(body->GetHeading() == doctest::Approx(6.3f));
    }
    SUBCASE("a target straight behind turns the negative way")
    {
        body->SetDestination(0.0f, 20.0f, -100.0f);
        body->SetHeading(0.0f);
        TestWorld::Step(0.05f);
        CHECK(body->GetHeading() == doctest::Approx(-0.3f));
    }
    SUBCASE("a spinning body turns 15.7 radians a second until it touches the ground")
    {
        body->SetDestination(0.0f, 20.0f, 100.0f);
        body->SetSpinRate(0.5f);
        body->SetSpinAxis(Vec3(1.0f, 0.0f, 0.0f));
        TestWorld::Step(kDt, 6);
        CHECK(body->GetHeading() == doctest::Approx(15.7f / 10.0f));
        body->SetPosition(Vec3(0.0f, 0.5f, 0.0f));
        TestWorld::Step(kDt);
        CHECK(body->GetSpinRate() == 0.0f);
        CHECK(body->GetSpinAxis() == Vec3(0.0f, 1.0f, 0.0f));
        const float landed = body->GetHeading();
        TestWorld::Step(kDt);
        CHECK(body->GetHeading() == doctest::Approx(landed - 0.1f)); // steering again
    }
}

TEST_CASE("arrival is a square test around the destination")
{
    TestWorld world;
    auto body = MakeFreeBody(Vec3(0.0f, 0.0f, 0.0f));

    SUBCASE("0.9 away on both axes has arrived")
    {
        body->SetDestination(0.9f, 0.0f, -0.9f);
        TestWorld::Step(kDt);
        CHECK(body->GetArrived());
    }
    SUBCASE("1.0 away has not")
    {
        body->SetDestination(1.0f, 0.0f, 0.0f);
        TestWorld::Step(kDt);
        CHECK_FALSE(body->GetArrived());
    }
    SUBCASE("an arrived steering body reports it every step")
    {
        body->SetSteering(true);
        int arrivals = 0;
        CountEvents(body.get(), kEventArrived, arrivals);
        TestWorld::Step(kDt, 5);
        CHECK(arrivals == 5);
    }
}

TEST_CASE("bodies below the water level are under water")
{
    TestWorld world(physics_test::FlatGround, 2.0f);
    auto wet = MakeFreeBody(Vec3(0.0f, 1.5f, 0.0f));
    auto dry = MakeFreeBody(Vec3(5.0f, 2.5f, 0.0f));
    int wetCount = 0;
    int dryCount = 0;
    CountEvents(wet.get(), kEventUnderWater, wetCount);
    CountEvents(dry.get(), kEventUnderWater, dryCount);
    TestWorld::Step(kDt, 3);
    CHECK(wetCount == 3);
    CHECK(dryCount == 0);
}

TEST_CASE("ground friction takes a fixed amount of speed per step")
{
    TestWorld world;
    auto body = MakeFallingBody(Vec3(0.0f, 0.0f, 0.0f));
    body->SetFrictionEnabled(true);
    body->SetFrictionCoefficient(0.1f); // 0.1 x 0.3 x 30: 0.9 per step

    SUBCASE("a speed above it is reduced by it")
    {
        body->SetVelocity(Vec3(5.0f, 0.0f, 0.0f));
        TestWorld::Step(kDt);
        CHECK(body->GetVelocity().x == doctest::Approx(4.1f));
    }
    SUBCASE("a speed below it stops")
    {
        body->SetVelocity(Vec3(0.0f, 0.0f, 0.5f));
        TestWorld::Step(kDt);
        CHECK(body->GetVelocity() == Vec3());
    }
    SUBCASE("in the air there is none")
    {
        body->SetPosition(Vec3(0.0f, 50.0f, 0.0f));
        body->SetVelocity(Vec3(0.5f, 0.0f, 0.0f));
        TestWorld::Step(kDt);
        CHECK(body->GetVelocity().x == 0.5f);
    }
}

TEST_CASE("no motion that is not a number reaches a position")
{
    TestWorld world;

    SUBCASE("a body driven off the map stays finite")
    {
        auto body = MakeUnitBody(nullptr, 190.0f, 0.0f);
        body->SetCollides(false); // no walls to stop it
        body->SetFrictionCoefficient(0.01f);
        body->SetDriveForce(1000.0f);
        body->SetDragCoefficient(1.0f);
        body->SetDestination(1000.0f, 0.0f, 0.0f);
        for (int i = 0; i < 600; ++i) {
            TestWorld::Step(kDt);
            REQUIRE(Vec3IsFinite(body->GetPosition()));
            REQUIRE(Vec3IsFinite(body->GetVelocity()));
        }
        CHECK(body->GetPosition().x > 200.0f);
    }
    SUBCASE("an overflowing push stops the body where it stood")
    {
        auto body = MakeFreeBody(Vec3(5.0f, 10.0f, 5.0f));
        Physics::Instance()->AddForce(body.get(), Vec3(3.0e38f, 0.0f, 0.0f));
        TestWorld::Step(kDt);
        CHECK(body->GetPosition() == Vec3(5.0f, 10.0f, 5.0f));
        CHECK(body->GetVelocity() == Vec3());
        CHECK(testing::ReadTextFile("Physics.txt").find("not finite") != std::string::npos);
    }
    SUBCASE("a body given no mass does not poison the others")
    {
        auto massless = MakeFallingBody(Vec3(0.0f, 10.0f, 0.0f));
        massless->SetMass(0.0f);
        auto other = MakeFallingBody(Vec3(0.5f, 10.0f, 0.0f));
        TestWorld::Step(kDt, 30);
        CHECK(Vec3IsFinite(massless->GetPosition()));
        CHECK(Vec3IsFinite(other->GetPosition()));
    }
}

TEST_CASE("the same run twice gives the same positions")
{
    const auto run = [] {
        TestWorld world([](float x, float z) { return 0.02f * x + 0.01f * z; });
        platform::SeedRand(11);
        const auto random = [](float range) {
            return (static_cast<float>(platform::Rand()) / platform::kRandMax - 0.5f) * range;
        };
        std::vector<std::unique_ptr<Physical>> bodies;
        for (int i = 0; i < 60; ++i) {
            auto body = MakeUnitBody(nullptr, random(60.0f), random(60.0f));
            body->SetFrictionCoefficient(0.002f);
            body->SetDriveForce(3000.0f);
            body->SetDriveFalloff(2.0f);
            body->SetDragCoefficient(2.0f);
            body->SetMass(0.6f);
            body->SetDestination(random(60.0f), 0.0f, random(60.0f));
            bodies.push_back(std::move(body));
        }
        Physics::Instance()->Explosion(0.0f, 0.0f, 0.0f, 20.0, 10.0, nullptr, 0);
        std::vector<Vec3> positions;
        for (int i = 0; i < 300; ++i) {
            TestWorld::Step(i % 3 == 0 ? 1.0f / 30.0f : 1.0f / 75.0f);
        }
        for (const auto& body : bodies) {
            positions.push_back(body->GetPosition());
        }
        return positions;
    };
    const std::vector<Vec3> first = run();
    const std::vector<Vec3> second = run();
    CHECK(first == second);
    bool moved = false;
    for (const Vec3& position : first) {
        REQUIRE(Vec3IsFinite(position));
        moved = moved || Vec3Length(position) > 0.0f;
    }
    CHECK(moved);
}
