// TerrainRenderer: buffers and textures from the map, and the draw calls.
//
// The edge strips follow the map's layout (world/TerrainGrid.h): row 0's
// skirt from vertex 0, the last row's from 2 x columns, column 0's from
// 4 x columns, the last column's from 4 x columns + 2 x rows; each is a
// triangle strip of two vertices per border grid vertex.
#include "render/TerrainRenderer.h"

#include "core/ErrorLog.h"
#include "core/Stopwatch.h"
#include "render/GroundShaderSource.h"

#include <cstring>

namespace {

constexpr float kWaterFrameSeconds = 0.08f;
constexpr const char* kLogName = "Renderer.txt";

platform::Material EdgeMaterial()
{
    platform::Material m;
    m.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    m.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    m.specular = {1.0f, 1.0f, 1.0f, 1.0f};
    m.power = 30.0f;
    return m;
}

} // namespace

bool TerrainRenderer::LoadGroundShader(platform::RenderDevice& device)
{
    std::string why;
    groundShader_ = device.CreatePixelShaderFromFile(kGroundShaderPath, &why);
    if (!groundShader_) {
        ErrorLog(kLogName, true).Warning("No ground shader (" + why + "); the ground shows one layer.");
        return false;
    }
    return true;
}

std::unique_ptr<platform::VertexBuffer> TerrainRenderer::MakeVertexBuffer(platform::RenderDevice& device,
                                                                          std::span<const TerrainVertex> vertices) const
{
    std::unique_ptr<platform::VertexBuffer> buffer = device.CreateVertexBuffer(vertices.size_bytes());
    std::memcpy(buffer->Lock().data(), vertices.data(), vertices.size_bytes());
    buffer->Unlock();
    return buffer;
}

void TerrainRenderer::Upload(platform::RenderDevice& device, const Terrain& terrain)
{
    Release();
    if (!terrain.IsLoaded()) {
        return;
    }
    columns_ = terrain.GetColumns();
    rows_ = terrain.GetRows();
    vertexCount_ = static_cast<std::uint32_t>(terrain.GetGroundVertices().size());
    groundBuffer_ = MakeVertexBuffer(device, terrain.GetGroundVertices());
    edgeBuffer_ = MakeVertexBuffer(device, terrain.GetEdgeVertices());
    waterBuffer_ = MakeVertexBuffer(device, terrain.GetWaterVertices());
    blocks_.Build(terrain);
    const std::vector<std::uint16_t>& indices = blocks_.GetIndices();
    indexCount_ = static_cast<std::uint32_t>(indices.size());
    indexBuffer_ = device.CreateIndexBuffer(indexCount_, false);
    std::memcpy(indexBuffer_->Lock().data(), indices.data(), indexCount_ * sizeof(std::uint16_t));
    indexBuffer_->Unlock();
    if (!blocks_.GetSkirtVertices().empty()) {
        skirtBuffer_ = MakeVertexBuffer(device, blocks_.GetSkirtVertices());
    }

    // A missing picture leaves its slot empty, which draws white: the map
    // still shows.
    const auto texture = [&device](const std::vector<std::uint8_t>& bytes, const char* what) {
        std::unique_ptr<platform::Texture> made;
        std::string why;
        if (!bytes.empty()) {
            made = device.CreateTextureFromMemory(bytes, &why);
        }
        if (!made) {
            ErrorLog(kLogName, true).Warning(std::string("Map picture ") + what + " not made: " + why);
        }
        return made;
    };
    for (std::size_t i = 0; i < groundTextures_.size(); ++i) {
        groundTextures_[i] = texture(terrain.GetGroundImages()[i], "of the ground");
    }
    for (std::size_t i = 0; i < waterTextures_.size(); ++i) {
        waterTextures_[i] = texture(terrain.GetWaterImages()[i], "of the water");
    }
    TimerStart(waterTimer_);
    loaded_ = true;
}

void TerrainRenderer::Release()
{
    loaded_ = false;
    groundBuffer_.reset();
    indexBuffer_.reset();
    edgeBuffer_.reset();
    waterBuffer_.reset();
    skirtBuffer_.reset();
    blocks_ = GroundBlocks();
    for (auto& texture : groundTextures_) {
        texture.reset();
    }
    for (auto& texture : waterTextures_) {
        texture.reset();
    }
    columns_ = rows_ = vertexCount_ = indexCount_ = 0;
    waterFrame_ = 0;
}

