// The collision pass: map walls, swept pair contacts, their response, the
// dispatch to the game's handlers and the Collision event.
#include "PhysicsTestWorld.h"

#include "platform/Random.h"

#include <doctest/doctest.h>

#include <cmath>
#include <string>
#include <vector>

using physics_test::MakeFreeBody;
using physics_test::TestWorld;

namespace {

constexpr float kDt = 1.0f / 60.0f;

struct Contact {
    std::string kind;
    Physical* first = nullptr;
    Physical* second = nullptr;
};

std::vector<Contact> g_contacts;

void InstallRecordingHandlers()
{
    g_contacts.clear();
    CollisionHandlers handlers;
    handlers.unitOnCollideUnit = [](Physical* a, Physical* b) { g_contacts.push_back({"unit-unit", a, b}); };
    handlers.unitOnHitByProjectile = [](Physical* a, Physical* b) { g_contacts.push_back({"unit-shot", a, b}); };
    handlers.projectileOnHitUnit = [](Physical* a, Physical* b) { g_contacts.push_back({"shot-unit", a, b}); };
    Physics::Instance()->SetCollisionHandlers(handlers);
}

void CountCollisions(Physical* body, int& counter)
{
    Physics::Instance()->AddCallback(
        body, [&counter](Physical*) { ++counter; }, kEventCollision, false);
}

} // namespace

TEST_CASE("the walls keep moving bodies on the map")
{
    TestWorld world;

    SUBCASE("a body moving away from a wall passes even outside it")
    {
        auto body = MakeFreeBody(Vec3(250.0f, 5.0f, 0.0f), Vec3(-60.0f, 0.0f, 0.0f));
        TestWorld::Step(kDt);
        CHECK(body->GetPosition().x == doctest::Approx(249.0f));
        CHECK(body->GetVelocity().x == -60.0f);
    }
    SUBCASE("a body already past the wall goes back to where it was and bounces")
    {
        auto body = MakeFreeBody(Vec3(199.5f, 5.0f, 0.0f), Vec3(60.0f, 0.0f, 0.0f));
        TestWorld::Step(kDt);
        CHECK(body->GetPosition().x == 199.5f);
        CHECK(body->GetVelocity().x == doctest::Approx(-30.0f));
    }
    SUBCASE("a crossing stops on the wall moved in by the radius, with half the speed back")
    {
        auto body = MakeFreeBody(Vec3(5.0f, 5.0f, -198.0f), Vec3(30.0f, 0.0f, -120.0f));
        TestWorld::Step(kDt);
        CHECK(body->GetPosition().z == doctest::Approx(-199.2f));
        CHECK(body->GetPosition().x == doctest::Approx(5.3f)); // along the path
        CHECK(body->GetVelocity().z == doctest::Approx(60.0f));
        CHECK(body->GetVelocity().x == doctest::Approx(30.0f));
    }
    SUBCASE("bodies that do not collide or cannot move ignore the walls")
    {
        auto ghost = MakeFreeBody(Vec3(199.0f, 5.0f, 0.0f), Vec3(120.0f, 0.0f, 0.0f));
        ghost->SetCollides(false);
        TestWorld::Step(kDt);
        CHECK(ghost->GetPosition().x == doctest::Approx(201.0f));
    }
    SUBCASE("blasts near the edge never push a body out")
    {
        platform::SeedRand(3);
        std::vector<std::unique_ptr<Physical>> bodies;
        for (int i = 0; i < 40; ++i) {
            const float along = static_cast<float>(i) * 9.0f - 180.0f;
            auto body = physics_test::MakeUnitBody(nullptr, i % 2 == 0 ? 195.0f : along, i % 2 == 0 ? along : -195.0f);
            body->SetDragCoefficient(0.5f);
            body->SetFrictionCoefficient(0.05f);
            bodies.push_back(std::move(body));
        }
        for (int i = 0; i < 600; ++i) {
            if (i % 10 == 0) {
                const float along = static_cast<float>(platform::Rand() % 400) - 200.0f;
                Physics::Instance()->Explosion(i % 20 == 0 ? 170.0f : along, 0.0f, i % 20 == 0 ? along : -170.0f, 40.0,
                                               30.0, nullptr, 0);
            }
            TestWorld::Step(i % 7 == 0 ? 0.1f : kDt);
            for (const auto& body : bodies) {
                const Vec3 p = body->GetPosition();
                REQUIRE(std::fabs(p.x) <= 199.2f + 1e-3f);
                REQUIRE(std::fabs(p.z) <= 199.2f + 1e-3f);
            }
        }
    }
}

