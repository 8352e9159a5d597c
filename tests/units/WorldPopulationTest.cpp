// A map's lists become scenery, start slots and the mode's flags; and a
// projectile's flight attitude.
#include "BattleTestWorld.h"

#include "game/Flag.h"
#include "game/WorldPopulation.h"

#include <cmath>

using namespace units_test;

namespace {

Terrain& MapWithLists(std::size_t starts)
{
    static Terrain terrain;
    MapData data = MakeHeightFieldMap(400.0f, 41, Flat, -50.0f);
    data.trees = {{10.0f, 0.0f, 10.0f}, {20.0f, 0.0f, 10.0f}, {30.0f, 0.0f, 10.0f}};
    data.rocks = {{-10.0f, 0.0f, 10.0f}};
    for (std::size_t i = 0; i < starts; ++i) {
        data.starts.push_back({static_cast<float>(i) * 10.0f, 0.0f, -50.0f});
    }
    data.flags = {{0.0f, 0.0f, 0.0f}, {60.0f, 0.0f, 0.0f}, {-60.0f, 0.0f, 0.0f}};
    REQUIRE(terrain.LoadFromData(std::move(data)));
    return terrain;
}

} // namespace

TEST_CASE(
    "the map's lists populate the battle, flags the mode does not keep are gone, and a projectile pitches as it flies")
{
    BattleWorld world;
    Battle* const battle = Battle::Instance();

    // Kept flags by mode; the others leave the physics.
    PopulateWorldObjects(*battle, MapWithLists(8), kModeTerritories);
    CHECK(battle->GetFlags().size() == 3);
    battle->Clear();
    PopulateWorldObjects(*battle, MapWithLists(8), kModeBodyCount);
    CHECK(battle->GetFlags().empty());
    CHECK(Physics::Instance()->GetBodyCount() == 4);
    battle->Clear();
    PopulateWorldObjects(*battle, MapWithLists(8), kModeLastManOnTheHill);
    REQUIRE(battle->GetFlags().size() == 1);
    const Flag& flag = *battle->GetFlags()[0];
    CHECK(flag.GetMeshType() == ObjectMeshType::Flag);
    CHECK(flag.GetCollisionType() == kCollisionNone);
    CHECK_FALSE(flag.GetMovable());
    CHECK(Physics::Instance()->GetBodyCount() == 5);

    // A projectile pitches up rising and down falling, and a vertical flight stays a number.
    Unit& gun = world.AddUnit(world.AddArmy(), kTrajectagon, 0.0f, 0.0f);
    Projectile& shot = *battle->AddProjectile(std::make_unique<Projectile>(
        Vec3(0.0f, 5.0f, 0.0f), ObjectMeshType::Bullet, Vec3(0.0f, 1.0f, 1.0f), 3.0f, &gun));
    CHECK(shot.GetCollisionType() == kCollisionProjectile);
    Physics::Instance()->Step(kFrame);
    shot.Update();
    CHECK(shot.GetPitch() > 0.0f);
    shot.SetVelocity({0.0f, -2.0f, 3.0f});
    shot.Update();
    CHECK(shot.GetPitch() < 0.0f);
    shot.SetVelocity({0.0f, 5.0f, 0.0f});
    shot.Update();
    CHECK(std::isfinite(shot.GetPitch()));
    CHECK(shot.GetPitchAxis() == Vec3());
}
