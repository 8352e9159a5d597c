// The engine's registry, forces, callbacks, radius queries and explosions.
#include "PhysicsTestWorld.h"

#include "platform/Random.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using physics_test::MakeFreeBody;
using physics_test::TestWorld;

namespace {

constexpr float kDt = 1.0f / 60.0f;

std::vector<Physical*> Query(float x, float y, float z, double radius)
{
    std::vector<Physical*> found;
    Physics::Instance()->QueryRadius(x, y, z, radius, found);
    return found;
}

} // namespace

TEST_CASE("bodies join and leave the engine")
{
    TestWorld world;
    Physics* physics = Physics::Instance();
    auto body = MakeFreeBody(Vec3(0.0f, 5.0f, 0.0f), Vec3(6.0f, 0.0f, 0.0f));

    SUBCASE("add and remove")
    {
        CHECK(body->GetInPhysics());
        CHECK(physics->GetBodyCount() == 1);
        physics->RemoveObject(body.get());
        CHECK_FALSE(body->GetInPhysics());
        CHECK(physics->GetBodyCount() == 0);
        TestWorld::Step(kDt);
        CHECK(body->GetPosition() == Vec3(0.0f, 5.0f, 0.0f));
    }
    SUBCASE("removing a body that is not registered only warns")
    {
        Physical stranger(0.0f, 0.0f, 0.0f, nullptr);
        physics->RemoveObject(&stranger);
        CHECK(physics->GetBodyCount() == 1);
        CHECK(testing::ReadTextFile("Physics.txt")
                  .ends_with("Warning: Attempted to remove a unit from the list that was not in the list"));
    }
    SUBCASE("adding a body twice does not move it twice")
    {
        physics->AddObject(body.get());
        CHECK(physics->GetBodyCount() == 1);
        TestWorld::Step(0.5f / 6.0f);
        CHECK(body->GetPosition().x == doctest::Approx(0.5f));
    }
    SUBCASE("clear lets every body go")
    {
        auto other = MakeFreeBody(Vec3(1.0f, 5.0f, 0.0f));
        physics->Clear();
        CHECK(physics->GetBodyCount() == 0);
        CHECK_FALSE(body->GetInPhysics());
        CHECK_FALSE(other->GetInPhysics());
    }
}

TEST_CASE("removal from inside a callback waits for the end of the step")
{
    TestWorld world;
    Physics* physics = Physics::Instance();
    auto first = MakeFreeBody(Vec3(-10.0f, 0.5f, 0.0f));
    auto second = MakeFreeBody(Vec3(10.0f, 0.5f, 0.0f));
    std::vector<std::string> calls;

    SUBCASE("the flag clears at once, the entry goes at the end")
    {
        physics->AddCallback(
            first.get(),
            [&](Physical* body) {
                physics->RemoveObject(body);
                calls.push_back(body->GetInPhysics() ? "still in" : "out");
            },
            kEventGroundContact, false);
        physics->AddCallback(
            second.get(), [&](Physical*) { calls.push_back("second"); }, kEventGroundContact, false);
        TestWorld::Step(kDt);
        CHECK(calls == std::vector<std::string>{"out", "second"});
        CHECK(physics->GetBodyCount() == 1);
        CHECK_FALSE(physics->IsRegistered(first.get()));
    }
    SUBCASE("a body deleted in a callback is never touched again")
    {
        // The second body's callback deletes the first, which has a callback
        // due in the same step, and then raises a blast over it.
        physics->SortBodies();
        Physical* const doomed = second.get();
        physics->AddCallback(
            first.get(),
            [&](Physical*) {
                physics->RemoveObject(doomed);
                second.reset();
                physics->Explosion(10.0f, 4.5f, 0.0f, 30.0, 5.0, nullptr, 0);
                calls.push_back("first");
            },
            kEventGroundContact, false);
        physics->AddCallback(
            doomed, [&](Physical*) { calls.push_back("doomed"); }, kEventGroundContact, false);
        TestWorld::Step(kDt);
        TestWorld::Step(kDt);
        CHECK(calls == std::vector<std::string>{"first", "first"});
        CHECK(physics->GetBodyCount() == 1);
    }
}

