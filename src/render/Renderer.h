// The Renderer owns the drawing device and draws whole frames: the 3-D world
// under the camera, then the 2-D layer. It sets the fixed states every later
// draw relies on when the device is made, offers the presets the frame
// switches between, and the flat drawing of rectangles, lines and textured
// quads (Renderer_2D.cpp) and the numbered screenshots.
//
// The frame, in order (RenderGame): clear; the camera's commands, then its
// view; the light; the sky; the terrain (brought up to date with craters and
// relights first); the battle filed into the unit grid and the cells under the
// view found; the blob shadows of those cells; the units of those cells lit in
// their army colours; blended, the scenery and flags of those cells, every
// projectile, and the flags again in their holders' colours, fully lit; the
// water; the selection marks; the particles; the HUD panels; the GUI windows;
// the rules' clock and score panels; the queued text; last the cursor;
// present. The layers of the floors above (the HUD, the selection, the
// windows, the cursor) come in through FrameLayers and SetOverlays, in their
// places in that order.
#pragma once

#include "core/Singleton.h"
#include "platform/LightRecord.h"
#include "platform/RenderDevice.h"
#include "render/BlobShadows.h"
#include "render/Camera.h"
#include "render/MeshDrawer.h"
#include "render/RulesHud.h"
#include "render/Sky.h"
#include "render/TerrainRenderer.h"
#include "render/UnitDrawer.h"
#include "render/UnitGrid.h"
#include "render/WorldObjectDrawer.h"
#include "world/MeshLibrary.h"
#include "world/Terrain.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a frame draws, handed in by the Game each frame.
struct RenderScene {
    Camera* camera = nullptr;
    const Terrain* terrain = nullptr;
    const LightRecord* light = nullptr;
    float frameTime = 0.0f;
};

// What the floors above the renderer draw, each in its place in the frame;
// an empty one is skipped.
struct FrameLayers {
    // Before the clear: the HUD's close-up pass into its own target.
    std::function<void()> beforeClear;
    // After the units, with lighting off: the move-target marker.
    std::function<void()> afterUnits;
    // After the water, in the line states: selection marks and the drag box.
    std::function<void()> afterWater;
    // In the 2-D states, before the rules' panels: the HUD's border and panels.
    std::function<void()> overlay;
};

class Renderer : public Singleton<Renderer> {
    friend class Singleton<Renderer>;

public:
    static constexpr std::uint32_t kAmbient = 0xFF1F1F1Fu;
    static constexpr std::uint32_t kClearColor = 0xFF000000u;

    // Takes the device and sets its lasting states, the viewport of the whole
    // picture, and the ground shader.
    void CreateDevice(std::unique_ptr<platform::RenderDevice> device);
    // Lets the device go, and everything made with it (tests, shutdown).
    void ReleaseDevice();
    platform::RenderDevice* GetDevice() { return device_.get(); }
    TerrainRenderer& GetTerrainRenderer() { return terrain_; }
    // Null until the device is made.
    MeshDrawer* GetMeshDrawer() { return meshes_.get(); }
    UnitDrawer* GetUnitDrawer() { return units_.get(); }

    // The view and projection of a camera view.
    void ApplyCamera(const CameraView& view);

    // The presets: each only sets states.
    void Set3DStates();
    void SetDefaultMaterial();
    void RestoreAmbient();
    void SetLineStates();
    void Set2DStates();
    void SetBlendedObjectStates();

    // Builds the sky afresh, with every map load; a released sky is not drawn.
    void CreateSky();
    void ReleaseSky() { sky_.Release(); }
    const Sky& GetSky() const { return sky_; }

    // Makes the terrain's buffers for the map it now holds. The scenery on
    // it is the battle's (PopulateWorldObjects), drawn through the grid.
    void UploadMap(const Terrain& terrain);
    const UnitGrid& GetUnitGrid() const { return grid_; }

    void SetFrameLayers(FrameLayers layers) { layers_ = std::move(layers); }

    // One frame. False, drawing nothing, without a device.
    bool RenderGame(const RenderScene& scene);
    // The layers above the renderer draw themselves in their place in every
    // frame, in the 2-D states: the GUI windows before the rules' panels and
    // the text, the cursor after everything. Either may be empty.
    void SetOverlays(std::function<void()> drawWindows, std::function<void()> drawCursor);

    // Flat drawing in screen pixels (y down) under either preset
    // (SetLineStates or Set2DStates) and the caller's blending: each sets its
    // own vertex layout and texture (none for rectangles and lines), and
    // turns the depth test off around its draw.
    void DrawRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color, bool filled);
    void DrawLine(const Vec2& a, const Vec2& b, std::uint32_t color);
    void DrawTexturedRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color,
                          platform::Texture* texture);

    // Saves the last presented frame as "Screenshots/ScreenShot - N.bmp", N
    // the first number with nothing of that name (a link counts, even one
    // leading nowhere); the folder is made when missing. The file is created
    // new and appears only when whole. The name written, or "" (and a log
    // entry saying why, nothing left on disk) when it failed.
    std::string SaveScreenshot();
    // The first free screenshot name in folder.
    static std::string FreeScreenshotName(const std::string& folder);

private:
    Renderer() = default;

    static void RunLayer(const std::function<void()>& layer);
    void FindVisibleCells(const RenderScene& scene);
    void DrawProjectiles();
    // Every flag of the rules once more, in its colour and fully lit (the
    // grid drew it plainly; the equal depth lets this pass win).
    void DrawRulesFlags();
    // The screen-vertex layout with no texture, for rectangles and lines.
    void SetUntexturedLayout();
    template <typename Vertex>
    void FillAndDraw(std::unique_ptr<platform::VertexBuffer>& buffer, std::span<const Vertex> vertices,
                     platform::Primitive type, std::uint32_t count);

    std::unique_ptr<platform::RenderDevice> device_;
    std::unique_ptr<MeshDrawer> meshes_;
    std::unique_ptr<UnitDrawer> units_;
    std::unique_ptr<WorldObjectDrawer> objects_;
    std::unique_ptr<RulesHud> rulesHud_;
    TerrainRenderer terrain_;
    Sky sky_;
    BlobShadows shadows_;
    UnitGrid grid_;
    FrameLayers layers_;
    std::unique_ptr<platform::VertexBuffer> rectBuffer_;
    std::unique_ptr<platform::VertexBuffer> lineBuffer_;
    std::unique_ptr<platform::VertexBuffer> quadBuffer_;
    std::function<void()> drawWindows_;
    std::function<void()> drawCursor_;
};
