// The step: frame time, the ground as the physics reads it, gravity, drag,
// friction and the engine's switches, water, turning and spinning, arrival,
// non-finite motion, and a recorded battle.
#include "PhysicsTestWorld.h"
#include "physics/PhysicsMath.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using namespace physics_test;

TEST_CASE("a step falls by the frame time, a stalled frame by a short one, a zero frame not at all")
{
    TestWorld world;
    const float cases[][2] = {
        {1.0f / 60.0f, 1.0f / 60.0f}, {1.0f / 15.0f, 1.0f / 15.0f}, {0.2f, 0.2f}, {0.25f, 0.0666f}};
    // Not a structured binding: CAPTURE reads the frame from a lambda, which
    // clang 14 refuses for a binding.
    for (const auto& c : cases) {
        const float frame = c[0];
        const float used = c[1];
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

TEST_CASE("the step reads the ground exactly as the terrain answers for it")
{
    TestWorld world([](float x, float z) { return 6.0f * std::sin(x * 0.07f) * std::cos(z * 0.09f) + 0.02f * z; });
    const Terrain& terrain = TestWorld::Ground();
    const GroundGrid& grid = terrain.GetGroundGrid();
    // The corners, the borders, just outside them, vertices (every 4 units),
    // cell middles and diagonals, and points anywhere; eight at a time.
    std::vector<float> xs = {-200.0f, 200.0f, 200.0f, -200.0f, 200.0f,  -7.1f,   200.001f, 0.0f,
                             NAN,     8.0f,   10.0f,  9.0f,    -198.0f, 197.99f, -199.9f,  0.0f};
    std::vector<float> zs = {-200.0f, 200.0f, -200.0f, 200.0f, 13.3f,  -200.0f, 0.0f, -200.001f,
                             0.0f,    -12.0f, -14.0f,  -13.0f, 198.0f, -199.9f, 3.0f, NAN};
    platform::SeedRand(5);
    for (int i = 0; i < 2000; ++i) {
        xs.push_back(RandomIn(404.0f));
        zs.push_back(RandomIn(404.0f));
    }
    const auto bits = [](float value) { return std::bit_cast<std::uint32_t>(value); };
    // Each lane set starts at -7 so a lane the call should leave alone shows.
    const auto lanesOf = [](const GroundGrid::Samples8& samples, float(&out)[4][8]) {
        samples.height.Store(out[0]);
        samples.normalX.Store(out[1]);
        samples.normalY.Store(out[2]);
        samples.normalZ.Store(out[3]);
    };
    for (std::size_t i = 0; i < xs.size(); i += 8) {
        const Float8 x8 = Float8::Load(&xs[i]);
        const Float8 z8 = Float8::Load(&zs[i]);
        GroundGrid::Samples8 sampled;
        GroundGrid::Samples8 normals;
        sampled.height = sampled.normalX = sampled.normalY = sampled.normalZ = Float8(-7.0f);
        normals = sampled;
        grid.SampleLanes(x8, z8, sampled);
        grid.NormalLanes(x8, z8, normals);
        float lane[4][8];
        float normalLane[4][8];
        float heightLane[8];
        lanesOf(sampled, lane);
        lanesOf(normals, normalLane);
        Float8 heights;
        grid.HeightLanes(x8, z8, heights);
        heights.Store(heightLane);
        for (std::size_t k = 0; k < 8; ++k) {
            const float x = xs[i + k];
            const float z = zs[i + k];
            CAPTURE(x);
            CAPTURE(z);
            Vec3 normal(-7.0f, -7.0f, -7.0f);
            terrain.NormalAt(x, z, normal);
            const float height = terrain.HeightAt(x, z);
            GroundGrid::Sample one;
            one.normal = Vec3(-7.0f, -7.0f, -7.0f);
            grid.SampleAt(x, z, one);
            CHECK(bits(one.height) == bits(height));
            CHECK(bits(grid.HeightAt(x, z)) == bits(height));
            CHECK(one.normal == normal);
            CHECK(bits(lane[0][k]) == bits(height));
            CHECK(bits(heightLane[k]) == bits(height));
            CHECK(Vec3(lane[1][k], lane[2][k], lane[3][k]) == normal);
            CHECK(normalLane[0][k] == -7.0f);
            CHECK(Vec3(normalLane[1][k], normalLane[2][k], normalLane[3][k]) == normal);
        }
    }
    // The queries that keep their cells' corners, asked of each point, of
    // it moved less than a cell (some lanes keep their cell, some leave it)
    // and of it again.
    GroundGrid::Corners8 kept;
    for (std::size_t i = 0; i < xs.size(); i += 8) {
        for (const float shift : {0.0f, 0.9f, 0.0f}) {
            GroundGrid::Samples8 keptAnswers;
            keptAnswers.normalX = keptAnswers.normalY = keptAnswers.normalZ = Float8(-7.0f);
            const Float8 x8 = Float8::Load(&xs[i]) + Float8(shift);
            const Float8 z8 = Float8::Load(&zs[i]) - Float8(shift);
            grid.HeightLanesKept(x8, z8, kept, keptAnswers.height);
            grid.NormalLanesKept(x8, z8, kept, keptAnswers);
            float lane[4][8];
            lanesOf(keptAnswers, lane);
            for (std::size_t k = 0; k < 8; ++k) {
                GroundGrid::Sample one;
                one.normal = Vec3(-7.0f, -7.0f, -7.0f);
                grid.SampleAt(xs[i + k] + shift, zs[i + k] - shift, one);
                CHECK(bits(lane[0][k]) == bits(one.height));
                CHECK(Vec3(lane[1][k], lane[2][k], lane[3][k]) == one.normal);
            }
        }
    }
}

// The step keeps the ground's height where it left each body for the next
// step's start; a map loaded again in its place must not leave it standing
// on the old ground.
TEST_CASE("a body stands on the ground as it is after the map under it was loaded again")
{
    TestWorld world([](float, float) { return 5.0f; });
    auto body = MakeFreeBody(Vec3(3.0f, 5.0f, 4.0f), Vec3(), true);
    TestWorld::Step(kDt, 10);
    REQUIRE(body->GetPosition().y == 5.0f);
    REQUIRE(body->GetVelocity().y == 0.0f);
    TestWorld::Ground().LoadFromData(MakeHeightFieldMap(400.0f, 101, FlatGround, -50.0f));
    TestWorld::Step(kDt);
    CHECK(body->GetVelocity().y < 0.0f);
    CHECK(body->GetPosition().y < 5.0f);
}

TEST_CASE("bodies top out once, come to rest on the ground and know when they are under water")
{
    TestWorld world(FlatGround, 2.0f);
    auto thrown = MakeFreeBody(Vec3(0.0f, 2.0f, 0.0f), Vec3(0.0f, 10.0f, 0.0f), true);
    auto dropped = MakeFreeBody(Vec3(10.0f, 10.0f, -10.0f), Vec3(), true);
    auto wet = MakeFreeBody(Vec3(-5.0f, 1.5f, 0.0f));
    int apexes = 0, contacts = 0, droppedWet = 0, wetCount = 0;
    CountEvents(thrown.get(), kEventApex, apexes);
    CountEvents(dropped.get(), kEventGroundContact, contacts);
    CountEvents(dropped.get(), kEventUnderWater, droppedWet);
    CountEvents(wet.get(), kEventUnderWater, wetCount);
    TestWorld::Step(kDt, 120);
    CHECK(apexes == 1);
    contacts = droppedWet = wetCount = 0;
    TestWorld::Step(kDt, 60);
    CHECK(contacts == 60);
    CHECK(droppedWet == 0); // its ground contact takes the step's one event
    CHECK(wetCount == 60);
    CheckNear(dropped->GetPosition(), Vec3(10.0f, 0.0f, -10.0f));
    CHECK(std::fabs(dropped->GetVelocity().y) < 1e-3f);
}

TEST_CASE("gravity, drag and the ground's push each stop acting once switched off, and friction stops a slow body")
{
    TestWorld world;
    Physics& physics = *Physics::Instance();
    // Falling and dragged in the air; pressed into the ground; sliding
    // slowly on it with friction and without.
    auto flying = MakeFreeBody(Vec3(0.0f, 100.0f, 0.0f), Vec3(10.0f, 0.0f, 0.0f), true);
    flying->SetDragEnabled(true);
    flying->SetDragCoefficient(0.5f);
    auto pressed = MakeFreeBody(Vec3(20.0f, 0.0f, 0.0f), Vec3(0.0f, -5.0f, 0.0f), true);
    auto slow = MakeFreeBody(Vec3(-20.0f, 0.0f, 0.0f), Vec3(0.5f, 0.0f, 0.0f), true);
    slow->SetFrictionEnabled(true);
    slow->SetFrictionCoefficient(0.5f);
    auto slick = MakeFreeBody(Vec3(-40.0f, 0.0f, 0.0f), Vec3(0.5f, 0.0f, 0.0f), true);
    slick->SetFrictionCoefficient(0.5f); // but friction is not enabled

    SUBCASE("all on")
    {
        TestWorld::Step(kDt);
        CHECK(flying->GetVelocity().x < 9.99f);
        CHECK(flying->GetVelocity().y == doctest::Approx(-30.0f * kDt));
        CHECK(std::fabs(pressed->GetVelocity().y) < 1e-3f);
        // A speed loss per step larger than the speed stops the body dead,
        // neither reversed nor NaN.
        CHECK(slow->GetVelocity() == Vec3());
        CHECK(slick->GetVelocity() == Vec3(0.5f, 0.0f, 0.0f));
    }
    SUBCASE("gravity off")
    {
        physics.SetGravityOn(false);
        TestWorld::Step(kDt);
        CHECK(flying->GetVelocity().y == 0.0f);
        CHECK(flying->GetPosition().y == 100.0f);
        CHECK(flying->GetVelocity().x < 9.99f);
        CHECK(slow->GetVelocity().x == 0.5f); // nothing presses it on the ground
    }
    SUBCASE("drag off")
    {
        physics.SetDragOn(false);
        TestWorld::Step(kDt);
        CHECK(flying->GetVelocity().x == 10.0f);
        CHECK(flying->GetVelocity().y < 0.0f);
    }
    SUBCASE("the ground's push off: it only holds the body up")
    {
        physics.SetGroundOn(false);
        TestWorld::Step(kDt);
        CHECK(pressed->GetVelocity().y == -5.0f);
        CHECK(pressed->GetPosition().y == 0.0f);
    }
}

TEST_CASE("a body faces a way as its steering aims, and a spinning body turns with its spin until it lands")
{
    TestWorld world;
    Physical alone(0.0f, 0.0f, 0.0f, nullptr); // not registered: its state is its own all the same
    const float faced[][3] = {
        {0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, kPi / 2.0f}, {-1.0f, 0.0f, -kPi / 2.0f}, {0.0f, -1.0f, kPi}};
    for (const auto& [x, z, heading] : faced) {
        alone.FaceDirection(x, 5.0f, z);
        CHECK(alone.GetHeading() == doctest::Approx(heading));
    }
    // Facing its destination already, a walking body has no turn to make.
    auto walker = MakeFreeBody(Vec3(0.0f, 0.0f, 0.0f));
    walker->SetSteering(true);
    walker->SetDestination(30.0f, 0.0f, -40.0f);
    walker->FaceDirection(30.0f, 0.0f, -40.0f);
    const float facing = walker->GetHeading();

    // Dropped spinning, with its destination straight along +z (heading 0).
    auto spinner = MakeFreeBody(Vec3(50.0f, 20.0f, 0.0f), Vec3(), true);
    spinner->SetSteering(true);
    spinner->SetHeading(1.0f);
    spinner->SetSpinRate(0.5f);
    spinner->SetDestination(50.0f, 0.0f, 100.0f);
    TestWorld::Step(kDt);
    CHECK(walker->GetHeading() == facing);
    CHECK(spinner->GetHeading() == doctest::Approx(1.0f + 15.7f * kDt));
    TestWorld::Step(kDt, 59); // still in the air
    CHECK(spinner->GetSpinRate() == 0.5f);
    CHECK(spinner->GetHeading() == doctest::Approx(1.0f + 15.7f).epsilon(1e-4));
    TestWorld::Step(kDt, 60); // landed, and turned toward the destination since
    CHECK(spinner->GetSpinRate() == 0.0f);
    CHECK(spinner->GetSpinAxis() == Vec3(0.0f, 1.0f, 0.0f));
    CHECK(std::remainder(spinner->GetHeading(), 2.0f * kPi) == doctest::Approx(0.0f).epsilon(1e-5));
}

// Steering one body at a time is the recorded battle's; these guard the
// batched turn against it.
TEST_CASE("bodies turned together turn to the bit as each would alone")
{
    TestWorld world;
    // Seven turns, so one batch is full and one is not: snapping, a tie
    // straight behind, headings beyond two pi and beyond the turn's
    // limit, a quick aim right at the edge of a step's turn.
    const struct {
        float heading;
        Vec3 toDestination;
    } turns[] = {
        {0.1f, Vec3(0.0f, 0.0f, 100.0f)},
        {3.0f, Vec3(-40.0f, 0.0f, 3.0f)},
        {0.0f, Vec3(0.0f, 0.0f, -50.0f)},
        {7.0f, Vec3(20.0f, 0.0f, 20.0f)},
        {-20.0f, Vec3(-5.0f, 0.0f, 9.0f)},
        {2.0e6f, Vec3(1.0f, 0.0f, 1.0f)},
        {0.3f, Vec3(100.0f, 0.0f, 100.0f * std::tan(kPi / 2.0f - 0.6f))},
    };
    const auto turned = [&turns](std::size_t first, std::size_t last) {
        std::vector<std::unique_ptr<Physical>> bodies;
        for (std::size_t i = first; i < last; ++i) {
            const Vec3 start(-90.0f + 30.0f * static_cast<float>(i), 20.0f, 0.0f);
            bodies.push_back(MakeFreeBody(start));
            bodies.back()->SetSteering(true);
            bodies.back()->SetTurnRate(6.0f);
            bodies.back()->SetHeading(turns[i].heading);
            const Vec3 to = start + turns[i].toDestination;
            bodies.back()->SetDestination(to.x, to.y, to.z);
        }
        TestWorld::Step(0.05f, 3);
        std::vector<float> headings;
        for (const auto& b : bodies) {
            headings.push_back(b->GetHeading());
            Physics::Instance()->RemoveObject(b.get());
        }
        return headings;
    };
    const std::vector<float> together = turned(0, std::size(turns));
    for (std::size_t i = 0; i < std::size(turns); ++i) {
        CAPTURE(i);
        CHECK(turned(i, i + 1).front() == together[i]);
    }
    CHECK(together[0] == doctest::Approx(0.0f));  // closer than a step: snapped
    CHECK(together[2] == doctest::Approx(-0.9f)); // a tie straight behind goes the negative way
    CHECK(together[5] == 2.0e6f);

    // The turn of one body, which the batch falls back on when it cannot
    // settle a turn: the short way round, across two pi too, reaching a
    // target closer than a step, and straight behind the negative way.
    CHECK(physics::TurnToward(1.0, 0.0, 6.0, 0.05) == doctest::Approx(0.3));
    CHECK(physics::TurnToward(-1.0, 0.0, 6.0, 0.05) == doctest::Approx(-0.3));
    CHECK(physics::TurnToward(5.5, 0.0, 6.0, 0.05) == doctest::Approx(-0.3));
    CHECK(physics::TurnToward(0.2, 0.0, 6.0, 0.05) == 0.2);
    CHECK(physics::TurnToward(kPi, 0.0, 6.0, 0.05) == doctest::Approx(-0.3));
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
    SUBCASE("an overflowing push stops the body where it stood, and no mass poisons nobody")
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
        // The massless body goes wrong in every step, and is reported once.
        const std::string log = testing::ReadTextFile("Physics.txt");
        std::size_t reports = 0;
        for (std::size_t at = log.find("not finite"); at != std::string::npos; at = log.find("not finite", at + 1)) {
            ++reports;
        }
        CHECK(reports == 2);
    }
}

namespace {

// A battle on rolling ground: eight armies of forty, each marching through the
// middle toward the army opposite, with two blasts among them once they meet.
// Returns each army's centre and then eight sample bodies' places.
int g_battleContacts = 0; // unit-unit handler calls

std::vector<Vec3> RunBattle()
{
    TestWorld world([](float x, float z) { return 5.0f * std::sin(x * 0.06f) * std::cos(z * 0.05f) + 0.01f * x; },
                    -3.0f);
    CollisionHandlers handlers;
    handlers.unitOnCollideUnit = [](Physical*, Physical*) { ++g_battleContacts; };
    Physics::Instance()->SetCollisionHandlers(handlers);
    platform::SeedRand(11);
    const char* const types[] = {"Smashtor", "Triangoloid", "Trajectagon", "Artillerator", "Detagon"};
    std::vector<std::unique_ptr<Physical>> bodies;
    for (int army = 0; army < 8; ++army) {
        const float angle = static_cast<float>(army) * 3.14159265f / 4.0f;
        const float x = std::cos(angle) * 35.0f;
        const float z = std::sin(angle) * 35.0f;
        for (int i = 0; i < 40; ++i) {
            const float dx = static_cast<float>(i % 8 - 4) * 2.2f + RandomIn(0.4f);
            const float dz = static_cast<float>(i / 8 - 2) * 2.2f + RandomIn(0.4f);
            auto unit = MakeUnitBody(types[i % 5], x + dx, z + dz);
            unit->SetCollisionType(kCollisionUnit);
            unit->SetDestination(-x * 0.9f + dx, 0.0f, -z * 0.9f + dz);
            bodies.push_back(std::move(unit));
        }
    }
    for (int step = 0; step < 480; ++step) {
        if (step == 240 || step == 330) {
            Physics::Instance()->Explosion(3.0f, 0.0f, -2.0f, 14.0, 6.0, nullptr, 0);
        }
        TestWorld::Step(kDt);
    }
    std::vector<Vec3> ends(8);
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        ends[i / 40] += bodies[i]->GetPosition() / 40.0f;
    }
    for (const std::size_t i : {0, 37, 81, 119, 160, 203, 255, 319}) {
        ends.push_back(bodies[i]->GetPosition());
    }
    return ends;
}

} // namespace