TEST_CASE("event callbacks run after the step, one per body per step")
{
    TestWorld world;
    Physics* physics = Physics::Instance();
    // Resting on the ground: GroundContact every step.
    auto body = MakeFreeBody(Vec3(0.0f, 0.0f, 0.0f));
    std::vector<int> calls;
    const auto record = [&](int id) { return [&calls, id](Physical*) { calls.push_back(id); }; };

    SUBCASE("two fired in one step run in consecutive steps, in the order added")
    {
        body->SetVelocity(Vec3(0.0f, 0.0f, 0.0f));
        auto thrown = MakeFreeBody(Vec3(20.0f, 0.0f, 0.0f));
        thrown->SetGravityEnabled(true);
        thrown->SetVelocity(Vec3(0.0f, 0.2f, 0.0f)); // tops out in the first step, still touching
        physics->AddCallback(thrown.get(), record(1), kEventApex, true);
        physics->AddCallback(thrown.get(), record(2), kEventGroundContact, true);
        TestWorld::Step(kDt);
        CHECK(calls == std::vector<int>{1});
        TestWorld::Step(kDt);
        CHECK(calls == std::vector<int>{1, 2});
        TestWorld::Step(kDt);
        CHECK(calls == std::vector<int>{1, 2});
    }
    SUBCASE("a one-shot callback goes, a persistent one comes back while its event does")
    {
        physics->AddCallback(body.get(), record(1), kEventGroundContact, true);
        physics->AddCallback(body.get(), record(2), kEventGroundContact, false);
        TestWorld::Step(kDt, 4);
        CHECK(calls == std::vector<int>{1, 2, 2, 2});
        body->SetPosition(Vec3(0.0f, 50.0f, 0.0f)); // off the ground: no more contact
        TestWorld::Step(kDt, 2);
        CHECK(calls.size() == 4);
    }
    SUBCASE("callbacks of unregistered bodies are refused, removal takes the first of an event")
    {
        Physical stranger(0.0f, 0.0f, 0.0f, nullptr);
        physics->AddCallback(&stranger, record(9), kEventGroundContact, false);
        physics->AddCallback(body.get(), record(1), kEventGroundContact, false);
        physics->AddCallback(body.get(), record(2), kEventGroundContact, false);
        physics->RemoveCallback(body.get(), kEventGroundContact);
        TestWorld::Step(kDt, 2);
        CHECK(calls == std::vector<int>{2, 2});
    }
    SUBCASE("an explosion inside a callback does not disturb the walk")
    {
        // Bodies in a row, each with a callback; the first callback blasts
        // and moves bodies, which would re-sort a list under its walk.
        std::vector<std::unique_ptr<Physical>> row;
        for (int i = 0; i < 10; ++i) {
            row.push_back(MakeFreeBody(Vec3(static_cast<float>(i) * 3.0f + 10.0f, 0.0f, 0.0f)));
            physics->AddCallback(row.back().get(), record(i), kEventGroundContact, false);
        }
        physics->AddCallback(
            body.get(),
            [&](Physical*) {
                row[9]->SetPosition(Vec3(-30.0f, 0.0f, 0.0f));
                row[0]->SetPosition(Vec3(90.0f, 0.0f, 0.0f));
                physics->Explosion(20.0f, 0.0f, 0.0f, 40.0, 10.0, nullptr, 0);
                calls.push_back(100);
            },
            kEventGroundContact, false);
        TestWorld::Step(kDt);
        std::sort(calls.begin(), calls.end());
        CHECK(calls == std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 100});
    }
}

TEST_CASE("forces act as impulses whatever the frame time")
{
    TestWorld world;
    Physics* physics = Physics::Instance();
    auto body = MakeFreeBody(Vec3(0.0f, 50.0f, 0.0f));
    body->SetMass(0.5f);

    SUBCASE("a push changes the velocity by force over mass")
    {
        for (const float dt : {1.0f / 30.0f, 1.0f / 240.0f}) {
            body->SetVelocity(Vec3());
            physics->AddForce(body.get(), Vec3(1.0f, 0.0f, 0.5f));
            physics->AddForce(body.get(), Vec3(1.0f, 0.0f, 0.0f));
            TestWorld::Step(dt);
            CHECK(body->GetVelocity().x == doctest::Approx(4.0f));
            CHECK(body->GetVelocity().z == doctest::Approx(1.0f));
            TestWorld::Step(dt);
            CHECK(body->GetVelocity().x == doctest::Approx(4.0f)); // used up
        }
    }
    SUBCASE("pushes on strangers and pushes that are not numbers are ignored")
    {
        Physical stranger(0.0f, 50.0f, 0.0f, nullptr);
        physics->AddForce(&stranger, Vec3(100.0f, 0.0f, 0.0f));
        physics->AddForce(body.get(), Vec3(NAN, 0.0f, 0.0f));
        physics->AddForce(body.get(), Vec3(0.0f, INFINITY, 0.0f));
        TestWorld::Step(kDt);
        CHECK(body->GetVelocity() == Vec3());
        CHECK(stranger.GetVelocity() == Vec3());
    }
}

