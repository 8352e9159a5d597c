// Computer armies: their brains by mode, group orders and engagements, the
// choice of whom to march on, the flank, and random points.
#include "../units/BattleTestWorld.h"

#include "game/AiStrategy.h"
#include "game/ComputerArmy.h"
#include "game/GameRules.h"
#include "game/GroupMover.h"

#include <vector>

using units_test::BattleWorld;

namespace {

// units Smashtors and one of each of others, placed at (x, z) and thinking by mode.
ComputerArmy& AddComputerArmy(BattleWorld& world, float x, float z, int units, GameMode mode,
                              std::initializer_list<UnitType> others = {})
{
    auto owned = std::make_unique<ComputerArmy>();
    owned->SetPoints(100);
    ComputerArmy& army = static_cast<ComputerArmy&>(*Battle::Instance()->AddArmy(std::move(owned)));
    for (int i = 0; i < units; ++i) {
        world.AddUnit(army, kSmashtor, x, z);
    }
    for (const UnitType type : others) {
        world.AddUnit(army, type, x, z);
    }
    army.Place(x, 0.0f, z);
    army.SetupStrategies(mode);
    return army;
}

} // namespace

TEST_CASE("a computer army thinks by its mode, and never over an army with nothing left")
{
    BattleWorld world;
    AiStrategy::ResetReplanInterval();
    GameRules::Instance()->BeginMatch(kModeBodyCount, 1.0f, 0.0f);

    SUBCASE("group orders spare fighters unless forced, engagements spare the dying, and each mode has its brain")
    {
        ComputerArmy& own = AddComputerArmy(world, 0.0f, 0.0f, 2, kModeBodyCount);
        ComputerArmy& enemy = AddComputerArmy(world, 30.0f, 0.0f, 2, kModeBodyCount);
        Unit& leader = *own.GetGroup(0).front();
        leader.SetOrder(kOrderAttack, false);
        own.OrderGroup({20.0f, 0.0f, 0.0f}, 0, false);
        CHECK(leader.GetDestination().x != doctest::Approx(20.0f));
        own.OrderGroup({20.0f, 0.0f, 0.0f}, 0, true);
        CHECK(leader.GetDestination().x == doctest::Approx(20.0f));

        enemy.GetUnits().front()->SetOrder(kOrderDying, false);
        Unit& dying = *own.GetUnits().back();
        dying.SetOrder(kOrderDying, false);
        own.EngageArmy(enemy);
        CHECK(dying.GetOrder() == kOrderDying);
        CHECK(own.GetUnits().front()->GetOrder() == kOrderEngage);
        CHECK(own.GetUnits().front()->GetTargets().target == enemy.GetUnits().back().get());
        own.GetController()->IssueOrders({0.0f, 0.0f, 50.0f}, nullptr);
        const UnitOrder busy = kOrderBusy;
        own.GetController()->IssueOrders({0.0f, 0.0f, 50.0f}, &busy);
        CHECK(dying.GetOrder() == kOrderDying);

        // Each mode has its strategy, King Of The Hill none, and every army a controller.
        CHECK(AiStrategy::Create(kModeTerritories, AddComputerArmy(world, 0.0f, 0.0f, 1, kModeTerritories)) != nullptr);
        ComputerArmy& king = AddComputerArmy(world, 0.0f, 0.0f, 1, kModeKingOfTheHill);
        CHECK(king.GetStrategy() == nullptr);
        CHECK(king.GetController() != nullptr);
        king.Update(); // the controller alone
    }
    SUBCASE("the nearest armies are the live others, nearest first, and an empty army is nowhere")
    {
        ComputerArmy& own = AddComputerArmy(world, 0.0f, 0.0f, 4, kModeBodyCount);
        ComputerArmy& far = AddComputerArmy(world, 100.0f, 0.0f, 4, kModeBodyCount);
        ComputerArmy& near = AddComputerArmy(world, 40.0f, 0.0f, 4, kModeBodyCount);
        ComputerArmy& empty = AddComputerArmy(world, 10.0f, 0.0f, 0, kModeBodyCount);
        CHECK(own.GetController()->GetNearestArmies() == std::vector<Army*>{&near, &far});
        for (int i = 0; i < 4; ++i) {
            near.RemoveUnit(static_cast<std::uint8_t>(i));
        }
        CHECK(own.GetController()->GetNearestLiveArmy() == &far);
        CHECK_FALSE(empty.GetCentre().has_value());
        CHECK(own.GetStrengthRatio(empty) == 0.0);
        CHECK(empty.GetStrengthRatio(own) == 0.0);
        // Engaging a wiped-out army changes nobody's order.
        own.EngageArmy(near);
        CHECK_FALSE(own.IsFighting());
        // Marching with time run out goes to the live army, never to nowhere.
        world.Advance(70.0);
        for (int frame = 0; frame < 3; ++frame) {
            world.Frame();
        }
        for (const std::unique_ptr<Unit>& unit : own.GetUnits()) {
            CHECK(Vec3IsFinite(unit->GetDestination()));
        }
    }
}

TEST_CASE("the flank lines the army up across the enemy's direction, and random points stay within their radius")
{
    BattleWorld world;
    GameRules::Instance()->BeginMatch(kModeLastManOnTheHill, 1.0f, 0.0f);
    GroupMover::Instance()->SetFormation(kFormationNone);
    ComputerArmy& army =
        AddComputerArmy(world, 0.0f, 0.0f, 1, kModeLastManOnTheHill, {kTriangoloid, kTrajectagon, kDetagon});
    const Vec3 centre = *army.GetCentre();
    army.GetController()->Flank(centre + Vec3(0.0f, 0.0f, 40.0f));
    // d = +z, s = (1, 0, 0): Smashtors ahead and to +x, Triangoloids ahead
    // and to -x, Trajectagons behind, Detagons at the centre.
    const auto at = [&army](UnitType type) { return army.GetUnitsOfType(type).front()->GetDestination(); };
    CHECK(at(kSmashtor).z - centre.z == doctest::Approx(10.0f).epsilon(0.05));
    CHECK(at(kSmashtor).x > centre.x);
    CHECK(at(kTriangoloid).x < centre.x);
    CHECK(at(kTrajectagon).z - centre.z == doctest::Approx(-10.0f).epsilon(0.05));
    testing::CheckNear(at(kDetagon), centre, 1e-3);
    GroupMover::Instance()->ResetFormation();

    // Random points stay within their radius, and a radius under one is the centre.
    platform::SeedRand(5);
    for (const float radius : {0.0f, 0.9f, -0.5f, std::nanf("")}) {
        CHECK(AiStrategy::RandomPoint(radius) == Vec3());
    }
    for (int i = 0; i < 200; ++i) {
        CHECK(Vec3Length(AiStrategy::RandomPoint(200.0f)) < 200.0f);
        CHECK(Vec3Length(AiStrategy::RandomPoint(-7.0f)) < 7.0f);
    }
}
