// The Renderer owns the drawing device and draws whole frames: the 3-D world
// under the camera, then the 2-D layer. It sets the fixed states every later
// draw relies on when the device is made, offers the presets the frame
// switches between, and the flat drawing of rectangles, lines and textured
// quads (Renderer_2D.cpp) and the numbered screenshots.
//
// The frame, in order (RenderGame): clear; the camera's commands, then its
// view; the light; the terrain (brought up to date with craters and relights
// first); the battle filed into the unit grid and the cells under the view
// found; the blob shadows of those cells; the units of those cells lit in their army
// colours; blended, the scenery and flags of those cells, every projectile,
// and the flags again in their holders' colours, fully lit; the water; the
// rules' clock and score panels; the queued text; present.
#pragma once

#include "core/Singleton.h"
#include "platform/LightRecord.h"
#include "platform/RenderDevice.h"
#include "render/BlobShadows.h"
#include "render/Camera.h"
#include "render/MeshDrawer.h"
#include "render/RulesHud.h"
#include "render/TerrainRenderer.h"
#include "render/UnitDrawer.h"
#include "render/UnitGrid.h"
#include "render/WorldObjectDrawer.h"
#include "world/MeshLibrary.h"
#include "world/Terrain.h"

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

    // The view and projection of a camera view.
    void ApplyCamera(const CameraView& view);

    // The presets: each only sets states.
    void Set3DStates();
    void SetDefaultMaterial();
    void RestoreAmbient();
    void SetLineStates();
    void Set2DStates();
    void SetBlendedObjectStates();

    // Makes the terrain's buffers for the map it now holds. The scenery on
    // it is the battle's (PopulateWorldObjects), drawn through the grid.
    void UploadMap(const Terrain& terrain);
    const UnitGrid& GetUnitGrid() const { return grid_; }

    // One frame. False, drawing nothing, without a device.
    bool RenderGame(const RenderScene& scene);

    // Flat drawing in screen pixels (y down) in the caller's preset
    // (SetLineStates or Set2DStates); each turns the depth test off around
    // its draw.
    void DrawRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color, bool filled);
    void DrawLine(const Vec2& a, const Vec2& b, std::uint32_t color);
    void DrawTexturedRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color,
                          platform::Texture* texture);

    // Saves the last presented frame as "Screenshots/ScreenShot - N.bmp", N
    // the first number with no file; the folder is made when missing. The
    // name written, or "" (and a log entry) when it failed.
    std::string SaveScreenshot();
    // The first free screenshot name in folder.
    static std::string FreeScreenshotName(const std::string& folder);

private:
    Renderer() = default;

    void FindVisibleCells(const RenderScene& scene);
    void DrawProjectiles();
    // Every flag of the rules once more, in its colour and fully lit (the
    // grid drew it plainly; the equal depth lets this pass win).
    void DrawRulesFlags();
    template <typename Vertex>
    void FillAndDraw(std::unique_ptr<platform::VertexBuffer>& buffer, std::span<const Vertex> vertices,
                     platform::Primitive type, std::uint32_t count);

    std::unique_ptr<platform::RenderDevice> device_;
    std::unique_ptr<MeshDrawer> meshes_;
    std::unique_ptr<UnitDrawer> units_;
    std::unique_ptr<WorldObjectDrawer> objects_;
    std::unique_ptr<RulesHud> rulesHud_;
    TerrainRenderer terrain_;
    BlobShadows shadows_;
    UnitGrid grid_;
    std::unique_ptr<platform::VertexBuffer> rectBuffer_;
    std::unique_ptr<platform::VertexBuffer> lineBuffer_;
    std::unique_ptr<platform::VertexBuffer> quadBuffer_;
};
