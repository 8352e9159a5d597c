// The terrain as the device draws it: the ground grid in one vertex and one
// index buffer, drawn block by block, each block as coarse as cannot be seen
// (GroundBlocks.h), blended from two ground layers by the ground shader, the
// four edge skirts, and the animated, partly transparent water over only the
// parts of the map low enough to show it (WaterPatches.h). The buffers
// and textures are made from the map the Terrain holds (src/world) when a
// map is uploaded; the shaders are made once, when the device is.
//
// The far ground is drawn from one picture of the two layers already mixed
// (TerrainRenderer_Bake.cpp): a software rasteriser pays for every texture
// read, and beyond a few dozen units the mixed picture shows what the two
// layers would. The light stays in the vertex colours, so relights and
// craters never touch the picture.
//
// Craters and relights change the Terrain; Sync brings the buffers and the
// minimap (Minimap.h) up to date at the start of a frame. The minimap is
// drawn whole only after a map upload (and when too much changed to
// follow); after a crater or a relight only the texels over the ground that
// changed are drawn again, from the blocks under them. While no minimap is
// shown (the menus) it is not drawn at all: what changed is remembered and
// drawn when it is shown again.
#pragma once

#include "platform/RenderDevice.h"
#include "render/GroundBlocks.h"
#include "render/Minimap.h"
#include "render/WaterPatches.h"
#include "world/MapData.h"
#include "world/Terrain.h"

#include <array>
#include <cstdint>
#include <memory>

class TerrainRenderer {
public:
    // The vertex format of every terrain buffer: TerrainVertex.
    static constexpr std::uint32_t kVertexFormat = platform::kVertexPosition | platform::kVertexNormal |
                                                   platform::kVertexDiffuse | platform::kVertexSpecular |
                                                   platform::kVertexTex2;
    static constexpr std::uint32_t kStride = sizeof(TerrainVertex);
    static constexpr int kWaterFrames = static_cast<int>(kMapWaterFrames);

    // Compiles "Maps/gndShdr11.ps" and "Maps/gndFar.ps". A missing or broken
    // ground shader is logged and the ground is then drawn with layer 0
    // alone, lit by its vertex colour; without the far one, the far ground is
    // drawn as the near.
    bool LoadGroundShader(platform::RenderDevice& device);
    bool HasGroundShader() const { return groundShader_ != nullptr; }

    // Makes the buffers and textures of terrain's map (replacing any before).
    // With no map loaded it only releases.
    void Upload(platform::RenderDevice& device, const Terrain& terrain);
    // Buffers and textures go, the water returns to frame 0; the shader stays.
    void Release();
    bool IsLoaded() const { return loaded_; }
    // Catches up with what changed in terrain since the upload or the last
    // sync: edited ground and light (buffers, and the minimap where it
    // changed, while the minimap is shown).
    void Sync(platform::RenderDevice& device, const Terrain& terrain);
    // Whether anything shows the minimap; while nothing does, Sync leaves it
    // stale. Shown until said otherwise.
    void SetMinimapShown(bool shown) { minimapShown_ = shown; }
    bool IsMinimapShown() const { return minimapShown_; }

    // The minimap's picture for the HUD: the whole map from above, +x to the
    // right and +z up; null when none could be made (or none was drawn yet).
    platform::Texture* GetMinimapTexture() const { return minimap_.GetTexture(); }
    bool HasBakedGround() const { return baked_ != nullptr; }

    // Ground and edge skirts. Leaves LIGHTING on, no pixel shader and stage 0
    // empty. Draws nothing without a map.
    void Draw(platform::RenderDevice& device);
    // Steps the water animation and draws the water blended, with specular
    // highlights from the material. Draws nothing without a map or where the
    // whole map stands above the water.
    void DrawWater(platform::RenderDevice& device);
    void SetEdgeMaterial(platform::RenderDevice& device) const;

    // One step when more than 0.08 s passed since the last: frames run
    // 0 .. 7 .. 0 and back, never skipping one.
    void StepWater();
    int GetWaterFrame() const { return waterFrame_; }

private:
    void UploadGeometry(platform::RenderDevice& device, const Terrain& terrain);
    void ApplyEdits(platform::RenderDevice& device, const Terrain& terrain);
    void RebuildWater(platform::RenderDevice& device, const Terrain& terrain);
    void RefillBuffers(const Terrain& terrain, const std::vector<GridWindow>& windows);
    void DrawGround(platform::RenderDevice& device, bool withSkirts);
    // The ground at full detail from above into the minimap's target, where
    // it changed since the last time.
    void UpdateMinimap(platform::RenderDevice& device, const Terrain& terrain);
    void DrawMinimapArea(platform::RenderDevice& device, const platform::ScissorRect& area);
    void NoteMinimapEdit(const GridWindow& window);
    static std::unique_ptr<platform::Texture> BakeGround(platform::RenderDevice& device, const Terrain& terrain);
    std::unique_ptr<platform::VertexBuffer> MakeVertexBuffer(platform::RenderDevice& device,
                                                             std::span<const TerrainVertex> vertices) const;

    bool loaded_ = false;
    std::unique_ptr<platform::PixelShader> groundShader_;
    std::unique_ptr<platform::PixelShader> farShader_;
    std::unique_ptr<platform::VertexBuffer> groundBuffer_;
    std::unique_ptr<platform::IndexBuffer> indexBuffer_;
    std::unique_ptr<platform::VertexBuffer> edgeBuffer_;
    std::unique_ptr<platform::VertexBuffer> waterBuffer_;
    std::unique_ptr<platform::VertexBuffer> skirtBuffer_;
    std::unique_ptr<platform::IndexBuffer> skirtIndexBuffer_;
    GroundBlocks blocks_;
    WaterPatches water_;
    std::unique_ptr<platform::Texture> baked_;
    Minimap minimap_;
    std::vector<TerrainVertex> drawnGround_;
    std::uint32_t syncedEdits_ = 0;
    // What the minimap has yet to catch up with: all of it, or the windows
    // of the grid that changed.
    bool minimapWhole_ = true;
    std::vector<GridWindow> minimapEdits_;
    bool minimapShown_ = true;
    float mapSize_ = 0.0f;
    std::array<std::unique_ptr<platform::Texture>, kMapGroundImages> groundTextures_;
    std::array<std::unique_ptr<platform::Texture>, kMapWaterFrames> waterTextures_;
    std::uint32_t columns_ = 0;
    std::uint32_t rows_ = 0;
    std::uint32_t vertexCount_ = 0;
    std::uint32_t indexCount_ = 0;
    std::uint32_t skirtVertexCount_ = 0;
    int waterFrame_ = 0;
    int waterDirection_ = 1;
    std::int64_t waterTimer_ = 0;
};
