// The step: frame time, gravity and the ground, water, turning, arrival,
// and non-finite motion.
#include "PhysicsTestWorld.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace physics_test;

TEST_CASE("a step falls by the frame time, a stalled frame by a short one, a zero frame not at all")
{
    TestWorld world;
    const float cases[][2] = {
        {1.0f / 60.0f, 1.0f / 60.0f}, {1.0f / 15.0f, 1.0f / 15.0f}, {0.2f, 0.2f}, {0.25f, 0.0666f}};
    for (const auto& [frame, used] : cases) {
        CAPTURE(frame);
        auto body = MakeFreeBody(Vec3(0.0f, 100.0f, 0.0f), Vec3(), true);
        TestWorld::Step(frame);
        CHECK(body->GetVelocity().y == doctest::Approx(-30.0f * used));
        CHECK(body->GetPosition().y == doctest::Approx(100.0f - 15.0f * used * used));
    }
    auto body = MakeFreeBody(Vec3(0.0f, 100.0f, 0.0f), Vec3(), true);
    Physics::Instance()->AddForce(body.get(), Vec3(0.3f, 0.0f, 0.0f));
    TestWorld::Step(0.0f);
    CHECK(body->GetPosition() == Vec3(0.0f, 100.0f, 0.0f));
    TestWorld::Step(kDt); // the force was kept for this step
    CHECK(body->GetVelocity().x == doctest::Approx(1.0f));
}

TEST_CASE("bodies top out once, come to rest on the ground and know when they are under water")
{
    TestWorld world(FlatGround, 2.0f);
    auto thrown = MakeFreeBody(Vec3(0.0f, 2.0f, 0.0f), Vec3(0.0f, 10.0f, 0.0f), true);
    auto dropped = MakeFreeBody(Vec3(10.0f, 10.0f, -10.0f), Vec3(), true);
    auto wet = MakeFreeBody(Vec3(-5.0f, 1.5f, 0.0f));
    auto dry = MakeFreeBody(Vec3(5.0f, 2.5f, 0.0f));
    int apexes = 0, contacts = 0, droppedWet = 0, wetCount = 0, dryCount = 0;
    CountEvents(thrown.get(), kEventApex, apexes);
    CountEvents(dropped.get(), kEventGroundContact, contacts);
    CountEvents(dropped.get(), kEventUnderWater, droppedWet);
    CountEvents(wet.get(), kEventUnderWater, wetCount);
    CountEvents(dry.get(), kEventUnderWater, dryCount);
    float highest = 0.0f;
    for (int i = 0; i < 120; ++i) {
        TestWorld::Step(kDt);
        highest = std::max(highest, thrown->GetPosition().y);
    }
    CHECK(apexes == 1);
    CHECK(highest == doctest::Approx(2.0f + 10.0f * 10.0f / 60.0f).epsilon(0.02));
    contacts = droppedWet = wetCount = 0;
    TestWorld::Step(kDt, 60);
    CHECK(contacts == 60);
    CHECK(droppedWet == 0); // its ground contact takes the step's one event
    CHECK(wetCount == 60);
    CHECK(dryCount == 0);
    CheckNear(dropped->GetPosition(), Vec3(10.0f, 0.0f, -10.0f));
    CHECK(std::fabs(dropped->GetVelocity().y) < 1e-3f);
}

TEST_CASE("steering bodies turn toward their destination the short way, by at most one step's turn")
{
    TestWorld world;
    auto body = MakeFreeBody(Vec3(0.0f, 20.0f, 0.0f));
    body->SetSteering(true);
    body->SetTurnRate(6.0f); // 0.3 per 0.05 s step
    const struct {
        Vec3 destination;
        float heading, expected;
    } cases[] = {
        {Vec3(0.0f, 20.0f, 100.0f), 0.1f, 0.0f},   // closer than a step: snaps
        {Vec3(100.0f, 20.0f, 0.0f), -0.5f, -0.2f}, // toward pi/2
        {Vec3(100.0f, 20.0f, 0.0f), 6.0f, 6.3f},   // just short of 2 pi: up
        {Vec3(0.0f, 20.0f, -100.0f), 0.0f, -0.3f}, // straight behind: down
    };
    for (const auto& c : cases) {
        CAPTURE(c.heading);
        body->SetPosition(Vec3(0.0f, 20.0f, 0.0f));
        body->SetVelocity(Vec3());
        body->SetDestination(c.destination.x, c.destination.y, c.destination.z);
        body->SetHeading(c.heading);
        TestWorld::Step(0.05f);
        CHECK(body->GetHeading() == doctest::Approx(c.expected).epsilon(1e-6));
    }
}

TEST_CASE("arrival is a square test around the destination, reported every step")
{
    TestWorld world;
    auto body = MakeFreeBody(Vec3(0.0f, 0.0f, 0.0f));
    body->SetSteering(true);
    int arrivals = 0;
    CountEvents(body.get(), kEventArrived, arrivals);
    TestWorld::Step(kDt, 3);
    CHECK(arrivals == 3);
    body->SetSteering(false);
    body->SetDestination(1.0f, 0.0f, 0.0f);
    CHECK_FALSE(body->GetArrived()); // a new destination clears it
    TestWorld::Step(kDt);
    CHECK_FALSE(body->GetArrived());
    body->SetDestination(0.9f, 0.0f, -0.9f);
    TestWorld::Step(kDt);
    CHECK(body->GetArrived());
}

TEST_CASE("no motion that is not a number reaches a position")
{
    TestWorld world;

    SUBCASE("a body driven off the map stays finite")
    {
        auto body = MakeUnitBody("Triangoloid", 190.0f, 0.0f);
        body->SetCollides(false); // no walls to stop it
        body->SetDestination(1000.0f, 0.0f, 0.0f);
        for (int i = 0; i < 600; ++i) {
            TestWorld::Step(kDt);
            REQUIRE(Vec3IsFinite(body->GetPosition()));
            REQUIRE(Vec3IsFinite(body->GetVelocity()));
        }
        CHECK(body->GetPosition().x > 200.0f);
    }
    SUBCASE("an overflowing push stops the body where it stood; no mass poisons nobody")
    {
        auto body = MakeFreeBody(Vec3(5.0f, 10.0f, 5.0f));
        Physics::Instance()->AddForce(body.get(), Vec3(3.0e38f, 0.0f, 0.0f));
        auto massless = MakeFreeBody(Vec3(0.0f, 10.0f, 0.0f), Vec3(), true);
        massless->SetMass(0.0f);
        auto other = MakeFreeBody(Vec3(0.5f, 10.0f, 0.0f), Vec3(), true);
        TestWorld::Step(kDt);
        CHECK(body->GetPosition() == Vec3(5.0f, 10.0f, 5.0f));
        CHECK(body->GetVelocity() == Vec3());
        CHECK(testing::ReadTextFile("Physics.txt").find("not finite") != std::string::npos);
        TestWorld::Step(kDt, 30);
        CHECK(Vec3IsFinite(massless->GetPosition()));
        CHECK(Vec3IsFinite(other->GetPosition()));
    }
}
