#include "../units/BattleTestWorld.h"
#include "app/GameNetWorld.h"
#include "game/AnimationController.h"

#include <doctest/doctest.h>

using units_test::BattleWorld;

TEST_CASE("the game's network world moves, targets and overwrites the battle's units")
{
    BattleWorld battle;
    Army& red = battle.AddArmy(4000);
    Army& blue = battle.AddArmy(4000);
    Unit& smashtor = battle.AddUnit(red, kSmashtor, 0.0f, 0.0f);
    Unit& enemy = battle.AddUnit(blue, kTriangoloid, 20.0f, 0.0f);
    GameNetWorld world;
    const UnitHead head{smashtor.GetIndex(), red.GetId()};
    const std::uint8_t blueId = blue.GetId();

    // A unit state is copied but for heading, and read back the same.
    const UnitStateMessage state{.head = head,
                                 .position = {5.0f, 0.0f, 6.0f},
                                 .destination = {50.0f, 0.0f, 60.0f},
                                 .velocity = {1.0f, 0.0f, 2.0f},
                                 .spinAxis = {},
                                 .turnRate = 0.0f,
                                 .heading = 2.5f,
                                 .order = kOrderMove,
                                 .hitPoints = 7,
                                 .targets = {enemy.GetIndex(), kNoUnitByte, blueId, kNoUnitByte},
                                 .arrived = 0};
    smashtor.GetAnimationController().SetAnimation(kAnimationIdle);
    const float heading = smashtor.GetHeading();
    REQUIRE(world.ApplyUnitState(state));
    CHECK(smashtor.GetPosition() == state.position);
    CHECK(smashtor.GetDestination() == state.destination);
    CHECK(smashtor.GetOrder() == kOrderMove);
    CHECK(smashtor.GetAnimationController().GetAnimation() == kAnimationWalk);
    CHECK(smashtor.GetHitPoints() == 7);
    CHECK(smashtor.GetTargets().target == &enemy);
    CHECK(smashtor.GetHeading() == heading);

    // The network test carries a state to a client; the targets' bytes are checked here.
    UnitStateMessage back;
    REQUIRE(world.ReadUnitState(0, 0, back));
    CHECK(back.targets.targetUnit == enemy.GetIndex());
    CHECK(back.targets.lastUnit == kNoUnitByte);
    CHECK_FALSE(world.ReadUnitState(0, 5, back));
    UnitStateMessage missing;
    missing.head = {99, red.GetId()};
    CHECK_FALSE(world.ApplyUnitState(missing));

    // Targets resolve by bytes: none clears, an unknown army leaves them be.
    smashtor.SetTargets({&enemy, &blue, &enemy});
    GameNetWorld::ResolveUnitTargets(smashtor, {0, 0, 77, 77});
    CHECK(smashtor.GetTargets().target == &enemy);
    CHECK(smashtor.GetTargets().lastAttacker == &enemy);
    GameNetWorld::ResolveUnitTargets(smashtor, {kNoUnitByte, kNoUnitByte, kNoUnitByte, kNoUnitByte});
    CHECK(smashtor.GetTargets().target == nullptr);
    CHECK(smashtor.GetTargets().targetArmy == nullptr);
    CHECK(smashtor.GetTargets().lastAttacker == nullptr);
    // A target always comes with its army, so a search has one to look in.
    GameNetWorld::ResolveUnitTargets(smashtor, {enemy.GetIndex(), kNoUnitByte, blueId, kNoUnitByte});
    CHECK(smashtor.GetTargets().targetArmy == &blue);

    // Orders reach the named unit only.
    // A move that arrives is played by the network test.
    CHECK_FALSE(world.MoveUnit({head.unit, 200}, {}));
    CHECK(world.DestroyUnit({enemy.GetIndex(), blueId}));
    CHECK(blue.GetUnits().empty());
    CHECK_FALSE(world.DestroyUnit({enemy.GetIndex(), blueId}));
}

TEST_CASE("a network army's start is put on the loaded map with room for the army")
{
    BattleWorld battle;                                                                      // a 400-unit map
    CHECK(GameNetWorld::StartOnMap({-120.0f, 3.0f, 135.0f}) == Vec3{-120.0f, 3.0f, 135.0f}); // a map's own start
    const Vec3 far = GameNetWorld::StartOnMap({3.0e38f, -3.0e38f, -3.0e38f});
    CHECK(far.x == doctest::Approx(180.0f));
    CHECK(far.z == doctest::Approx(-180.0f));
    CHECK(std::isfinite(far.y));
    CHECK(GameNetWorld::StartOnMap({std::nanf(""), 0.0f, INFINITY}) == Vec3{0.0f, 0.0f, 0.0f});
}
