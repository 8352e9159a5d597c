// HudOverlay: the border, the minimap panel with its dots and the camera's
// outline, the close-up panel, and the close-up camera and pass.
#include "screens/HudOverlay.h"

#include "game/Army.h"
#include "game/Battle.h"
#include "game/Flag.h"
#include "game/Unit.h"
#include "render/Renderer.h"
#include "world/Terrain.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr float kDotSize = 3.0f;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
// The close-up stands back from its subject by this much of the extent, plus
// a little, so even one unit fills the panel without being cut.
constexpr float kFramingScale = 0.95f;
constexpr float kFramingMargin = 1.75f;
constexpr float kSingleUnitExtent = 2.5f;

void DrawDot(Canvas2D& canvas, const Vec2& at, std::uint32_t colour)
{
    const float half = kDotSize / 2.0f;
    canvas.DrawTexturedRect({at.x - half, at.y - half}, {at.x + half, at.y + half}, colour, nullptr);
}

// Where the ray from the eye through a screen corner meets the plane y = 0;
// false when it runs level or upwards and never does.
bool GroundUnderCorner(const CameraView& view, const Viewport& viewport, const Vec2& corner, Vec3& out)
{
    const Matrix identity = Matrix::Identity();
    const Matrix projection = view.GetProjectionMatrix();
    const Matrix viewMatrix = view.GetViewMatrix();
    const Vec3 nearPoint = Vec3Unproject({corner.x, corner.y, 0.0f}, viewport, projection, viewMatrix, identity);
    const Vec3 farPoint = Vec3Unproject({corner.x, corner.y, 1.0f}, viewport, projection, viewMatrix, identity);
    const Vec3 d = farPoint - nearPoint;
    if (d.y >= 0.0f) {
        return false;
    }
    out = nearPoint + d * (-nearPoint.y / d.y);
    return true;
}

} // namespace

HudOverlay::HudOverlay()
{
    CameraView& view = camera_.GetView();
    view.SetEye({61.25f, 87.5f, 61.25f});
    view.SetAt({0.0f, 0.0f, 0.0f});
    view.SetUp({0.0f, 1.0f, 0.0f});
    view.SetFov(kPi / 4.0f);
    view.SetAspect(4.0f / 3.0f);
    view.SetNear(2.0f);
    view.SetFar(800.0f);
}

void HudOverlay::Init(TextureLoader* loader, platform::RenderDevice* device, int screenWidth, int screenHeight)
{
    screenWidth_ = screenWidth;
    screenHeight_ = screenHeight;
    // The close-up keeps the screen's aspect although its target is square:
    // the panel shows it stretched, as the player's own view is shaped.
    camera_.GetView().SetAspect(static_cast<float>(screenWidth) / static_cast<float>(screenHeight));
    border_ = loader ? loader->LoadTexture(kBorderPath) : nullptr;
    target_ = device ? device->CreateRenderTarget(kCloseUpSize, kCloseUpSize) : nullptr;
}

void HudOverlay::Release()
{
    border_.reset();
    target_.reset();
}

Vec2 HudOverlay::CloseUpCentre() const
{
    return {0.11f * static_cast<float>(screenWidth_), 0.853f * static_cast<float>(screenHeight_)};
}

MinimapLayout HudOverlay::GetMinimapLayout(float mapSize) const
{
    return MinimapLayout::ForScreen(static_cast<float>(screenWidth_), static_cast<float>(screenHeight_), mapSize);
}

void HudOverlay::Render(Canvas2D& canvas, const Terrain& terrain, const CameraView& mainView,
                        const HudDrawStates& states) const
{
    const Vec2 screen{static_cast<float>(screenWidth_), static_cast<float>(screenHeight_)};
    // A missing border is left out: untextured, it would paint the whole
    // battle white.
    if (border_) {
        canvas.DrawTexturedRect({0.0f, 0.0f}, screen, kWhite, border_.get());
    }
    DrawMinimap(canvas, terrain, mainView, states);
    const Vec2 c = CloseUpCentre();
    const float half = kPanelSize / 2.0f;
    // No texture and black: the vertex colour alone, a dark panel rather
    // than a white square.
    canvas.DrawTexturedRect({c.x - half, c.y - half}, {c.x + half, c.y + half}, target_ ? kWhite : kPanelBlack,
                            target_.get());
}

