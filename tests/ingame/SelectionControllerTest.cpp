// The selection: clicks, Shift and second clicks, boxes, the click slack and
// formation drags, orders, the minimap, units behind the camera, removal,
// and the marks and cursor modes it draws.
#include "IngameField.h"

#include "game/GameRules.h"
#include "input/Cursor.h"
#include "render/HealthBar.h"

#include "RecordingCanvas.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <vector>

using ingame_test::Field;

namespace {

using Units = std::vector<Unit*>;

bool HasDuplicates(std::vector<Unit*> units)
{
    std::sort(units.begin(), units.end());
    return std::adjacent_find(units.begin(), units.end()) != units.end();
}

} // namespace

TEST_CASE_FIXTURE(Field, "clicks select a unit, a second click its type, Shift adds, and no unit is listed twice")
{
    Unit& s1 = world.AddUnit(own, kSmashtor, 0.0f, 0.0f);
    Unit& s2 = world.AddUnit(own, kSmashtor, 20.0f, 0.0f);
    Unit& t1 = world.AddUnit(own, kTriangoloid, -20.0f, 0.0f);
    Unit& e1 = world.AddUnit(enemy, kSmashtor, 0.0f, 20.0f);

    Click(s1);
    CHECK(sel.GetSelected() == Units{&s1});
    Click(s1);
    CHECK(sel.GetSelected() == Units{&s1, &s2});
    Click(t1);
    CHECK(sel.GetSelected() == Units{&t1});

    sel.SetShiftHeld(true);
    Click(s1);
    Click(s1);
    Click(s1);
    Click(s2);
    CHECK(sel.GetSelected() == Units{&t1, &s1, &s2});
    sel.SetShiftHeld(false);

    // A click on an enemy orders an attack, busy units excepted.
    REQUIRE(s2.SetOrder(kOrderBusy, false));
    Click(e1);
    CHECK(t1.GetTargets().target == &e1);
    CHECK(t1.GetTargets().targetArmy == &enemy);
    CHECK(t1.GetOrder() == kOrderEngage);
    CHECK_FALSE(t1.GetTargetAssigned());
    CHECK(s2.GetTargets().target != &e1);
    CHECK(s2.GetOrder() == kOrderBusy);

    // Ctrl on an own unit orders the selection to attack it.
    sel.SetCtrlHeld(true);
    Click(s2);
    CHECK(t1.GetTargets().target == &s2);
    CHECK(t1.GetTargetAssigned());
    CHECK(sel.GetSelected().size() == 3);
}

TEST_CASE_FIXTURE(Field, "units behind the camera are neither picked nor boxed, and a press moving 5 pixels is a click")
{
    // Straight behind the eye: dividing by its negative w would put it in
    // the middle of the screen.
    Unit& behind = world.AddUnit(own, kSmashtor, 0.0f, 0.0f);
    behind.SetPosition({0.0f, 160.0f, -160.0f});
    Unit& seen = world.AddUnit(own, kSmashtor, 20.0f, 0.0f);

    CHECK(sel.PickUnit(512.0f, 384.0f) == nullptr);
    CHECK(sel.PickUnit(ScreenOf(seen).x, ScreenOf(seen).y) == &seen);
    sel.BeginPress(1.0f, 1.0f);
    sel.OnMouseMove(1023.0f, 767.0f);
    sel.UpdateBoxSelection();
    CHECK(sel.GetSelected() == Units{&seen});
    sel.OnLeftButtonUp(1023.0f, 767.0f);

    // A press that moves 5 pixels is a click, further a box or a formation drag, and the release ends either.
    sel.BeginPress(100.0f, 100.0f);
    sel.OnMouseMove(105.0f, 95.0f);
    CHECK_FALSE(sel.IsBoxActive());
    sel.OnMouseMove(105.01f, 100.0f);
    CHECK(sel.IsBoxActive());
    sel.OnLeftButtonUp(105.01f, 100.0f);
    CHECK_FALSE(sel.IsBoxActive());
    CHECK_FALSE(sel.IsPressed());

    // A formation key held: the drag sets the rows' direction, (dy, 0, dx)
    // on the screen; within the slack it is a rightward drag, never NaN.
    GroupMover::Instance()->SetFormation(kFormationRows10);
    sel.BeginPress(100.0f, 100.0f);
    sel.OnMouseMove(104.0f, 103.0f);
    CHECK_FALSE(sel.IsFormationDrag());
    testing::CheckNear(sel.GetFormationDirection(), {0.0f, 0.0f, 1.0f});
    sel.OnMouseMove(100.0f, 160.0f);
    CHECK(sel.IsFormationDrag());
    CHECK_FALSE(sel.IsBoxActive());
    testing::CheckNear(sel.GetFormationDirection(), {1.0f, 0.0f, 0.0f});
    sel.OnMouseMove(130.0f, 70.0f);
    testing::CheckNear(sel.GetFormationDirection(), Vec3Normalize({-1.0f, 0.0f, 1.0f}));
    sel.OnLeftButtonUp(130.0f, 70.0f);
    CHECK_FALSE(sel.IsFormationDrag());

    // The next press starts from nothing: a click without moving is not a
    // drag of the last gesture's length.
    sel.BeginPress(300.0f, 300.0f);
    CHECK_FALSE(sel.IsFormationDrag());
    testing::CheckNear(sel.GetFormationDirection(), {0.0f, 0.0f, 1.0f});
    sel.OnLeftButtonUp(300.0f, 300.0f);

    // A release without a press this window saw does nothing.
    Unit& s1 = world.AddUnit(own, kSmashtor, 0.0f, 0.0f);
    Click(s1);
    const Vec3 before = sel.GetTargetPoint();
    sel.OnLeftButtonUp(600.0f, 300.0f);
    CHECK(sel.GetSelected() == Units{&s1});
    CHECK(sel.GetLastClicked() == &s1);
    CHECK(sel.GetTargetPoint() == before);
}