TEST_CASE("bodies that meet exchange momentum at the moment of contact")
{
    TestWorld world;
    InstallRecordingHandlers();

    SUBCASE("head on with equal masses each leaves with half the other's speed")
    {
        auto a = MakeFreeBody(Vec3(-1.5f, 5.0f, 0.0f), Vec3(60.0f, 0.0f, 0.0f));
        auto b = MakeFreeBody(Vec3(1.5f, 5.0f, 0.0f), Vec3(-60.0f, 0.0f, 0.0f));
        TestWorld::Step(kDt);
        CHECK(a->GetPosition().x == doctest::Approx(-0.8f));
        CHECK(b->GetPosition().x == doctest::Approx(0.8f));
        CHECK(a->GetVelocity().x == doctest::Approx(-30.0f));
        CHECK(b->GetVelocity().x == doctest::Approx(30.0f));
        REQUIRE(g_contacts.size() == 1);
        CHECK(g_contacts[0].kind == "unit-unit");
        CHECK(g_contacts[0].first == a.get());
        CHECK(g_contacts[0].second == b.get());
    }
    SUBCASE("bodies overlapping at the start meet at once and are not moved back")
    {
        auto a = MakeFreeBody(Vec3(0.0f, 5.0f, 0.0f), Vec3(6.0f, 0.0f, 0.0f));
        auto b = MakeFreeBody(Vec3(1.0f, 5.0f, 0.0f));
        TestWorld::Step(kDt);
        CHECK(a->GetPosition().x == doctest::Approx(0.1f));
        CHECK(b->GetPosition().x == 1.0f);
        CHECK(a->GetVelocity().x == doctest::Approx(0.0f));
        CHECK(b->GetVelocity().x == doctest::Approx(3.0f));
    }
    SUBCASE("a fast body does not pass through a slow one")
    {
        auto fast = MakeFreeBody(Vec3(-10.0f, 5.0f, 0.0f), Vec3(1200.0f, 0.0f, 0.0f));
        auto slow = MakeFreeBody(Vec3(0.0f, 5.0f, 0.1f), Vec3(0.6f, 0.0f, 0.0f));
        int collisions = 0;
        CountCollisions(fast.get(), collisions);
        TestWorld::Step(kDt);
        CHECK(fast->GetPosition().x < slow->GetPosition().x);
        CHECK(Vec3Length(fast->GetPosition() - slow->GetPosition()) == doctest::Approx(1.6f).epsilon(1e-3));
        CHECK(slow->GetVelocity().x > 500.0f);
        CHECK(g_contacts.size() == 1);
        CHECK(collisions == 1);
    }
    SUBCASE("a heavy body hands half its momentum to a light one")
    {
        auto heavy = MakeFreeBody(Vec3(-1.5f, 5.0f, 0.0f), Vec3(60.0f, 0.0f, 0.0f));
        heavy->SetMass(3.0f);
        auto light = MakeFreeBody(Vec3(1.5f, 5.0f, 0.0f));
        light->SetMass(1.0f);
        TestWorld::Step(kDt, 2); // they touch during the second step
        CHECK(heavy->GetVelocity().x == doctest::Approx(0.0f));
        CHECK(light->GetVelocity().x == doctest::Approx(90.0f)); // half of 3 x 60 over 1
    }
    SUBCASE("two bodies that cannot move never collide")
    {
        auto a = MakeFreeBody(Vec3(0.0f, 5.0f, 0.0f));
        auto b = MakeFreeBody(Vec3(0.5f, 5.0f, 0.0f));
        a->SetMovable(false);
        b->SetMovable(false);
        a->SetGravityEnabled(true);
        int collisions = 0;
        CountCollisions(a.get(), collisions);
        CountCollisions(b.get(), collisions);
        TestWorld::Step(kDt, 3);
        CHECK(collisions == 0);
        CHECK(g_contacts.empty());
    }
    SUBCASE("a body bounces off one that cannot move")
    {
        auto tree = MakeFreeBody(Vec3(0.0f, 5.0f, 0.0f));
        tree->SetMovable(false);
        tree->SetCollisionType(kCollisionNone);
        auto body = MakeFreeBody(Vec3(-2.0f, 5.0f, 0.0f), Vec3(60.0f, 0.0f, 0.0f));
        TestWorld::Step(kDt);
        CHECK(body->GetPosition().x == doctest::Approx(-1.6f));
        CHECK(body->GetVelocity().x == doctest::Approx(-30.0f));
        CHECK(tree->GetPosition().x == 0.0f);
        CHECK(g_contacts.empty()); // scenery is nobody to the game
    }
}

