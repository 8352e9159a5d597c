// The terrain as the device draws it: the ground grid in one vertex and one
// index buffer, drawn block by block with the far blocks coarser
// (GroundBlocks.h), blended from two ground layers by the ground shader, the
// four edge skirts, and the animated, partly transparent water. The buffers
// and textures are made from the map the Terrain holds (src/world) when a
// map is uploaded; the shader is made once, when the device is.
#pragma once

#include "platform/RenderDevice.h"
#include "render/GroundBlocks.h"
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

    // Compiles "Maps/gndShdr11.ps". A missing or broken file is logged and
    // the ground is then drawn with layer 0 alone, lit by its vertex colour.
    bool LoadGroundShader(platform::RenderDevice& device);
    bool HasGroundShader() const { return groundShader_ != nullptr; }

    // Makes the buffers and textures of terrain's map (replacing any before).
    // With no map loaded it only releases.
    void Upload(platform::RenderDevice& device, const Terrain& terrain);
    // Buffers and textures go, the water returns to frame 0; the shader stays.
    void Release();
    bool IsLoaded() const { return loaded_; }

    // Ground and edge skirts. Leaves LIGHTING on, no pixel shader and stage 0
    // empty. Draws nothing without a map.
    void Draw(platform::RenderDevice& device);
    // Steps the water animation and draws the water blended, with specular
    // highlights from the material. Draws nothing without a map.
    void DrawWater(platform::RenderDevice& device);
    void SetEdgeMaterial(platform::RenderDevice& device) const;

    // One step when more than 0.08 s passed since the last: frames run
    // 0 .. 7 .. 0 and back, never skipping one.
    void StepWater();
    int GetWaterFrame() const { return waterFrame_; }

private:
    std::unique_ptr<platform::VertexBuffer> MakeVertexBuffer(platform::RenderDevice& device,
                                                             std::span<const TerrainVertex> vertices) const;

    bool loaded_ = false;
    std::unique_ptr<platform::PixelShader> groundShader_;
    std::unique_ptr<platform::VertexBuffer> groundBuffer_;
    std::unique_ptr<platform::IndexBuffer> indexBuffer_;
    std::unique_ptr<platform::VertexBuffer> edgeBuffer_;
    std::unique_ptr<platform::VertexBuffer> waterBuffer_;
    std::unique_ptr<platform::VertexBuffer> skirtBuffer_;
    GroundBlocks blocks_;
    std::array<std::unique_ptr<platform::Texture>, kMapGroundImages> groundTextures_;
    std::array<std::unique_ptr<platform::Texture>, kMapWaterFrames> waterTextures_;
    std::uint32_t columns_ = 0;
    std::uint32_t rows_ = 0;
    std::uint32_t vertexCount_ = 0;
    std::uint32_t indexCount_ = 0;
    int waterFrame_ = 0;
    int waterDirection_ = 1;
    std::int64_t waterTimer_ = 0;
};
