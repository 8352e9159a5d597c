// SelectionController: the marks of each frame (health bars of the selection
// and targets, the hover), the cursor's mode, the box and its recount, the
// formation arrow, and the move marker.
#include "input/SelectionController.h"

#include "core/Stopwatch.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/Unit.h"
#include "input/Cursor.h"
#include "render/HealthBar.h"
#include "render/MeshDrawer.h"
#include "render/ScreenProjection.h"
#include "world/MeshLibrary.h"

#include <array>
#include <memory>

void SelectionController::Render(Canvas2D& canvas)
{
    const bool picking = PickingAllowed();
    if (!picking) {
        // The statistics cover the battle: the plain arrow, to press "Done" with.
        hover_ = nullptr;
        Cursor::Instance()->SetMode(kCursorSelect);
    }
    if (camera_) {
        const CameraView& view = camera_->GetView();
        const ScreenProjection projection(view, static_cast<float>(screenWidth_), static_cast<float>(screenHeight_));
        for (const Unit* unit : selected_) {
            DrawHealthBar(canvas, projection, view, *unit, kSelectedColour);
        }
        for (const Unit* unit : targets_) {
            DrawHealthBar(canvas, projection, view, *unit, kTargetColour);
        }
        if (!pressed_ && picking) {
            UpdateHover();
            if (hover_) {
                DrawHealthBar(canvas, projection, view, *hover_, IsOwn(*hover_) ? kSelectedColour : kTargetColour);
            }
        }
    }
    if (!pressed_ || !picking) {
        return;
    }
    if (formationDrag_) {
        DrawArrow(canvas);
        return;
    }
    if (!boxActive_) {
        return;
    }
    if (TimerElapsed(pickClock_) > kPickInterval) {
        TimerStart(pickClock_);
        UpdateBoxSelection();
    }
    canvas.DrawRect(pressPoint_, cursorPoint_, kDragColour, false);
}

void SelectionController::UpdateHover()
{
    // Picking projects every unit of the battle: at most once a
    // kPickInterval, as the box's recount.
    if (TimerElapsed(pickClock_) > kPickInterval) {
        TimerStart(pickClock_);
        hover_ = PickUnit(cursorPoint_.x, cursorPoint_.y);
    }
    CursorMode mode = selected_.empty() ? kCursorSelect : kCursorMove;
    if (hover_) {
        mode = IsOwn(*hover_) ? kCursorSelect : kCursorAttack;
    }
    Cursor::Instance()->SetMode(mode);
}

void SelectionController::UpdateBoxSelection()
{
    selected_ = shiftHeld_ ? selectionAtPress_ : std::vector<Unit*>{};
    targets_.clear();
    if (!camera_) {
        return;
    }
    const ScreenProjection projection(camera_->GetView(), static_cast<float>(screenWidth_),
                                      static_cast<float>(screenHeight_));
    const float slack = kClickSlack;
    const float left = std::min(pressPoint_.x, cursorPoint_.x) - slack;
    const float right = std::max(pressPoint_.x, cursorPoint_.x) + slack;
    const float top = std::min(pressPoint_.y, cursorPoint_.y) - slack;
    const float bottom = std::max(pressPoint_.y, cursorPoint_.y) + slack;
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            Vec2 screen;
            if (!projection.ToScreen(unit->GetPosition(), screen)) {
                continue;
            }
            if (!(left < screen.x && screen.x < right && top < screen.y && screen.y < bottom)) {
                continue;
            }
            if (IsOwn(*unit)) {
                AppendOnce(selected_, unit.get());
                unit->SetSelected(true);
            } else {
                AppendOnce(targets_, unit.get());
            }
        }
    }
}

// A closed arrow from the press to the cursor, its head 2s long and 4s wide,
// its shaft 2s wide, s scaled with the screen's width.
void SelectionController::DrawArrow(Canvas2D& canvas) const
{
    const float s = 18.0f * static_cast<float>(screenWidth_) / 1024.0f;
    const Vec3 d3 = Vec3Normalize({cursorPoint_.x - pressPoint_.x, cursorPoint_.y - pressPoint_.y, 0.0f});
    const Vec3 p3 = Vec3Cross(d3, {0.0f, 0.0f, 1.0f});
    const Vec2 d{d3.x, d3.y};
    const Vec2 p{p3.x, p3.y};
    const Vec2 c = cursorPoint_;
    const Vec2 o = pressPoint_;
    const std::array<Vec2, 7> points = {{
        c,
        {c.x - 2 * s * d.x - 2 * s * p.x, c.y - 2 * s * d.y - 2 * s * p.y},
        {c.x - 2 * s * d.x - s * p.x, c.y - 2 * s * d.y - s * p.y},
        {o.x - s * p.x, o.y - s * p.y},
        {o.x + s * p.x, o.y + s * p.y},
        {c.x - 2 * s * d.x + s * p.x, c.y - 2 * s * d.y + s * p.y},
        {c.x - 2 * s * d.x + 2 * s * p.x, c.y - 2 * s * d.y + 2 * s * p.y},
    }};
    for (std::size_t i = 0; i < points.size(); ++i) {
        canvas.DrawLine(points[i], points[(i + 1) % points.size()], kDragColour);
    }
}

void SelectionController::RenderMarker(float frameTime, MeshDrawer& drawer)
{
    if (!markerShown_) {
        return;
    }
    const std::vector<AnimatedMesh>& animations = MeshLibrary::Instance()->GetUnitAnimations(kClickMarkerMeshSet);
    markerSeconds_ += static_cast<double>(frameTime);
    if (animations.empty() || markerSeconds_ >= animations.front().GetPeriod()) {
        markerShown_ = false;
        return;
    }
    const Vec3 position = targetPoint_ + Vec3(0.0f, 1.0f, 0.0f);
    drawer.DrawAnimatedMesh(animations.front(), position, {0.0f, 1.0f, 0.0f}, 0.0f, markerSeconds_);
}