TEST_CASE("radius queries find exactly the bodies in the sphere")
{
    TestWorld world;

    SUBCASE("the boundary is included and the distance is three-dimensional")
    {
        auto onEdge = MakeFreeBody(Vec3(3.0f, 4.0f, 0.0f));
        auto high = MakeFreeBody(Vec3(1.0f, 9.0f, 0.0f));
        auto outside = MakeFreeBody(Vec3(3.0f, 4.0f, 0.5f));
        const std::vector<Physical*> found = Query(0.0f, 0.0f, 0.0f, 5.0);
        CHECK(found == std::vector<Physical*>{onEdge.get()});
        std::vector<Physical*> none;
        CHECK_FALSE(Physics::Instance()->QueryRadius(100.0f, 0.0f, 0.0f, 5.0, none));
        CHECK(none.empty());
    }
    SUBCASE("moved bodies are found where they now are")
    {
        auto a = MakeFreeBody(Vec3(-50.0f, 0.0f, 0.0f));
        auto b = MakeFreeBody(Vec3(50.0f, 0.0f, 0.0f));
        REQUIRE(Query(50.0f, 0.0f, 0.0f, 1.0) == std::vector<Physical*>{b.get()});
        a->SetPosition(Vec3(50.5f, 0.0f, 0.0f));
        b->SetPosition(Vec3(-50.0f, 0.0f, 0.0f));
        CHECK(Query(50.0f, 0.0f, 0.0f, 1.0) == std::vector<Physical*>{a.get()});
        CHECK(Query(-50.0f, 0.0f, 0.0f, 1.0) == std::vector<Physical*>{b.get()});
    }
    SUBCASE("random layouts agree with a scan of every body")
    {
        platform::SeedRand(7);
        const auto random = [](float range) {
            return (static_cast<float>(platform::Rand()) / platform::kRandMax - 0.5f) * range;
        };
        std::vector<std::unique_ptr<Physical>> bodies;
        for (int i = 0; i < 300; ++i) {
            bodies.push_back(MakeFreeBody(Vec3(random(100.0f), random(10.0f), random(100.0f))));
        }
        for (int round = 0; round < 50; ++round) {
            for (int i = 0; i < 20; ++i) { // some move between queries
                bodies[static_cast<std::size_t>(platform::Rand()) % bodies.size()]->SetPosition(
                    Vec3(random(100.0f), random(10.0f), random(100.0f)));
            }
            const Vec3 centre(random(120.0f), random(10.0f), random(120.0f));
            const double radius = static_cast<double>(platform::Rand() % 30);
            std::vector<Physical*> found = Query(centre.x, centre.y, centre.z, radius);
            std::vector<Physical*> expected;
            for (const auto& body : bodies) {
                const Vec3 d = body->GetPosition() - centre;
                const double distanceSq =
                    static_cast<double>(d.x) * d.x + static_cast<double>(d.y) * d.y + static_cast<double>(d.z) * d.z;
                if (distanceSq <= radius * radius) {
                    expected.push_back(body.get());
                }
            }
            std::sort(found.begin(), found.end());
            std::sort(expected.begin(), expected.end());
            CHECK(found == expected);
        }
    }
}

namespace {

struct Damage {
    Physical* body = nullptr;
    double falloff = 0.0;
    ExplosionWord userData = 0;
    float otherSpin = 0.0f; // the spin of the other body when this one was told
};

std::vector<Damage> g_damage;
Physical* g_other = nullptr;

void RecordDamage(Physical* body, double falloff, ExplosionWord userData)
{
    g_damage.push_back({body, falloff, userData, g_other != nullptr ? g_other->GetSpinRate() : 0.0f});
}

} // namespace

