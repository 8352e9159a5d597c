// The local player's hand on the battle: the selected own units and the
// marked enemy units, the mouse gestures of the in-game window turned into
// click, Shift-click, box and type selection, move orders (in formation and
// as waypoints, on the ground or through the minimap), attack orders and
// minimap camera jumps, and the marks drawn for all of it each frame, with
// the cursor's mode.
//
// A unit is never listed twice, so removing it once (when it dies, or when
// the match's end frees it) leaves nothing that points at it: the HUD and
// the frame read these lists every frame. Letting go of the own army clears
// every list and pointer the controller keeps.
//
// SelectionController.cpp holds the gestures and orders;
// SelectionController_Render.cpp the marks, the hover and the box.
#pragma once

#include "core/Singleton.h"
#include "game/UnitType.h"
#include "platform/math/Vector.h"
#include "render/Camera.h"
#include "render/Canvas2D.h"
#include "render/MinimapLayout.h"

#include <cstdint>
#include <vector>

class Army;
class MeshDrawer;
class Terrain;
class Unit;

class SelectionController : public Singleton<SelectionController> {
    friend class Singleton<SelectionController>;

public:
    // A press that moves no more than this (in both axes) is a click.
    static constexpr float kClickSlack = 5.0f;
    // Hover picking and the box's recount run at most this often.
    static constexpr float kPickInterval = 0.05f;
    static constexpr std::uint32_t kDragColour = 0xFFFFFF00u;
    static constexpr std::uint32_t kSelectedColour = 0xAA00FF00u;
    static constexpr std::uint32_t kTargetColour = 0xAAFF0000u;

    // What the selection works on: the player's camera and the ground,
    // borrowed for the run, and the screen's size in pixels.
    void Attach(Camera* camera, const Terrain* terrain, int screenWidth, int screenHeight);
    // The local army, when it is made; null once the match's armies go,
    // which clears every list and pointer kept here, and the held keys.
    void SetArmy(Army* army);
    Army* GetArmy() const { return ownArmy_; }

    // Mouse gestures, in screen pixels.
    void OnMouseMove(float x, float y);
    void BeginPress(float x, float y);
    // Acts only on a press this window saw: a release whose press went to
    // the menus would order a move to a stale point.
    void OnLeftButtonUp(float x, float y);
    // With the cursor on the minimap, the camera jumps over that ground
    // point, keeping its direction and distance.
    void MinimapMoveCamera();
    void ClearAll();
    void SetCtrlHeld(bool held) { ctrlHeld_ = held; }
    void SetShiftHeld(bool held) { shiftHeld_ = held; }
    bool IsCtrlHeld() const { return ctrlHeld_; }
    bool IsShiftHeld() const { return shiftHeld_; }
    void SelectType(UnitType type);
    void SelectAllOwn();
    void StopSelected();

    // The selection goes to the ground point under the press (or the
    // minimap point), by the player's formation and move kind.
    void OrderMoveToCursor();
    void OrderAttack(Unit& target);
    // The first unit, in army and unit order, whose marker square holds the
    // point; null without an own army, and never a unit behind the camera.
    Unit* PickUnit(float x, float y) const;
    // A second click on the same unit selects every own unit of its type.
    void ClickUnit(Unit& unit);

    // Health bars of the selection and targets, the hover and cursor mode,
    // the box (recounted every kPickInterval) or the formation arrow.
    void Render(Canvas2D& canvas);
    // Recounts the box from the press to the cursor: the selection as it was
    // at the press when Shift is held, else empty, plus the own units in the
    // box; the targets are the other armies' units in it.
    void UpdateBoxSelection();
    // The move marker's animation, advanced by frameTime, at the last move
    // target; it stops when the animation has played once.
    void RenderMarker(float frameTime, MeshDrawer& drawer);

    // Drops every mention of the unit.
    void RemoveUnit(Unit* unit);
    // The formation drag on the screen as (dy, 0, dx), unit length; without
    // a drag past the click slack, (0, 0, 1), as a drag to the right.
    Vec3 GetFormationDirection() const;

    const std::vector<Unit*>& GetSelected() const { return selected_; }
    const std::vector<Unit*>& GetTargets() const { return targets_; }
    Unit* GetHover() const { return hover_; }
    Unit* GetLastClicked() const { return lastClicked_; }
    Vec3 GetTargetPoint() const { return targetPoint_; }
    bool IsMarkerShown() const { return markerShown_; }
    bool IsPressed() const { return pressed_; }
    bool IsBoxActive() const { return boxActive_; }
    bool IsFormationDrag() const { return formationDrag_; }
    MinimapLayout GetMinimapLayout() const;

private:
    SelectionController();

    // No unit is picked, by hover or click, while the statistics cover the
    // battle: what the player points at there is the screen, not a unit.
    static bool PickingAllowed();
    void EndGesture();
    bool WithinClickSlack(const Vec2& point) const;
    static void AppendOnce(std::vector<Unit*>& list, Unit* unit);
    static void EraseAll(std::vector<Unit*>& list, const Unit* unit);
    // The ground point under a screen point, through the minimap when the
    // point is on its panel; false when it meets no ground.
    bool GroundPointAt(const Vec2& screen, Vec3& out) const;
    bool IsOwn(const Unit& unit) const;
    void UpdateHover();
    void DrawArrow(Canvas2D& canvas) const;

    std::vector<Unit*> selected_;
    std::vector<Unit*> targets_;
    // The selection when the button went down: what a Shift box adds to.
    std::vector<Unit*> selectionAtPress_;
    Camera* camera_ = nullptr;
    const Terrain* terrain_ = nullptr;
    int screenWidth_ = 1024;
    int screenHeight_ = 768;
    Army* ownArmy_ = nullptr;
    Unit* lastClicked_ = nullptr;
    Unit* hover_ = nullptr;
    Vec2 pressPoint_;
    Vec2 cursorPoint_;
    Vec3 targetPoint_;
    std::int64_t pickClock_ = 0;
    double markerSeconds_ = 0.0;
    bool markerShown_ = false;
    bool formationDrag_ = false;
    bool pressed_ = false;
    bool boxActive_ = false;
    bool ctrlHeld_ = false;
    bool shiftHeld_ = false;
};
