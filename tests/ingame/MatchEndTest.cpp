// A match's life as the game runs it: the HUD shown and the in-game window
// built at its start, the close-up pass first in the frame, and at its end
// nothing of the selection left pointing at the freed units (the sanitizer
// build reads the lists after the end), no held key carried over and the
// game-over button gone.
#include "app/Game.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/GroupMover.h"
#include "game/Unit.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/SelectionController.h"
#include "platform/NullRenderDevice.h"
#include "platform/Random.h"
#include "render/Renderer.h"
#include "render/ScreenProjection.h"
#include "screens/HudOverlay.h"
#include "screens/PlayScreen.h"

#include "RecordingCanvas.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>

TEST_CASE("a match shows the HUD and its window, and its end leaves the selection pointing at nothing")
{
    testing::ManualClockScope clock;
    const testing::TempDirectory directory;
    testing::LinkDataTree(directory.Path());
    Renderer* renderer = Renderer::Instance();
    renderer->CreateDevice(std::make_unique<platform::NullRenderDevice>());
    auto& device = static_cast<platform::NullRenderDevice&>(*renderer->GetDevice());
    Game* const game = Game::Instance();
    game->Init();
    platform::SeedRand(5);
    game->LoadAfterSplash();
    HudOverlay* hud = HudOverlay::Instance();

    game->SetSetting(kSettingGameState, kStateMatch);
    REQUIRE(game->SetOptions(kModeLastManOnTheHill, 1.0f, kAllowAllUnitTypes, 0, 20, 2));
    game->EndMatch();
    game->StartMatch();
    CHECK(hud->IsVisible());
    guiWindow* window = guiManager::Instance()->GetWindow(PlayScreen::kWindowName);
    REQUIRE(window != nullptr);
    game->CreateComputerArmies();
    Vec3 start;
    Army* const mine = game->CreateArmy(true, {6, 4, 0, 0, 0}, start, true, "Ana");
    REQUIRE(mine != nullptr);
    SelectionController* sel = SelectionController::Instance();

    // Everything the selection keeps, filled: the lists, the last click, the
    // hover, a Shift box in progress.
    Unit& first = *mine->GetUnits().front();
    sel->SelectAllOwn();
    sel->ClickUnit(first);
    const CameraView& view = game->GetCamera().GetView();
    Vec2 at;
    REQUIRE(ScreenProjection(view, 1024.0f, 768.0f).ToScreen(first.GetPosition(), at));
    sel->BeginPress(at.x, at.y);
    sel->OnLeftButtonUp(at.x, at.y);
    REQUIRE(sel->GetLastClicked() == &first);
    sel->OnMouseMove(at.x, at.y);
    clock.Advance(0.1);
    testing::RecordingCanvas canvas;
    sel->Render(canvas);
    REQUIRE(sel->GetHover() != nullptr);
    sel->SetShiftHeld(true);
    sel->BeginPress(1.0f, 1.0f);
    sel->OnMouseMove(1000.0f, 700.0f);
    sel->UpdateBoxSelection();
    sel->SetShiftHeld(false);
    REQUIRE_FALSE(sel->GetSelected().empty());

    // The frame: the close-up goes into its own target before the picture
    // is cleared.
    device.ClearCalls();
    REQUIRE(renderer->RenderGame({&game->GetCamera(), &game->GetTerrain(), &game->GetLight(), 1.0f / 60.0f}));
    const std::vector<std::string>& calls = device.Calls();
    const auto isClear = [](const std::string& call) { return call.starts_with("Clear"); };
    const auto target = std::find(calls.begin(), calls.end(), "SetRenderTarget texture");
    const auto back = std::find(calls.begin(), calls.end(), "SetRenderTarget picture");
    REQUIRE(target < back);
    CHECK(std::find_if(target, back, isClear) != back);
    CHECK(std::find_if(back, calls.end(), isClear) != calls.end());
    CHECK(std::find_if(calls.begin(), target, isClear) == target);

    // Keys held as the match is left: their releases will find no window.
    sel->SetCtrlHeld(true);
    sel->SetShiftHeld(true);
    GroupMover::Instance()->SetMoveKind(kMoveAppend);
    GroupMover::Instance()->SetFormation(kFormationRows10);
    window->CreateObject("GameOverButton", kGuiButton, nullptr, 0.4f, 0.4f, 0.2f, 0.05f);
    game->EndMatch();
    CHECK_FALSE(sel->IsCtrlHeld());
    CHECK_FALSE(sel->IsShiftHeld());
    CHECK(GroupMover::Instance()->GetMoveKind() == kMoveReplace);
    CHECK(GroupMover::Instance()->GetFormation() == kFormationSquare);
    CHECK(window->FindObject("GameOverButton") == nullptr);
    CHECK(sel->GetArmy() == nullptr);
    CHECK(sel->GetSelected().empty());
    CHECK(sel->GetTargets().empty());
    CHECK(sel->GetHover() == nullptr);
    CHECK(sel->GetLastClicked() == nullptr);
    // What the frame does with them afterwards, menus included.
    sel->Render(canvas);
    sel->UpdateBoxSelection();
    CHECK(sel->GetSelected().empty());
    sel->OnLeftButtonUp(0.0f, 0.0f);

    game->SetSetting(kSettingGameState, kStateMenus);
    game->EndMatch();
    hud->Release();
    renderer->ReleaseDevice();
}
