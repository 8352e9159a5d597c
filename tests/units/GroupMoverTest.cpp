// Formations: where each of the five puts a group, the player's move kind,
// and the row direction from the drag and the camera.
#include "BattleTestWorld.h"

#include "game/GroupMover.h"

#include <vector>

using namespace units_test;

namespace {

const Vec3 kP{10.0f, 1.0f, -20.0f};
const Vec3 kAlongX{1.0f, 0.0f, 0.0f};

} // namespace

TEST_CASE("the five formations and the moves that use them")
{
    // Each formation's places for a group: squares, rows of 10 and 20, staggered rows, short rows.
    // Along +x, the rows stack toward -z (the row direction turned a
    // quarter); short rows are centred by a 2.2 spacing whatever their own.
    const struct {
        FormationKind formation;
        std::size_t count;
        std::size_t index;
        Vec3 offset;
    } kPlaces[] = {
        {kFormationSquare, 4, 0, {-2.2f, 0.0f, -2.2f}},        {kFormationSquare, 5, 3, {-1.1f, 0.0f, -3.3f}},
        {kFormationRows10, 11, 10, {-11.0f, 0.0f, -2.2f}},     {kFormationRows20, 20, 19, {61.6f, 0.0f, 0.0f}},
        {kFormationStaggered, 22, 21, {-17.6f, 0.0f, -13.2f}}, {kFormationRows20, 3, 0, {-3.3f, 0.0f, 0.0f}},
    };
    for (const auto& place : kPlaces) {
        CAPTURE(place.formation);
        CAPTURE(place.count);
        CAPTURE(place.index);
        const std::vector<Vec3> points = GroupMover::FormationPoints(place.formation, place.count, kP, kAlongX);
        REQUIRE(points.size() == place.count);
        testing::CheckNear(points[place.index], kP + place.offset);
    }
    CHECK(GroupMover::FormationPoints(kFormationNone, 7, kP, kAlongX).empty());

    BattleWorld world;
    Army& army = world.AddArmy();
    std::vector<Unit*> units;
    for (int i = 0; i < 4; ++i) {
        units.push_back(&world.AddUnit(army, kSmashtor, 50.0f + static_cast<float>(i) * 3.0f, 0.0f));
    }

    // A square order sets Move unless the unit is busy or engaging; lines change no order.
    units[1]->SetOrder(kOrderBusy, false);
    units[2]->SetOrder(kOrderEngage, false);
    GroupMover::MoveInFormation(kFormationSquare, kMoveReplace, units, kP, kAlongX);
    CHECK(units[0]->GetOrder() == kOrderMove);
    CHECK(units[1]->GetOrder() == kOrderBusy);
    CHECK(units[2]->GetOrder() == kOrderEngage);
    testing::CheckNear(units[3]->GetDestination(), kP);
    units[0]->SetOrder(kOrderIdle, false);
    GroupMover::MoveInFormation(kFormationRows10, kMoveReplace, units, kP, kAlongX);
    CHECK(units[0]->GetOrder() == kOrderIdle);

    // The player's append kind queues each formation point after the route.
    GroupMover* const mover = GroupMover::Instance();
    mover->SetMoveKind(kMoveAppend);
    mover->SetFormation(kFormationRows10);
    mover->SetFormation(9); // no such formation: unchanged
    CHECK(mover->GetFormation() == kFormationRows10);
    units[0]->MoveTo({0.0f, 0.0f, 0.0f});
    units[0]->AddWaypoint({5.0f, 0.0f, 0.0f});
    mover->MoveGroup(units, kP, kAlongX);
    CHECK(units[0]->GetWaypoints().size() == 2);
    testing::CheckNear(units[0]->GetWaypoints().front(), kP + Vec3(-4.4f, 0.0f, 0.0f));
    mover->SetMoveKind(kMoveReplace);
    mover->ResetFormation();
}
