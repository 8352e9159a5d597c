// Formations: where each of the five puts a group, the player's move kind,
// and the row direction from the drag and the camera.
#include "BattleTestWorld.h"

#include "game/GroupMover.h"

#include <vector>

using namespace units_test;

namespace {

void CheckPoint(const Vec3& actual, const Vec3& expected)
{
    CHECK(actual.x == doctest::Approx(expected.x));
    CHECK(actual.y == doctest::Approx(expected.y));
    CHECK(actual.z == doctest::Approx(expected.z));
}

const Vec3 kP{10.0f, 1.0f, -20.0f};
const Vec3 kAlongX{1.0f, 0.0f, 0.0f};

} // namespace

TEST_CASE("the five formations and the moves that use them")
{
    SUBCASE("square grid: one unit on the point, four in a 2.2 square, five in a 3 x 3 grid")
    {
        std::vector<Vec3> points = GroupMover::FormationPoints(kFormationSquare, 1, kP, kAlongX);
        REQUIRE(points.size() == 1);
        CheckPoint(points[0], kP);
        points = GroupMover::FormationPoints(kFormationSquare, 4, kP, kAlongX);
        REQUIRE(points.size() == 4);
        CheckPoint(points[0], kP + Vec3(-2.2f, 0.0f, -2.2f));
        CheckPoint(points[1], kP + Vec3(-2.2f, 0.0f, 0.0f));
        CheckPoint(points[3], kP + Vec3(0.0f, 0.0f, 0.0f));
        points = GroupMover::FormationPoints(kFormationSquare, 5, kP, kAlongX);
        REQUIRE(points.size() == 5);
        CheckPoint(points[3], kP + Vec3(-1.1f, 0.0f, -3.3f));
        CheckPoint(points[4], kP + Vec3(-1.1f, 0.0f, -1.1f));
    }
    SUBCASE("lines: rows of 10 and 20, the staggered rows, and nobody for kind 4")
    {
        // Along +x, the rows stack toward -z (the row direction turned a quarter).
        std::vector<Vec3> points = GroupMover::FormationPoints(kFormationRows10, 11, kP, kAlongX);
        REQUIRE(points.size() == 11);
        CheckPoint(points[0], kP + Vec3(-11.0f, 0.0f, 0.0f));
        CheckPoint(points[9], kP + Vec3(8.8f, 0.0f, 0.0f));
        CheckPoint(points[10], kP + Vec3(-11.0f, 0.0f, -2.2f));
        points = GroupMover::FormationPoints(kFormationRows20, 20, kP, kAlongX);
        CheckPoint(points[0], kP + Vec3(-22.0f, 0.0f, 0.0f));
        CheckPoint(points[19], kP + Vec3(61.6f, 0.0f, 0.0f));
        points = GroupMover::FormationPoints(kFormationStaggered, 22, kP, kAlongX);
        CheckPoint(points[1], kP + Vec3(-17.6f, 0.0f, -4.4f));
        CheckPoint(points[21], kP + Vec3(-17.6f, 0.0f, -13.2f));
        // Short rows are centred by a 2.2 spacing whatever their own.
        points = GroupMover::FormationPoints(kFormationRows20, 3, kP, kAlongX);
        CheckPoint(points[0], kP + Vec3(-3.3f, 0.0f, 0.0f));
        CHECK(GroupMover::FormationPoints(kFormationNone, 7, kP, kAlongX).empty());
    }
    SUBCASE("the row direction turns a quarter with each quarter turn of the camera")
    {
        const Vec3 drag{0.0f, 0.0f, 1.0f};
        const float h = 0.70710678f;
        CheckPoint(GroupMover::RowDirection(drag, {1.0f, 0.0f, 1.0f}), {-h, 0.0f, -h});
        CheckPoint(GroupMover::RowDirection(drag, {1.0f, 0.0f, -1.0f}), {h, 0.0f, -h});
        CheckPoint(GroupMover::RowDirection(drag, {-1.0f, 0.0f, -1.0f}), {h, 0.0f, h});
        CheckPoint(GroupMover::RowDirection(drag, {-1.0f, 0.0f, 1.0f}), {-h, 0.0f, h});
    }

    BattleWorld world;
    Army& army = world.AddArmy();
    std::vector<Unit*> units;
    for (int i = 0; i < 4; ++i) {
        units.push_back(&world.AddUnit(army, kSmashtor, 50.0f + static_cast<float>(i) * 3.0f, 0.0f));
    }

    SUBCASE("a square order sets Move unless the unit is busy or engaging; lines change no order")
    {
        units[1]->SetOrder(kOrderBusy, false);
        units[2]->SetOrder(kOrderEngage, false);
        GroupMover::MoveInFormation(kFormationSquare, kMoveReplace, units, kP, kAlongX);
        CHECK(units[0]->GetOrder() == kOrderMove);
        CHECK(units[1]->GetOrder() == kOrderBusy);
        CHECK(units[2]->GetOrder() == kOrderEngage);
        CheckPoint(units[3]->GetDestination(), kP);
        units[0]->SetOrder(kOrderIdle, false);
        GroupMover::MoveInFormation(kFormationRows10, kMoveReplace, units, kP, kAlongX);
        CHECK(units[0]->GetOrder() == kOrderIdle);
    }
    SUBCASE("the player's append kind queues each formation point after the route")
    {
        GroupMover* const mover = GroupMover::Instance();
        mover->SetMoveKind(kMoveAppend);
        mover->SetFormation(kFormationRows10);
        mover->SetFormation(9); // no such formation: unchanged
        CHECK(mover->GetFormation() == kFormationRows10);
        units[0]->MoveTo({0.0f, 0.0f, 0.0f});
        units[0]->AddWaypoint({5.0f, 0.0f, 0.0f});
        mover->MoveGroup(units, kP, kAlongX);
        CHECK(units[0]->GetWaypoints().size() == 2);
        CheckPoint(units[0]->GetWaypoints().front(), kP + Vec3(-4.4f, 0.0f, 0.0f));
        mover->SetMoveKind(kMoveReplace);
        mover->ResetFormation();
    }
}
