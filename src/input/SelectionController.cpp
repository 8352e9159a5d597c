// SelectionController: the gestures, the selection lists and the orders.
#include "input/SelectionController.h"

#include "core/Stopwatch.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/GameRules.h"
#include "game/GroupMover.h"
#include "game/Unit.h"
#include "render/ScreenProjection.h"
#include "world/Terrain.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// A drag within the click slack lines the units up as a drag straight to
// the right of the screen would: across the view.
constexpr Vec3 kDefaultFormationDirection{0.0f, 0.0f, 1.0f};

// Strictly inside the rectangle of two corners, widened by the click slack.
bool InsideCorners(const Vec2& a, const Vec2& b, const Vec2& point)
{
    const float slack = SelectionController::kClickSlack;
    return std::min(a.x, b.x) - slack < point.x && point.x < std::max(a.x, b.x) + slack &&
           std::min(a.y, b.y) - slack < point.y && point.y < std::max(a.y, b.y) + slack;
}

} // namespace

SelectionController::SelectionController()
{
    TimerStart(pickClock_);
}

void SelectionController::Attach(Camera* camera, const Terrain* terrain, int screenWidth, int screenHeight)
{
    camera_ = camera;
    terrain_ = terrain;
    screenWidth_ = screenWidth;
    screenHeight_ = screenHeight;
}

void SelectionController::SetArmy(Army* army)
{
    ownArmy_ = army;
    if (army) {
        return;
    }
    selected_.clear();
    targets_.clear();
    selectionAtPress_.clear();
    hover_ = nullptr;
    lastClicked_ = nullptr;
    // Ctrl or Shift let go after the match was left never tells the
    // in-game window, which is gone: held over, the next match's clicks
    // would all attack or add. A key still held counts as up until pressed.
    ctrlHeld_ = false;
    shiftHeld_ = false;
    pressed_ = false;
    boxActive_ = false;
    formationDrag_ = false;
    markerShown_ = false;
}

MinimapLayout SelectionController::GetMinimapLayout() const
{
    const float mapSize = terrain_ ? terrain_->GetMapSize() : 0.0f;
    return MinimapLayout::ForScreen(static_cast<float>(screenWidth_), static_cast<float>(screenHeight_), mapSize);
}

bool SelectionController::WithinClickSlack(const Vec2& point) const
{
    return std::fabs(point.x - pressPoint_.x) <= kClickSlack && std::fabs(point.y - pressPoint_.y) <= kClickSlack;
}

void SelectionController::AppendOnce(std::vector<Unit*>& list, Unit* unit)
{
    if (std::find(list.begin(), list.end(), unit) == list.end()) {
        list.push_back(unit);
    }
}

void SelectionController::EraseAll(std::vector<Unit*>& list, const Unit* unit)
{
    list.erase(std::remove(list.begin(), list.end(), unit), list.end());
}

bool SelectionController::IsOwn(const Unit& unit) const
{
    return ownArmy_ && unit.GetArmy() == ownArmy_;
}

void SelectionController::OnMouseMove(float x, float y)
{
    cursorPoint_ = {x, y};
    if (WithinClickSlack(cursorPoint_) || !pressed_) {
        return;
    }
    if (GroupMover::Instance()->GetFormation() == kFormationSquare) {
        boxActive_ = true;
        formationDrag_ = false;
    } else {
        formationDrag_ = true;
    }
}

bool SelectionController::PickingAllowed()
{
    return GameRules::Instance()->GetState() != kMatchStatistics;
}

void SelectionController::BeginPress(float x, float y)
{
    if (!PickingAllowed()) {
        return;
    }
    pressed_ = true;
    pressPoint_ = {x, y};
    cursorPoint_ = pressPoint_;
    // A new gesture: nothing of the last drag carries over into it.
    boxActive_ = false;
    formationDrag_ = false;
    selectionAtPress_ = selected_;
}

void SelectionController::OnLeftButtonUp(float x, float y)
{
    if (!pressed_) {
        return;
    }
    if (!PickingAllowed()) {
        // Pressed before the statistics came up: the gesture ends unheard.
        EndGesture();
        return;
    }
    Unit* unit = nullptr;
    // A finished box has already chosen; a click on the minimap panel means
    // the ground under it, not a unit that happens to be drawn behind it.
    const bool boxDone = boxActive_ && !formationDrag_;
    if (!boxDone && !GetMinimapLayout().Contains(pressPoint_)) {
        unit = PickUnit(x, y);
    }
    if (boxDone) {
        // Nothing more: the box's lists stand.
    } else if (!unit) {
        OrderMoveToCursor();
        markerShown_ = true;
        markerSeconds_ = 0.0;
    } else if (IsOwn(*unit) && !ctrlHeld_) {
        if (!shiftHeld_) {
            selected_.clear();
        }
        ClickUnit(*unit);
    } else {
        OrderAttack(*unit);
    }
    EndGesture();
    lastClicked_ = unit;
}

void SelectionController::EndGesture()
{
    pressed_ = false;
    boxActive_ = false;
    formationDrag_ = false;
    selectionAtPress_.clear();
}

