// The engine's registry, forces, callbacks, radius queries and explosions.
#include "PhysicsTestWorld.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace physics_test;

TEST_CASE("bodies join once and leave when deleted, forces are impulses, and strangers and NaN are ignored")
{
    TestWorld world;
    Physics* physics = Physics::Instance();
    auto body = MakeFreeBody(Vec3(0.0f, 5.0f, 0.0f), Vec3(6.0f, 0.0f, 0.0f));
    physics->AddObject(body.get());
    CHECK(physics->GetBodyCount() == 1);
    TestWorld::Step(0.5f / 6.0f);
    CHECK(body->GetPosition().x == doctest::Approx(0.5f)); // moved once
    body->SetMass(0.5f);
    body->SetVelocity(Vec3());
    physics->AddForce(body.get(), Vec3(1.0f, 0.0f, 0.5f));
    physics->AddForce(body.get(), Vec3(1.0f, 0.0f, 0.0f));
    TestWorld::Step(1.0f / 240.0f, 2); // used up in the first, whatever its length
    CheckNear(body->GetVelocity(), Vec3(4.0f, 0.0f, 1.0f));
    Physical stranger(0.0f, 0.0f, 0.0f, nullptr); // never registered
    int calls = 0;
    physics->AddCallback(
        &stranger, [&calls](Physical*) { ++calls; }, kEventGroundContact, false);
    physics->AddForce(&stranger, Vec3(100.0f, 0.0f, 0.0f));
    physics->RemoveObject(&stranger);
    physics->AddForce(body.get(), Vec3(NAN, 0.0f, 0.0f));
    physics->AddForce(body.get(), Vec3(0.0f, INFINITY, 0.0f));
    TestWorld::Step(kDt);
    CHECK(calls == 0);
    CHECK(stranger.GetVelocity() == Vec3());
    CheckNear(body->GetVelocity(), Vec3(4.0f, 0.0f, 1.0f));
    body.reset();
    CHECK(physics->GetBodyCount() == 0);
    TestWorld::Step(kDt);
}

TEST_CASE("the list a step sorts holds the bodies that joined and not those that left since the last step")
{
    TestWorld world;
    Physics* physics = Physics::Instance();
    auto left = MakeFreeBody(Vec3(-5.0f, 0.5f, 0.0f));
    auto stays = MakeFreeBody(Vec3(5.0f, 0.5f, 0.0f));
    TestWorld::Step(kDt);
    physics->RemoveObject(left.get()); // still alive, so its place in the store stays taken
    auto joined = MakeFreeBody(Vec3(-15.0f, 0.5f, 0.0f));
    TestWorld::Step(kDt);
    CHECK(physics->IsSorted());
    std::vector<Physical*> found;
    physics->QueryRadius(0.0f, 0.5f, 0.0f, 100.0, found);
    CHECK(found == std::vector<Physical*>{joined.get(), stays.get()});
}

TEST_CASE("removal and deletion inside a callback wait for the end of the step")
{
    TestWorld world;
    Physics* physics = Physics::Instance();
    auto first = MakeFreeBody(Vec3(-10.0f, 0.5f, 0.0f));
    auto second = MakeFreeBody(Vec3(10.0f, 0.5f, 0.0f));
    auto doomed = MakeFreeBody(Vec3(20.0f, 0.5f, 0.0f));
    std::vector<std::string> calls;
    const auto record = [&](Physical* body, const char* name) {
        physics->AddCallback(
            body, [&calls, name](Physical*) { calls.push_back(name); }, kEventGroundContact, false);
    };
    physics->AddCallback(
        first.get(),
        [&](Physical* body) {
            physics->RemoveObject(body);
            calls.push_back(body->GetInPhysics() ? "still in" : "out");
            physics->RemoveObject(doomed.get());
            doomed.reset(); // its own callback is due in this step
            physics->Explosion(20.0f, 4.5f, 0.0f, 30.0, 5.0, nullptr, 0);
        },
        kEventGroundContact, false);
    record(second.get(), "second");
    record(doomed.get(), "doomed");
    TestWorld::Step(kDt, 2);
    CHECK(calls == std::vector<std::string>{"out", "second", "second"});
    CHECK(physics->GetBodyCount() == 1);
    CHECK_FALSE(physics->IsRegistered(first.get()));
}

TEST_CASE("event callbacks run after the step, one per body per step")
{
    TestWorld world;
    Physics* physics = Physics::Instance();
    auto body = MakeFreeBody(Vec3(0.0f, 0.0f, 0.0f)); // on the ground: contact every step
    std::vector<int> calls;
    const auto record = [&](int id) { return [&calls, id](Physical*) { calls.push_back(id); }; };

    SUBCASE("two fired in one step run in consecutive steps, in the order added")
    {
        auto thrown = MakeFreeBody(Vec3(20.0f, 0.0f, 0.0f), Vec3(0.0f, 0.2f, 0.0f));
        thrown->SetGravityEnabled(true); // tops out in the first step, still touching
        physics->AddCallback(thrown.get(), record(1), kEventApex, true);
        physics->AddCallback(thrown.get(), record(2), kEventGroundContact, true);
        TestWorld::Step(kDt);
        CHECK(calls == std::vector<int>{1});
        TestWorld::Step(kDt, 2);
        CHECK(calls == std::vector<int>{1, 2});
    }
    SUBCASE("one-shot callbacks go, persistent ones stay while their event does")
    {
        physics->AddCallback(body.get(), record(0), kEventGroundContact, false);
        physics->AddCallback(body.get(), record(1), kEventGroundContact, true);
        physics->RemoveCallback(body.get(), kEventGroundContact); // the first of the event
        physics->AddCallback(body.get(), record(2), kEventGroundContact, false);
        TestWorld::Step(kDt, 4);
        CHECK(calls == std::vector<int>{1, 2, 2, 2});
        body->SetPosition(Vec3(0.0f, 50.0f, 0.0f));
        TestWorld::Step(kDt, 2);
        CHECK(calls.size() == 4);
    }
}

