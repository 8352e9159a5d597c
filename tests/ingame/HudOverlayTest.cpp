// The HUD: the close-up camera's framing of the selection, the panels'
// places and order, and the black panel and no close-up pass without a
// close-up target.
#include "IngameField.h"

#include "platform/NullRenderDevice.h"
#include "render/Renderer.h"
#include "screens/HudOverlay.h"

#include "RecordingCanvas.h"

#include <doctest/doctest.h>

#include <cmath>

using ingame_test::Field;

namespace {

Vec2 Centre(const testing::CanvasCall& call)
{
    return {(call.topLeft.x + call.bottomRight.x) / 2.0f, (call.topLeft.y + call.bottomRight.y) / 2.0f};
}

} // namespace

TEST_CASE_FIXTURE(Field, "the HUD draws its three panels in their places, and the close-up frames the selection")
{
    HudOverlay* hud = HudOverlay::Instance();
    hud->Init(&canvas, nullptr, 1024, 768);
    REQUIRE_FALSE(hud->HasCloseUpTarget());
    hud->Render(canvas, world.Ground(), camera.GetView());

    REQUIRE(canvas.calls.size() >= 3);
    CHECK(canvas.calls.front().texture == HudOverlay::kBorderPath);
    CHECK(Centre(canvas.calls[1]).x == doctest::Approx(911.36));
    // Without a target the panel is plain black, not an untextured white.
    const testing::CanvasCall& panel = canvas.calls.back();
    CHECK(Centre(panel).x == doctest::Approx(112.64));
    CHECK(panel.color == HudOverlay::kPanelBlack);
    CHECK(panel.texture.empty());
    // Without its picture the border is left out rather than drawn white.
    canvas.calls.clear();
    canvas.missing.insert(HudOverlay::kBorderPath);
    hud->Init(&canvas, nullptr, 1024, 768);
    hud->Render(canvas, world.Ground(), camera.GetView());
    CHECK(canvas.calls.front().color == HudOverlay::kPanelBlack);
    // The camera's outline stays inside the minimap panel.
    for (const testing::CanvasCall& call : canvas.calls) {
        if (call.kind == testing::CanvasCall::Kind::kLine) {
            CHECK(std::abs(call.topLeft.x - 911.36f) <= 100.01f);
            CHECK(std::abs(call.topLeft.y - 655.104f) <= 100.01f);
        }
    }

    // The close-up looks at the selection from the player's side, standing back by its spread.
    const CameraView& view = hud->GetCamera().GetView();
    const CameraView& player = camera.GetView();
    Unit& a = world.AddUnit(own, kSmashtor, 0.0f, 0.0f);
    Unit& b = world.AddUnit(own, kSmashtor, 10.0f, 4.0f);

    hud->FrameSelection({&a}, world.Ground(), player);
    testing::CheckNear(view.GetAt(), {0.0f, 0.0f, 0.0f});
    CHECK(Vec3Length(view.GetEye() - view.GetAt()) == doctest::Approx(4.125));
    testing::CheckNear(Vec3Normalize(view.GetEye() - view.GetAt()), Vec3Normalize(player.GetEye() - player.GetAt()));

    hud->FrameSelection({&a, &b}, world.Ground(), player);
    testing::CheckNear(view.GetAt(), {5.0f, 0.0f, 2.0f});
    CHECK(Vec3Length(view.GetEye() - view.GetAt()) == doctest::Approx(0.95 * 10.0 * std::sqrt(2.0) + 1.75));

    const Vec3 eye = view.GetEye();
    hud->FrameSelection({}, world.Ground(), player);
    CHECK(view.GetEye() == eye);

    // Without a close-up target the close-up pass does nothing; with one it
    // is checked in a whole frame by MatchEndTest.
    Renderer* renderer = Renderer::Instance();
    renderer->CreateDevice(std::make_unique<platform::NullRenderDevice>());
    auto& device = static_cast<platform::NullRenderDevice&>(*renderer->GetDevice());
    device.ClearCalls();
    hud->RenderSelectionView(*renderer, LightRecord{}, {&a}, world.Ground(), camera.GetView());
    CHECK(device.Calls().empty());
    hud->Release();
    renderer->ReleaseDevice();
}