TEST_CASE("projectiles pass through units but are reported")
{
    TestWorld world;
    InstallRecordingHandlers();
    auto unit = MakeFreeBody(Vec3(0.0f, 5.0f, 0.0f));
    int unitCollisions = 0;
    int shotCollisions = 0;
    CountCollisions(unit.get(), unitCollisions);

    for (const float direction : {1.0f, -1.0f}) {
        CAPTURE(direction);
        g_contacts.clear();
        unitCollisions = 0;
        shotCollisions = 0;
        auto shot = MakeFreeBody(Vec3(-3.0f * direction, 5.0f, 0.2f), Vec3(360.0f * direction, 0.0f, 0.0f));
        shot->SetCollisionType(kCollisionProjectile);
        shot->SetCollisionResponse(false);
        CountCollisions(shot.get(), shotCollisions);
        TestWorld::Step(kDt);
        CHECK(shot->GetPosition().x == doctest::Approx(3.0f * direction));
        CHECK(shot->GetVelocity().x == 360.0f * direction);
        CHECK(unit->GetPosition() == Vec3(0.0f, 5.0f, 0.0f));
        CHECK(unit->GetVelocity() == Vec3());
        REQUIRE(g_contacts.size() == 1);
        if (direction > 0.0f) {
            CHECK(g_contacts[0].kind == "unit-shot");
            CHECK(g_contacts[0].first == unit.get());
        } else {
            CHECK(g_contacts[0].kind == "shot-unit");
            CHECK(g_contacts[0].first == shot.get());
        }
        CHECK(unitCollisions == 1);
        CHECK(shotCollisions == 1);
        Physics::Instance()->RemoveObject(shot.get());
    }
}

TEST_CASE("a contact handler may remove a body without harm")
{
    TestWorld world;
    static Physical* s_removed = nullptr;
    CollisionHandlers handlers;
    handlers.unitOnHitByProjectile = [](Physical*, Physical* shot) {
        Physics::Instance()->RemoveObject(shot);
        s_removed = shot;
    };
    Physics::Instance()->SetCollisionHandlers(handlers);
    auto unit = MakeFreeBody(Vec3(0.0f, 5.0f, 0.0f));
    auto shot = MakeFreeBody(Vec3(-3.0f, 5.0f, 0.0f), Vec3(360.0f, 0.0f, 0.0f));
    shot->SetCollisionType(kCollisionProjectile);
    shot->SetCollisionResponse(false);
    int shotCollisions = 0;
    CountCollisions(shot.get(), shotCollisions);
    TestWorld::Step(kDt);
    CHECK(s_removed == shot.get());
    CHECK(shotCollisions == 0); // its callbacks went with it
    CHECK(Physics::Instance()->GetBodyCount() == 1);
}