void TerrainRenderer::SetEdgeMaterial(platform::RenderDevice& device) const
{
    device.SetMaterial(EdgeMaterial());
}

void TerrainRenderer::Draw(platform::RenderDevice& device)
{
    using platform::RenderState;
    if (!loaded_) {
        return;
    }
    device.SetTransform(platform::TransformKind::World, Matrix::Identity());
    device.SetStreamSource(groundBuffer_.get(), kStride);
    device.SetIndices(indexBuffer_.get());
    device.SetVertexFormat(kVertexFormat);
    device.SetRenderState(RenderState::Lighting, 0);
    device.SetRenderState(RenderState::SpecularEnable, 0);
    device.SetRenderState(RenderState::AlphaBlendEnable, 0);
    device.SetTexture(0, groundTextures_[0].get());
    device.SetTexture(1, groundTextures_[1].get());
    device.SetPixelShader(groundShader_.get());
    // Only the blocks in view, the far ones coarser (GroundBlocks.h).
    const platform::DeviceState& state = device.GetState();
    blocks_.Select(state.GetTransform(platform::TransformKind::View),
                   state.GetTransform(platform::TransformKind::Projection));
    for (const GroundBlocks::Run& run : blocks_.GetGroundRuns()) {
        device.DrawIndexedPrimitive(platform::Primitive::TriangleList, 0, 0, vertexCount_, run.first, run.triangles);
    }
    if (skirtBuffer_) {
        device.SetStreamSource(skirtBuffer_.get(), kStride);
        for (const GroundBlocks::Run& run : blocks_.GetSkirtRuns()) {
            device.DrawPrimitive(platform::Primitive::TriangleList, run.first, run.triangles);
        }
    }
    device.SetPixelShader(nullptr);

    SetEdgeMaterial(device);
    device.SetRenderState(RenderState::Lighting, 1);
    device.SetTexture(0, groundTextures_[2].get());
    device.SetStreamSource(edgeBuffer_.get(), kStride);
    const std::uint32_t c = columns_;
    const std::uint32_t r = rows_;
    device.DrawPrimitive(platform::Primitive::TriangleStrip, 0, 2 * c - 2);
    device.DrawPrimitive(platform::Primitive::TriangleStrip, 2 * c, 2 * c - 2);
    device.DrawPrimitive(platform::Primitive::TriangleStrip, 4 * c, 2 * r - 2);
    device.DrawPrimitive(platform::Primitive::TriangleStrip, 4 * c + 2 * r, 2 * r - 2);
    device.SetTexture(0, nullptr);
}

void TerrainRenderer::StepWater()
{
    if (TimerElapsed(waterTimer_) <= kWaterFrameSeconds) {
        return;
    }
    TimerStart(waterTimer_);
    if (waterFrame_ == 0) {
        waterDirection_ = 1;
    }
    if (waterFrame_ == kWaterFrames - 1) {
        waterDirection_ = -1;
    }
    waterFrame_ += waterDirection_;
}

void TerrainRenderer::DrawWater(platform::RenderDevice& device)
{
    using platform::RenderState;
    if (!loaded_) {
        return;
    }
    device.SetTransform(platform::TransformKind::World, Matrix::Identity());
    device.SetRenderState(RenderState::Lighting, 1);
    device.SetRenderState(RenderState::AlphaBlendEnable, 1);
    device.SetRenderState(RenderState::SpecularEnable, 1);
    device.SetRenderState(RenderState::SpecularMaterialSource, platform::kSourceMaterial);
    SetEdgeMaterial(device);
    StepWater();
    device.SetVertexFormat(kVertexFormat);
    device.SetTexture(0, waterTextures_[static_cast<std::size_t>(waterFrame_)].get());
    device.SetStreamSource(waterBuffer_.get(), kStride);
    device.DrawPrimitive(platform::Primitive::TriangleStrip, 0, 2);
    device.SetRenderState(RenderState::AlphaBlendEnable, 0);
    device.SetTexture(0, nullptr);
}