TEST_CASE_FIXTURE(Field, "a box selects own units and marks the others, and its recounts list nobody twice")
{
    Unit& s1 = world.AddUnit(own, kSmashtor, 0.0f, 0.0f);
    Unit& s2 = world.AddUnit(own, kSmashtor, 10.0f, 0.0f);
    Unit& far = world.AddUnit(own, kTriangoloid, 60.0f, 0.0f);
    Unit& e1 = world.AddUnit(enemy, kSmashtor, 5.0f, 5.0f);

    const Vec2 a = ScreenOf({-5.0f, 0.0f, 10.0f});
    const Vec2 b = ScreenOf({15.0f, 0.0f, -5.0f});
    const auto boxDrag = [&](bool shift) {
        sel.SetShiftHeld(shift);
        sel.BeginPress(a.x, a.y);
        sel.OnMouseMove(b.x, b.y);
        for (int frame = 0; frame < 5; ++frame) {
            world.Advance(0.06);
            sel.Render(canvas);
            CHECK_FALSE(HasDuplicates(sel.GetSelected()));
        }
        sel.OnLeftButtonUp(b.x, b.y);
    };

    Click(far);
    boxDrag(true);
    CHECK(sel.GetSelected() == Units{&far, &s1, &s2});
    CHECK(sel.GetTargets() == Units{&e1});
    CHECK(s1.GetSelected());
    // The box chose; its release orders nothing.
    CHECK(sel.GetLastClicked() == nullptr);
    CHECK(s1.GetOrder() != kOrderMove);

    boxDrag(false);
    CHECK(sel.GetSelected() == Units{&s1, &s2});
    CHECK(sel.GetTargets() == Units{&e1});
}

TEST_CASE_FIXTURE(Field, "Ctrl moves spare busy units, plain moves take them, and the minimap ends at its panel's edge")
{
    Unit& s1 = world.AddUnit(own, kSmashtor, 0.0f, 0.0f);
    Unit& s2 = world.AddUnit(own, kSmashtor, 3.0f, 0.0f);
    sel.SelectType(kSmashtor);
    REQUIRE(sel.GetSelected().size() == 2);
    REQUIRE(s2.SetOrder(kOrderBusy, false));

    sel.SetCtrlHeld(true);
    Click(ScreenOf({30.0f, 0.0f, 30.0f}));
    testing::CheckNear(sel.GetTargetPoint(), {30.0f, 0.0f, 30.0f}, 1e-2);
    CHECK(sel.IsMarkerShown());
    CHECK(s1.GetOrder() == kOrderEngage);
    CHECK(s2.GetOrder() == kOrderBusy);
    CHECK(s1.GetSearchSuppressed());

    sel.SetCtrlHeld(false);
    Click(ScreenOf({-30.0f, 0.0f, 10.0f}));
    CHECK(s2.GetOrder() == kOrderMove);
    CHECK_FALSE(s2.GetSearchSuppressed());

    // The minimap's panel ends at its edge: a pixel beyond it moves no camera.
    const MinimapLayout layout = sel.GetMinimapLayout();
    CHECK(layout.Contains({layout.centre.x + 100.0f, layout.centre.y - 100.0f}));
    CHECK_FALSE(layout.Contains({layout.centre.x - 100.5f, layout.centre.y}));
    const Vec3 cameraAt = camera.GetView().GetAt();
    sel.OnMouseMove(layout.centre.x - 101.0f, layout.centre.y);
    sel.MinimapMoveCamera();
    CHECK(camera.GetView().GetAt() == cameraAt);
}

