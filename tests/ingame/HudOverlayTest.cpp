// The HUD: the close-up camera's framing of the selection, the panels'
// places and order, the black panel without a close-up target, and the
// close-up pass into its own target.
#include "IngameField.h"

#include "platform/NullRenderDevice.h"
#include "render/Renderer.h"
#include "screens/HudOverlay.h"

#include "RecordingCanvas.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>

using ingame_test::Field;

namespace {

Vec2 Centre(const testing::CanvasCall& call)
{
    return {(call.topLeft.x + call.bottomRight.x) / 2.0f, (call.topLeft.y + call.bottomRight.y) / 2.0f};
}

} // namespace

TEST_CASE("the close-up looks at the selection from the player's side, standing back by its spread")
{
    Field f;
    HudOverlay* hud = HudOverlay::Instance();
    const CameraView& view = hud->GetCamera().GetView();
    const CameraView& player = f.camera.GetView();
    Unit& a = f.world.AddUnit(f.own, kSmashtor, 0.0f, 0.0f);
    Unit& b = f.world.AddUnit(f.own, kSmashtor, 10.0f, 4.0f);

    hud->FrameSelection({&a}, f.world.Ground(), player);
    testing::CheckNear(view.GetAt(), {0.0f, 0.0f, 0.0f});
    CHECK(Vec3Length(view.GetEye() - view.GetAt()) == doctest::Approx(4.125));
    testing::CheckNear(Vec3Normalize(view.GetEye() - view.GetAt()), Vec3Normalize(player.GetEye() - player.GetAt()));

    hud->FrameSelection({&a, &b}, f.world.Ground(), player);
    testing::CheckNear(view.GetAt(), {5.0f, 0.0f, 2.0f});
    CHECK(Vec3Length(view.GetEye() - view.GetAt()) == doctest::Approx(0.95 * 10.0 * std::sqrt(2.0) + 1.75));

    const Vec3 eye = view.GetEye();
    hud->FrameSelection({}, f.world.Ground(), player);
    CHECK(view.GetEye() == eye);
}

TEST_CASE("the HUD draws the border, then the minimap, then the close-up panel, each in its place")
{
    Field f;
    testing::RecordingCanvas canvas;
    HudOverlay* hud = HudOverlay::Instance();
    hud->Init(&canvas, nullptr, 1024, 768);
    REQUIRE_FALSE(hud->HasCloseUpTarget());
    hud->Render(canvas, f.world.Ground(), f.camera.GetView());

    REQUIRE(canvas.calls.size() >= 3);
    const testing::CanvasCall& border = canvas.calls.front();
    CHECK(border.texture == HudOverlay::kBorderPath);
    CHECK(border.bottomRight.x == 1024.0f);
    CHECK(border.bottomRight.y == 768.0f);
    const testing::CanvasCall& minimap = canvas.calls[1];
    CHECK(Centre(minimap).x == doctest::Approx(911.36));
    CHECK(Centre(minimap).y == doctest::Approx(655.104));
    CHECK(minimap.bottomRight.x - minimap.topLeft.x == doctest::Approx(200.0));
    // Without a target the panel is plain black, not an untextured white.
    const testing::CanvasCall& panel = canvas.calls.back();
    CHECK(Centre(panel).x == doctest::Approx(112.64));
    CHECK(Centre(panel).y == doctest::Approx(655.104));
    CHECK(panel.color == HudOverlay::kPanelBlack);
    CHECK(panel.texture.empty());
    // Without its picture the border is left out rather than drawn white.
    canvas.calls.clear();
    canvas.missing.insert(HudOverlay::kBorderPath);
    hud->Init(&canvas, nullptr, 1024, 768);
    hud->Render(canvas, f.world.Ground(), f.camera.GetView());
    CHECK(canvas.calls.front().color == HudOverlay::kPanelBlack);
    // The camera's outline stays inside the minimap panel.
    for (const testing::CanvasCall& call : canvas.calls) {
        if (call.kind == testing::CanvasCall::Kind::kLine) {
            CHECK(std::abs(call.topLeft.x - 911.36f) <= 100.01f);
            CHECK(std::abs(call.topLeft.y - 655.104f) <= 100.01f);
        }
    }
}

TEST_CASE("the close-up pass draws into its own target and gives the picture back, and without a target does nothing")
{
    Field f;
    Unit& a = f.world.AddUnit(f.own, kSmashtor, 0.0f, 0.0f);
    Renderer* renderer = Renderer::Instance();
    renderer->CreateDevice(std::make_unique<platform::NullRenderDevice>());
    auto& device = static_cast<platform::NullRenderDevice&>(*renderer->GetDevice());
    testing::RecordingCanvas canvas;
    HudOverlay* hud = HudOverlay::Instance();
    const LightRecord light;

    SUBCASE("with a target")
    {
        hud->Init(&canvas, &device, 1024, 768);
        REQUIRE(hud->HasCloseUpTarget());
        device.ClearCalls();
        hud->RenderSelectionView(*renderer, light, {&a}, f.world.Ground(), f.camera.GetView());
        const std::vector<std::string> targets = device.CallsStartingWith("SetRenderTarget");
        CHECK(targets == std::vector<std::string>{"SetRenderTarget texture", "SetRenderTarget picture"});
        CHECK(device.GetRenderTarget() == nullptr);
        CHECK_FALSE(device.CallsStartingWith("DrawIndexedPrimitive").empty());
        hud->Render(canvas, f.world.Ground(), f.camera.GetView());
        CHECK(canvas.calls.back().color == 0xFFFFFFFFu);
    }
    SUBCASE("without one")
    {
        hud->Init(&canvas, nullptr, 1024, 768);
        device.ClearCalls();
        hud->RenderSelectionView(*renderer, light, {&a}, f.world.Ground(), f.camera.GetView());
        CHECK(device.Calls().empty());
    }
    hud->Release();
    renderer->ReleaseDevice();
}