TEST_CASE("radius queries agree with a scan of every body")
{
    TestWorld world;
    const auto query = [](const Vec3& centre, double radius) {
        std::vector<Physical*> found;
        Physics::Instance()->QueryRadius(centre.x, centre.y, centre.z, radius, found);
        std::sort(found.begin(), found.end());
        return found;
    };
    {
        auto onEdge = MakeFreeBody(Vec3(3.0f, 4.0f, 0.0f)); // the boundary is in
        auto high = MakeFreeBody(Vec3(1.0f, 9.0f, 0.0f));   // the distance is three-dimensional
        auto outside = MakeFreeBody(Vec3(3.0f, 4.0f, 0.5f));
        CHECK(query(Vec3(), 5.0) == std::vector<Physical*>{onEdge.get()});
    }
    platform::SeedRand(7);
    const auto randomPoint = [](float range) { return Vec3(RandomIn(range), RandomIn(10.0f), RandomIn(range)); };
    std::vector<std::unique_ptr<Physical>> bodies;
    for (int i = 0; i < 300; ++i) {
        bodies.push_back(MakeFreeBody(randomPoint(100.0f)));
    }
    for (int round = 0; round < 50; ++round) {
        for (int i = 0; i < 20; ++i) { // some move between queries
            bodies[static_cast<std::size_t>(platform::Rand()) % bodies.size()]->SetPosition(randomPoint(100.0f));
        }
        const Vec3 centre = randomPoint(120.0f);
        const double radius = static_cast<double>(platform::Rand() % 30);
        std::vector<Physical*> expected;
        for (const auto& body : bodies) {
            const Vec3 d = body->GetPosition() - centre;
            const double dx = d.x, dy = d.y, dz = d.z;
            if (dx * dx + dy * dy + dz * dz <= radius * radius) {
                expected.push_back(body.get());
            }
        }
        std::sort(expected.begin(), expected.end());
        CHECK(query(centre, radius) == expected);
    }
}

namespace {

struct Damage {
    Physical* body = nullptr;
    double falloff = 0.0;
    ExplosionWord userData = 0;
    float otherSpin = 0.0f; // the spin of g_other when this body was reported
};

std::vector<Damage> g_damage;
Physical* g_other = nullptr;

void RecordDamage(Physical* body, double falloff, ExplosionWord userData)
{
    g_damage.push_back({body, falloff, userData, g_other->GetSpinRate()});
}

} // namespace

TEST_CASE("explosions push, spin and report the bodies in reach and leave the rest alone")
{
    TestWorld world;
    Physics* physics = Physics::Instance();
    g_damage.clear();
    auto flag = MakeFreeBody(Vec3(-2.0f, 20.0f, 0.0f));
    flag->SetCollisionType(kCollisionFlag);
    auto centred = MakeFreeBody(Vec3(0.0f, 20.0f, 0.0f));
    centred->SetMass(2.0f);
    auto scenery = MakeFreeBody(Vec3(1.0f, 20.0f, 3.0f));
    scenery->SetCollisionType(kCollisionNone);
    auto unit = MakeFreeBody(Vec3(5.0f, 20.0f, 0.0f));
    g_other = unit.get();
    // The centre is lowered by 4.5, to (0, 20, 0).
    physics->Explosion(0.0f, 24.5f, 0.0f, 0.0, 50.0, RecordDamage, 0);
    physics->Explosion(0.0f, 24.5f, 0.0f, INFINITY, 10.0, RecordDamage, 0);
    physics->Explosion(0.0f, 24.5f, 0.0f, 10.0, NAN, RecordDamage, 0);
    physics->Explosion(NAN, 24.5f, 0.0f, 10.0, 10.0, RecordDamage, 0);
    TestWorld::Step(kDt);
    CHECK(unit->GetVelocity() == Vec3());
    CHECK(g_damage.empty());

    int attacker = 0;
    physics->Explosion(0.0f, 24.5f, 0.0f, 10.0, 10.0, RecordDamage, reinterpret_cast<ExplosionWord>(&attacker));
    CHECK(unit->GetSpinRate() == doctest::Approx(0.5f));
    CHECK(flag->GetSpinRate() == 0.0f);
    REQUIRE(g_damage.size() == 3); // in list order, after every push
    CHECK(g_damage[0].body == flag.get());
    CHECK(g_damage[0].falloff == doctest::Approx(0.8));
    CHECK(g_damage[0].otherSpin == doctest::Approx(0.5f));
    CHECK(g_damage[2].body == unit.get());
    CHECK(g_damage[2].falloff == doctest::Approx(0.5));
    CHECK(reinterpret_cast<int*>(g_damage[2].userData) == &attacker);
    TestWorld::Step(kDt);
    CheckNear(unit->GetVelocity(), Vec3(5.0f / 0.3f, 0.0f, 0.0f));
    CheckNear(flag->GetVelocity(), Vec3(-1.6f / 0.3f, 0.0f, 0.0f)); // a fifth
    CheckNear(centred->GetVelocity(), Vec3(0.0f, 5.0f, 0.0f));
    CHECK(scenery->GetVelocity() == Vec3());
}
