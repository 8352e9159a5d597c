// The frame of a match on the screen: a full-screen border picture with a
// clear centre, the minimap in a 200-pixel panel at the bottom right, and
// at the bottom left a 200-pixel panel with a live close-up of the selected
// units, rendered each frame into a 256x256 texture by a camera of its own
// that looks at them from the player's direction. Hidden in the menus,
// shown through a match.
//
// Without a close-up texture (the device could not make one) the close-up
// pass is skipped whole and the panel is drawn black, as for an empty
// selection.
#pragma once

#include "core/Singleton.h"
#include "platform/LightRecord.h"
#include "platform/RenderDevice.h"
#include "render/Camera.h"
#include "render/Canvas2D.h"
#include "render/MinimapLayout.h"
#include "render/TextureLoader.h"

#include <functional>
#include <memory>
#include <vector>

class Renderer;
class Terrain;
class Unit;

// The state switches of the renderer that the HUD's drawing needs between
// its quads and its lines; empty ones are skipped (tests).
struct HudDrawStates {
    std::function<void()> quads;
    std::function<void()> lines;
};

class HudOverlay : public Singleton<HudOverlay> {
    friend class Singleton<HudOverlay>;

public:
    static constexpr const char* kBorderPath = "Interface/Textures/Border.dds";
    static constexpr float kPanelSize = 200.0f;
    // The border picture frames each panel with a ring that reaches this
    // many pixels out from the panel's square.
    static constexpr float kPanelFrameReach = 9.0f;
    static constexpr int kCloseUpSize = 256;
    static constexpr std::uint32_t kPanelBlack = 0xFF000000u;

    // Loads the border and makes the close-up target (none without a
    // device, or when the device cannot make one).
    void Init(TextureLoader* loader, platform::RenderDevice* device, int screenWidth, int screenHeight);
    // Lets the pictures and the target go (the device is going).
    void Release();

    void SetVisible(bool visible) { visible_ = visible; }
    bool IsVisible() const { return visible_; }
    // The terrain's minimap picture, asked for each frame; null shows the
    // panel black with its dots and outline.
    void SetMinimapSource(std::function<platform::Texture*()> source) { minimapSource_ = std::move(source); }
    bool HasCloseUpTarget() const { return target_ != nullptr; }

    // Border, minimap, close-up panel, in that order.
    void Render(Canvas2D& canvas, const Terrain& terrain, const CameraView& mainView,
                const HudDrawStates& states = {}) const;
    // Points the close-up camera at the selection; an empty one leaves it.
    void FrameSelection(const std::vector<Unit*>& selection, const Terrain& terrain, const CameraView& mainView);
    // The close-up pass into the target: the selection framed and drawn lit
    // on black. Nothing without a target.
    void RenderSelectionView(Renderer& renderer, const LightRecord& light, const std::vector<Unit*>& selection,
                             const Terrain& terrain, const CameraView& mainView);

    const Camera& GetCamera() const { return camera_; }
    Vec2 CloseUpCentre() const;
    MinimapLayout GetMinimapLayout(float mapSize) const;

private:
    HudOverlay();

    void DrawMinimap(Canvas2D& canvas, const Terrain& terrain, const CameraView& mainView,
                     const HudDrawStates& states) const;
    void DrawCameraOutline(Canvas2D& canvas, const MinimapLayout& layout, const CameraView& mainView) const;

    TextureHandle border_;
    std::unique_ptr<platform::Texture> target_;
    std::function<platform::Texture*()> minimapSource_;
    Camera camera_;
    int screenWidth_ = 1024;
    int screenHeight_ = 768;
    bool visible_ = false;
};
