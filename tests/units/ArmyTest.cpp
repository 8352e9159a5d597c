// Armies: the point budget, strength and centre, placing and dealing into
// groups, removal of units, and the per-frame pass over the armies.
#include "BattleTestWorld.h"

using namespace units_test;

TEST_CASE("an army buys, loses, places and runs its units")
{
    BattleWorld world;

    // The budget: exact buys, refused buys, and points plus live value stay the budget.
    Army& budget = world.AddArmy(3);
    CHECK(budget.AddUnit(kSmashtor));
    CHECK(budget.AddUnit(kDetagon));
    CHECK(budget.AddUnit(kArtillerator));
    CHECK(budget.GetPoints() == 0);
    CHECK_FALSE(budget.AddUnit(kSmashtor));
    CHECK_FALSE(budget.AddUnit(kUnitTypeCount)); // no such type
    CHECK(budget.GetUnits().size() == 3);
    budget.RemoveUnit(1);
    budget.RemoveUnit(1); // already dead: nothing
    budget.RemoveUnit(200);
    CHECK(budget.GetPoints() + budget.GetLiveValue() == budget.GetStartingPoints());
    CHECK(budget.FindUnit(1) == nullptr);
    CHECK(budget.FindUnit(2) != nullptr);
    CHECK(budget.GetDeadCount() == 1);

    // No more than 256 units, so one-byte indices never repeat.
    Army& crowd = world.AddArmy(1000);
    int bought = 0;
    while (crowd.AddUnit(kSmashtor)) {
        ++bought;
    }
    CHECK(bought == 256);
    CHECK(crowd.GetPoints() == 1000 - 256);

    // Placing deals the units from the back of the list, group count clamped.
    Army& seven = world.AddArmy(7);
    for (int i = 0; i < 7; ++i) {
        seven.AddUnit(i < 4 ? kSmashtor : kDetagon);
    }
    seven.Place(10.0f, 0.0f, 10.0f);
    CHECK(seven.GetGroupCount() == 7);
    CHECK(seven.GetGroup(0).front() == seven.GetUnits()[6].get());
    CHECK(seven.GetUnits()[0]->GetPosition() == Vec3(10.0f - 3.3f, 0.0f, 10.0f - 3.3f));

    Army& ten = world.AddArmy(10);
    for (int i = 0; i < 10; ++i) {
        ten.AddUnit(kTrajectagon);
    }
    ten.SetGroupCount(3);
    ten.Place(0.0f, 0.0f, 0.0f);
    REQUIRE(ten.GetGroupCount() == 3);
    CHECK(ten.GetGroup(0).size() == 4);
    CHECK(ten.GetGroup(1).size() == 3);
    CHECK(ten.GetGroup(2).size() == 3);
    CHECK(ten.GetGroup(0)[1] == ten.GetUnits()[6].get());
    CHECK(ten.GetGroup(2)[0] == ten.GetUnits()[7].get());
    CHECK(ten.GetGroup(3).empty());
    // A group whose units all died has no centre.
    for (const Unit* unit : std::vector<Unit*>(ten.GetGroup(1))) {
        ten.RemoveUnit(unit->GetIndex());
    }
    CHECK_FALSE(ten.GetGroupCentre(1).has_value());
    CHECK(ten.GetGroupCentre(0).has_value());

    // The pass over the armies: nothing in planning, attacks only without authority.
    Army& red = world.AddArmy();
    Army& blue = world.AddArmy();
    Unit& idle = world.AddUnit(red, kSmashtor, 0.0f, 0.0f);
    Unit& engaging = world.AddUnit(red, kSmashtor, 3.0f, 0.0f);
    Unit& enemy = world.AddUnit(blue, kTriangoloid, 60.0f, 0.0f);
    OrderAttack(engaging, enemy);
    Battle* const battle = Battle::Instance();

    battle->SetMatchState(kMatchPlanning);
    UpdateArmies(*battle);
    CHECK_FALSE(idle.GetOrderStarted());
    CHECK(engaging.GetDestination() != enemy.GetPosition());

    battle->SetMatchState(kMatchGameOn);
    battle->SetAuthority(false);
    UpdateArmies(*battle);
    CHECK_FALSE(idle.GetOrderStarted());
    CHECK_FALSE(engaging.GetOrderStarted());

    battle->SetAuthority(true);
    UpdateArmies(*battle);
    CHECK(idle.GetOrderStarted());
    CHECK(engaging.GetDestination() == enemy.GetPosition());

    // Units that die during the pass leave it without skipping the next one.
    Army& dying = world.AddArmy();
    Unit& doomed = world.AddUnit(dying, kSmashtor, 0.0f, 0.0f);
    Unit& next = world.AddUnit(dying, kSmashtor, 3.0f, 0.0f);
    doomed.SetOrder(kOrderDying, false);
    dying.Update();
    CHECK(dying.GetUnits().size() == 1);
    CHECK(next.GetOrderStarted());
}
