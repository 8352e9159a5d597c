// A match field for the in-game tests: the units' flat 400-unit battle, the
// player's camera high behind the centre looking along +z (so +x is right
// on the screen and +z up), a 1024x768 screen, the own army and one enemy,
// and the selection attached to them as the game attaches it.
#pragma once

#include "../units/BattleTestWorld.h"

#include "game/GroupMover.h"
#include "input/SelectionController.h"
#include "render/Camera.h"
#include "render/ScreenProjection.h"

#include "RecordingCanvas.h"

namespace ingame_test {

inline constexpr int kWidth = 1024;
inline constexpr int kHeight = 768;

class Field {
public:
    Field() : own(world.AddArmy(4000)), enemy(world.AddArmy(4000))
    {
        CameraView& view = camera.GetView();
        view.SetEye({0.0f, 80.0f, -80.0f});
        view.SetAt({0.0f, 0.0f, 0.0f});
        view.SetAspect(static_cast<float>(kWidth) / static_cast<float>(kHeight));
        own.SetColour(0x00FF0000u);
        enemy.SetColour(0x000000FFu);
        Army::SetUnitRemovedHook([](Unit* unit) { SelectionController::Instance()->RemoveUnit(unit); });
        sel.SetArmy(nullptr);
        sel.Attach(&camera, &world.Ground(), kWidth, kHeight);
        sel.SetArmy(&own);
        sel.SetCtrlHeld(false);
        sel.SetShiftHeld(false);
        GroupMover::Instance()->ResetFormation();
    }
    ~Field() { sel.SetArmy(nullptr); }
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    Vec2 ScreenOf(const Vec3& world) const
    {
        Vec2 screen;
        REQUIRE(ScreenProjection(camera.GetView(), kWidth, kHeight).ToScreen(world, screen));
        return screen;
    }
    Vec2 ScreenOf(const Unit& unit) const { return ScreenOf(unit.GetPosition()); }
    void Click(const Vec2& at) const
    {
        sel.BeginPress(at.x, at.y);
        sel.OnLeftButtonUp(at.x, at.y);
    }
    void Click(const Unit& unit) const { Click(ScreenOf(unit)); }

    units_test::BattleWorld world;
    Camera camera;
    SelectionController& sel = *SelectionController::Instance();
    testing::RecordingCanvas canvas;
    Army& own;
    Army& enemy;
};

} // namespace ingame_test