void HudOverlay::DrawMinimap(Canvas2D& canvas, const Terrain& terrain, const CameraView& mainView,
                             const HudDrawStates& states) const
{
    const MinimapLayout layout = GetMinimapLayout(terrain.GetMapSize());
    const float half = layout.size / 2.0f;
    platform::Texture* picture = minimapSource_ ? minimapSource_() : nullptr;
    canvas.DrawTexturedRect({layout.centre.x - half, layout.centre.y - half},
                            {layout.centre.x + half, layout.centre.y + half}, picture ? kWhite : kPanelBlack, picture);
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        const std::uint32_t colour = 0xFF000000u | army->GetColour();
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            const Vec3 p = unit->GetPosition();
            DrawDot(canvas, layout.WorldToScreen(p.x, p.z), colour);
        }
    }
    for (const std::unique_ptr<Flag>& flag : Battle::Instance()->GetFlags()) {
        const Vec3 p = flag->GetPosition();
        DrawDot(canvas, layout.WorldToScreen(p.x, p.z), kWhite);
    }
    if (states.lines) {
        states.lines();
    }
    DrawCameraOutline(canvas, layout, mainView);
    if (states.quads) {
        states.quads();
    }
}

// The ground the player's view covers, kept inside the panel.
void HudOverlay::DrawCameraOutline(Canvas2D& canvas, const MinimapLayout& layout, const CameraView& mainView) const
{
    const Viewport viewport{0.0f, 0.0f, static_cast<float>(screenWidth_), static_cast<float>(screenHeight_),
                            0.0f, 1.0f};
    const std::array<Vec2, 4> corners = {
        {{0.0f, 0.0f}, {viewport.width, 0.0f}, {viewport.width, viewport.height}, {0.0f, viewport.height}}};
    const float half = layout.size / 2.0f;
    std::array<Vec2, 4> outline{};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        Vec3 ground;
        if (!GroundUnderCorner(mainView, viewport, corners[i], ground)) {
            return;
        }
        const Vec2 at = layout.WorldToScreen(ground.x, ground.z);
        outline[i] = {std::clamp(at.x, layout.centre.x - half, layout.centre.x + half),
                      std::clamp(at.y, layout.centre.y - half, layout.centre.y + half)};
    }
    for (std::size_t i = 0; i < outline.size(); ++i) {
        canvas.DrawLine(outline[i], outline[(i + 1) % outline.size()], kWhite);
    }
}

void HudOverlay::FrameSelection(const std::vector<Unit*>& selection, const Terrain& terrain, const CameraView& mainView)
{
    if (selection.empty()) {
        return;
    }
    Vec3 low = selection.front()->GetPosition();
    Vec3 high = low;
    for (const Unit* unit : selection) {
        const Vec3 p = unit->GetPosition();
        low = {std::min(low.x, p.x), 0.0f, std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), 0.0f, std::max(high.z, p.z)};
    }
    const float cx = (low.x + high.x) / 2.0f;
    const float cz = (low.z + high.z) / 2.0f;
    const Vec3 centre{cx, terrain.HeightAt(cx, cz), cz};
    const float extent =
        selection.size() == 1 ? kSingleUnitExtent : std::sqrt(2.0f) * std::max(high.x - low.x, high.z - low.z);
    const Vec3 back = Vec3Normalize(mainView.GetEye() - mainView.GetTarget());
    CameraView& view = camera_.GetView();
    view.SetAt(centre);
    view.SetEye(centre + back * (kFramingScale * extent + kFramingMargin));
}

void HudOverlay::RenderSelectionView(Renderer& renderer, const LightRecord& light, const std::vector<Unit*>& selection,
                                     const Terrain& terrain, const CameraView& mainView)
{
    platform::RenderDevice* device = renderer.GetDevice();
    UnitDrawer* drawer = renderer.GetUnitDrawer();
    // Without a target there is nowhere to draw: drawing anyway would put
    // the units on the frame's own picture, to be cleared.
    if (!target_ || !device || !drawer) {
        return;
    }
    FrameSelection(selection, terrain, mainView);
    renderer.ApplyCamera(camera_.GetView());
    platform::Texture* const previous = device->GetRenderTarget();
    device->SetRenderTarget(target_.get());
    device->Clear(kPanelBlack, 1.0f);
    device->SetLight(light);
    device->BeginScene();
    if (!selection.empty()) {
        renderer.Set3DStates();
        for (const Unit* unit : selection) {
            drawer->Draw(*unit);
        }
    }
    device->EndScene();
    device->SetRenderTarget(previous);
}