TEST_CASE_FIXTURE(Field, "a removed unit leaves every list, and letting go of the army clears everything")
{
    Unit& s1 = world.AddUnit(own, kSmashtor, 0.0f, 0.0f);
    Unit& s2 = world.AddUnit(own, kSmashtor, 10.0f, 0.0f);
    Unit& e1 = world.AddUnit(enemy, kSmashtor, 5.0f, 5.0f);

    Click(s1);
    sel.SetShiftHeld(true);
    Click(s2);
    const Vec2 e = ScreenOf(e1);
    sel.OnMouseMove(e.x, e.y);
    world.Advance(0.06);
    sel.Render(canvas);
    REQUIRE(sel.GetHover() == &e1);

    // Death: the army tells the selection through its hook.
    own.RemoveUnit(s1.GetIndex());
    CHECK(sel.GetSelected() == Units{&s2});
    CHECK(sel.GetLastClicked() == &s2);
    enemy.RemoveUnit(e1.GetIndex());
    CHECK(sel.GetHover() == nullptr);

    sel.SetArmy(nullptr);
    CHECK(sel.GetSelected().empty());
    CHECK(sel.GetLastClicked() == nullptr);
    CHECK(sel.PickUnit(ScreenOf(s2).x, ScreenOf(s2).y) == nullptr);
}

TEST_CASE_FIXTURE(Field, "selection green, targets red, health by colour, and the cursor says what a click does")
{
    Unit& s1 = world.AddUnit(own, kSmashtor, 0.0f, 0.0f);
    Unit& e1 = world.AddUnit(enemy, kSmashtor, 30.0f, 0.0f);
    Cursor* cursor = Cursor::Instance();

    const auto renderAt = [&](const Vec2& at) {
        canvas.calls.clear();
        sel.OnMouseMove(at.x, at.y);
        world.Advance(0.06);
        sel.Render(canvas);
    };
    renderAt({100.0f, 100.0f});
    CHECK(cursor->GetMode() == kCursorSelect);
    CHECK(canvas.calls.empty());

    Click(s1);
    s1.SetHitPoints(s1.GetFullHitPoints() / 2);
    renderAt({100.0f, 100.0f});
    CHECK(cursor->GetMode() == kCursorMove);
    REQUIRE(canvas.calls.size() == 3);
    CHECK(canvas.calls[0].color == SelectionController::kSelectedColour);
    CHECK(canvas.calls[1].filled);
    CHECK(canvas.calls[1].color == HealthBarColour(0.5f));

    renderAt(ScreenOf(e1));
    CHECK(canvas.calls[3].color == SelectionController::kTargetColour);
    renderAt(ScreenOf(s1));
    CHECK(cursor->GetMode() == kCursorSelect);
}

TEST_CASE_FIXTURE(Field, "under the statistics nothing is picked: the plain arrow, no hover and no click order")
{
    Unit& s1 = world.AddUnit(own, kSmashtor, 0.0f, 0.0f);
    Unit& e1 = world.AddUnit(enemy, kSmashtor, 30.0f, 0.0f);
    Cursor* cursor = Cursor::Instance();
    GameRules* rules = GameRules::Instance();
    rules->SetState(kMatchGameOn);
    Click(s1);
    const Vec2 enemyAt = ScreenOf(e1);
    const auto renderAt = [&](const Vec2& at) {
        canvas.calls.clear();
        sel.OnMouseMove(at.x, at.y);
        world.Advance(0.06);
        sel.Render(canvas);
    };

    // A press on the enemy in the match, let go once the statistics are up.
    sel.BeginPress(enemyAt.x, enemyAt.y);
    rules->SetState(kMatchStatistics);
    sel.OnLeftButtonUp(enemyAt.x, enemyAt.y);
    CHECK_FALSE(sel.IsPressed());
    CHECK(s1.GetTargets().target == nullptr);
    CHECK(s1.GetOrder() == kOrderIdle);

    // Over the enemy: the arrow, and only the selection's own bar.
    renderAt(enemyAt);
    CHECK(cursor->GetMode() == kCursorSelect);
    CHECK(sel.GetHover() == nullptr);
    CHECK(canvas.calls.size() == 3);

    // Clicks on the enemy, the ground and another own unit do nothing.
    Unit& s2 = world.AddUnit(own, kSmashtor, -30.0f, 0.0f);
    Click(e1);
    Click({512.0f, 600.0f});
    Click(s2);
    CHECK(sel.GetSelected() == Units{&s1});
    CHECK(s1.GetOrder() == kOrderIdle);
    CHECK_FALSE(sel.IsMarkerShown());
    CHECK(sel.GetLastClicked() == &s1);

    // Back in a battle the same place shows the attack.
    rules->SetState(kMatchGameOn);
    renderAt(enemyAt);
    CHECK(sel.GetHover() == &e1);
    CHECK(cursor->GetMode() == kCursorAttack);
}