// Recorded from the engine as it stood before the step was rewritten for
// speed; a faster step must end the same battle in the same places.
TEST_CASE("a recorded battle of 320 units ends where it always has")
{
    const std::vector<Vec3> recorded = {{-6.998221f, -1.727443f, 1.010921f},   {-7.862382f, -2.179242f, 3.568425f},
                                        {-7.196004f, -2.006590f, 3.533709f},   {-4.325415f, -1.189502f, 1.459599f},
                                        {-2.365916f, -0.542161f, -0.592788f},  {-3.618857f, -1.017345f, -1.711530f},
                                        {-8.115416f, -2.194381f, -5.013279f},  {-7.306688f, -1.987434f, -4.597161f},
                                        {-13.774311f, -3.766029f, -1.130429f}, {-0.565984f, -0.160553f, 7.146687f},
                                        {-8.140888f, -2.351951f, -4.715867f},  {-4.638528f, -1.192009f, 11.399156f},
                                        {-8.628277f, -2.524953f, -1.940036f},  {-10.451748f, -2.916100f, -4.921504f},
                                        {-3.163947f, -0.897525f, -7.224255f},  {3.460706f, 1.021190f, -5.208909f}};
    const std::vector<Vec3> ends = RunBattle();
    REQUIRE(ends.size() == recorded.size());
    for (std::size_t i = 0; i < ends.size(); ++i) {
        CAPTURE(i);
        CheckNear(ends[i], recorded[i], 1e-3);
    }
    CHECK(g_battleContacts == 63899);
}