TEST_CASE("explosions push, spin and report the bodies in reach")
{
    TestWorld world;
    g_damage.clear();
    g_other = nullptr;
    // Bodies float without gravity so the velocity after a step is the push.
    const auto velocityAfterStep = [](Physical& body) {
        TestWorld::Step(kDt);
        return body.GetVelocity();
    };

    SUBCASE("radius 0 moves nothing")
    {
        auto body = MakeFreeBody(Vec3(0.0f, -4.5f + 10.0f, 0.0f));
        Physics::Instance()->Explosion(0.0f, 10.0f, 0.0f, 0.0, 50.0, RecordDamage, 1);
        CHECK(velocityAfterStep(*body) == Vec3());
        CHECK(g_damage.empty());
    }
    SUBCASE("a body at the lowered centre goes straight up")
    {
        auto body = MakeFreeBody(Vec3(5.0f, 20.0f, 5.0f));
        body->SetMass(2.0f);
        Physics::Instance()->Explosion(5.0f, 24.5f, 5.0f, 10.0, 8.0, nullptr, 0);
        CHECK(velocityAfterStep(*body) == Vec3(0.0f, 4.0f, 0.0f));
        CHECK(body->GetSpinRate() == 1.0f);
    }
    SUBCASE("a flag gets a fifth of a unit's push and no spin")
    {
        auto unit = MakeFreeBody(Vec3(3.0f, 20.0f, 0.0f));
        auto flag = MakeFreeBody(Vec3(-3.0f, 20.0f, 0.0f));
        flag->SetCollisionType(kCollisionFlag);
        Physics::Instance()->Explosion(0.0f, 24.5f, 0.0f, 6.0, 10.0, nullptr, 0);
        CHECK(unit->GetSpinRate() == doctest::Approx(0.5f));
        CHECK(unit->GetSpinAxis() == Vec3(0.0f, 0.0f, -1.0f));
        CHECK(flag->GetSpinRate() == 0.0f);
        TestWorld::Step(kDt);
        CHECK(unit->GetVelocity().x == doctest::Approx(5.0f / 0.3f));
        CHECK(flag->GetVelocity().x == doctest::Approx(-1.0f / 0.3f));
    }
    SUBCASE("bodies of no collision type and bodies out of reach are left alone")
    {
        auto scenery = MakeFreeBody(Vec3(1.0f, 20.0f, 0.0f));
        scenery->SetCollisionType(kCollisionNone);
        auto far = MakeFreeBody(Vec3(0.0f, 20.0f, 30.0f));
        Physics::Instance()->Explosion(0.0f, 24.5f, 0.0f, 10.0, 10.0, RecordDamage, 0);
        TestWorld::Step(kDt);
        CHECK(scenery->GetVelocity() == Vec3());
        CHECK(far->GetVelocity() == Vec3());
        CHECK(g_damage.empty());
    }
    SUBCASE("the spin axis lies across the push")
    {
        auto body = MakeFreeBody(Vec3(0.0f, 20.0f, 4.0f));
        Physics::Instance()->Explosion(3.0f, 24.5f, 0.0f, 10.0, 10.0, nullptr, 0);
        const Vec3 axis = body->GetSpinAxis();
        CHECK(axis.x == doctest::Approx(0.8f));
        CHECK(axis.y == 0.0f);
        CHECK(axis.z == doctest::Approx(0.6f));
    }
    SUBCASE("a body straight above spins about x")
    {
        auto body = MakeFreeBody(Vec3(0.0f, 23.0f, 0.0f));
        Physics::Instance()->Explosion(0.0f, 24.5f, 0.0f, 10.0, 10.0, nullptr, 0);
        CHECK(body->GetSpinAxis() == Vec3(1.0f, 0.0f, 0.0f));
    }
    SUBCASE("damage is reported in list order after every push, with the whole user word")
    {
        auto near = MakeFreeBody(Vec3(-2.0f, 20.0f, 0.0f));
        auto later = MakeFreeBody(Vec3(5.0f, 20.0f, 0.0f));
        g_other = later.get();
        int attacker = 0;
        const ExplosionWord word = reinterpret_cast<ExplosionWord>(&attacker);
        Physics::Instance()->Explosion(0.0f, 24.5f, 0.0f, 10.0, 10.0, RecordDamage, word);
        REQUIRE(g_damage.size() == 2);
        CHECK(g_damage[0].body == near.get());
        CHECK(g_damage[0].falloff == doctest::Approx(0.8));
        CHECK(g_damage[0].otherSpin == doctest::Approx(0.5f)); // the later body was already spun
        CHECK(g_damage[1].body == later.get());
        CHECK(g_damage[1].falloff == doctest::Approx(0.5));
        CHECK(reinterpret_cast<int*>(g_damage[1].userData) == &attacker);
    }
    SUBCASE("blasts that are not numbers are ignored")
    {
        auto body = MakeFreeBody(Vec3(0.0f, 20.0f, 0.0f));
        Physics::Instance()->Explosion(NAN, 24.5f, 0.0f, 10.0, 10.0, RecordDamage, 0);
        Physics::Instance()->Explosion(0.0f, 24.5f, 0.0f, INFINITY, 10.0, RecordDamage, 0);
        Physics::Instance()->Explosion(0.0f, 24.5f, 0.0f, 10.0, NAN, RecordDamage, 0);
        CHECK(velocityAfterStep(*body) == Vec3());
        CHECK(g_damage.empty());
    }
}