void SelectionController::ClickUnit(Unit& unit)
{
    if (&unit != lastClicked_ || !ownArmy_) {
        AppendOnce(selected_, &unit);
        return;
    }
    for (const std::unique_ptr<Unit>& own : ownArmy_->GetUnits()) {
        if (own->GetType() == unit.GetType()) {
            AppendOnce(selected_, own.get());
        }
    }
}

Unit* SelectionController::PickUnit(float x, float y) const
{
    if (!ownArmy_ || !camera_) {
        return nullptr;
    }
    const CameraView& view = camera_->GetView();
    const Vec3 d = Vec3Normalize(view.GetTarget() - view.GetEye());
    const Vec3 r = Vec3Normalize(Vec3Cross(d, {0.0f, 1.0f, 0.0f}));
    const Vec3 u = Vec3Normalize(Vec3Cross(d, r));
    const ScreenProjection projection(view, static_cast<float>(screenWidth_), static_cast<float>(screenHeight_));
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            const Vec3 position = unit->GetPosition();
            Vec2 c0;
            Vec2 c1;
            if (!projection.ToScreen(position + r + u, c0) || !projection.ToScreen(position - r - u, c1)) {
                continue;
            }
            if (InsideCorners(c0, c1, {x, y})) {
                return unit.get();
            }
        }
    }
    return nullptr;
}

bool SelectionController::GroundPointAt(const Vec2& screen, Vec3& out) const
{
    if (!terrain_) {
        return false;
    }
    const MinimapLayout minimap = GetMinimapLayout();
    if (minimap.Contains(screen)) {
        out = minimap.ScreenToWorld(screen);
        out.y = terrain_->HeightAt(out.x, out.z);
        return true;
    }
    if (!camera_) {
        return false;
    }
    const PickView pick = camera_->MakePickView(static_cast<float>(screenWidth_), static_cast<float>(screenHeight_));
    return terrain_->ScreenToTerrain(pick, screen.x, screen.y, out);
}

void SelectionController::OrderMoveToCursor()
{
    Vec3 point;
    if (!GroundPointAt(pressPoint_, point)) {
        return;
    }
    targetPoint_ = point;
    const Vec3 look = camera_ ? camera_->GetView().GetTarget() - camera_->GetView().GetEye() : Vec3(0.0f, 0.0f, 1.0f);
    GroupMover::Instance()->MoveGroup(selected_, point, GroupMover::RowDirection(GetFormationDirection(), look));
    for (Unit* unit : selected_) {
        unit->SetSearchSuppressed(ctrlHeld_);
        if (!ctrlHeld_) {
            unit->SetOrder(kOrderMove, false);
        } else if (unit->GetOrder() != kOrderBusy) {
            unit->SetOrder(kOrderEngage, false);
        }
    }
}

void SelectionController::OrderAttack(Unit& target)
{
    const UnitTargets record{&target, target.GetArmy(), &target};
    for (Unit* unit : selected_) {
        if (unit->GetOrder() == kOrderBusy) {
            continue;
        }
        unit->SetTargets(record);
        unit->SetTargetAssigned(ctrlHeld_);
        unit->SetOrder(kOrderEngage, false);
        // The other machines hear of it through the battle's network link.
        if (BattleNetwork* const network = Battle::Instance()->GetNetwork()) {
            network->AttackOrder(*unit);
        }
    }
}

void SelectionController::MinimapMoveCamera()
{
    if (!camera_ || !terrain_) {
        return;
    }
    const MinimapLayout minimap = GetMinimapLayout();
    if (!minimap.Contains(cursorPoint_)) {
        return;
    }
    Vec3 point = minimap.ScreenToWorld(cursorPoint_);
    point.y = terrain_->HeightAt(point.x, point.z);
    targetPoint_ = point;
    CameraView& view = camera_->GetView();
    const Vec3 offset = view.GetEye() - view.GetTarget();
    view.SetAt(point);
    view.SetEye(point + offset);
}

void SelectionController::ClearAll()
{
    selected_.clear();
    targets_.clear();
}

void SelectionController::SelectType(UnitType type)
{
    selected_.clear();
    if (!ownArmy_) {
        return;
    }
    for (const std::unique_ptr<Unit>& unit : ownArmy_->GetUnits()) {
        if (unit->GetType() == type) {
            selected_.push_back(unit.get());
        }
    }
}

void SelectionController::SelectAllOwn()
{
    selected_.clear();
    if (!ownArmy_) {
        return;
    }
    for (const std::unique_ptr<Unit>& unit : ownArmy_->GetUnits()) {
        selected_.push_back(unit.get());
    }
}

void SelectionController::StopSelected()
{
    for (Unit* unit : selected_) {
        unit->MoveTo(unit->GetPosition());
        unit->SetOrder(kOrderIdle, false);
    }
}

void SelectionController::RemoveUnit(Unit* unit)
{
    EraseAll(selected_, unit);
    EraseAll(targets_, unit);
    EraseAll(selectionAtPress_, unit);
    if (hover_ == unit) {
        hover_ = nullptr;
    }
    if (lastClicked_ == unit) {
        lastClicked_ = nullptr;
    }
}

Vec3 SelectionController::GetFormationDirection() const
{
    if (!formationDrag_ || WithinClickSlack(cursorPoint_)) {
        return kDefaultFormationDirection;
    }
    return Vec3Normalize({cursorPoint_.y - pressPoint_.y, 0.0f, cursorPoint_.x - pressPoint_.x});
}