TEST_CASE("a contact handler may move bodies and raise a blast mid-pass")
{
    TestWorld world;
    static int s_contacts = 0;
    s_contacts = 0;
    CollisionHandlers handlers;
    handlers.unitOnCollideUnit = [](Physical* a, Physical*) {
        if (++s_contacts == 1) {
            // Sorting now would carry this body, and the pass with it, to
            // the end of the list.
            a->SetPosition(Vec3(190.0f, 5.0f, 190.0f));
            Physics::Instance()->Explosion(-190.0f, 0.0f, -190.0f, 5.0, 10.0, nullptr, 0);
        }
    };
    Physics::Instance()->SetCollisionHandlers(handlers);
    std::vector<std::unique_ptr<Physical>> bodies;
    for (const float x : {-50.0f, 0.0f, 50.0f}) {
        bodies.push_back(MakeFreeBody(Vec3(x - 1.5f, 5.0f, 0.0f), Vec3(60.0f, 0.0f, 0.0f)));
        bodies.push_back(MakeFreeBody(Vec3(x + 1.5f, 5.0f, 0.0f), Vec3(-60.0f, 0.0f, 0.0f)));
    }
    TestWorld::Step(kDt);
    CHECK(s_contacts == 3);
}

TEST_CASE("bad masses and shared points give no NaN")
{
    TestWorld world;

    SUBCASE("a body without mass is reported and left out of the exchange")
    {
        auto a = MakeFreeBody(Vec3(-1.5f, 5.0f, 0.0f), Vec3(60.0f, 0.0f, 0.0f));
        auto b = MakeFreeBody(Vec3(1.5f, 5.0f, 0.0f));
        b->SetMass(0.0f);
        TestWorld::Step(kDt, 3);
        CHECK(Vec3IsFinite(a->GetPosition()));
        CHECK(Vec3IsFinite(a->GetVelocity()));
        CHECK(Vec3IsFinite(b->GetPosition()));
        CHECK(Vec3IsFinite(b->GetVelocity()));
        CHECK(testing::ReadTextFile("Physics.txt").find("Error: Object with mass not greater than 0") !=
              std::string::npos);
    }
    SUBCASE("two bodies resting on one point")
    {
        auto a = MakeFreeBody(Vec3(2.0f, 5.0f, 2.0f));
        auto b = MakeFreeBody(Vec3(2.0f, 5.0f, 2.0f));
        TestWorld::Step(kDt, 30);
        CHECK(a->GetVelocity() == Vec3());
        CHECK(b->GetVelocity() == Vec3());
        CHECK(a->GetPosition() == Vec3(2.0f, 5.0f, 2.0f));
    }
    SUBCASE("two bodies moving together on one point are parted along x")
    {
        auto a = MakeFreeBody(Vec3(2.0f, 5.0f, 2.0f), Vec3(-6.0f, 0.0f, 0.0f));
        auto b = MakeFreeBody(Vec3(2.0f, 5.0f, 2.0f), Vec3(-6.0f, 0.0f, 0.0f));
        TestWorld::Step(kDt);
        REQUIRE(Vec3IsFinite(a->GetVelocity()));
        REQUIRE(Vec3IsFinite(b->GetVelocity()));
        CHECK(a->GetVelocity().x != b->GetVelocity().x);
        TestWorld::Step(kDt, 30);
        CHECK(Vec3IsFinite(a->GetPosition()));
        CHECK(Vec3IsFinite(b->GetPosition()));
        CHECK(Vec3Length(a->GetPosition() - b->GetPosition()) > 1.0f);
    }
    SUBCASE("a body on the point of one that cannot move")
    {
        auto post = MakeFreeBody(Vec3(2.0f, 5.0f, 2.0f));
        post->SetMovable(false);
        auto body = MakeFreeBody(Vec3(2.0f, 5.0f, 2.0f));
        TestWorld::Step(kDt, 5);
        CHECK(body->GetVelocity() == Vec3());
        CHECK(body->GetPosition() == Vec3(2.0f, 5.0f, 2.0f));
    }
}
