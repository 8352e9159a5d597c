// BlobShadows: the quads of a frame gathered into one buffer and drawn at
// once, in the shadow states, which are undone afterwards.
#include "render/BlobShadows.h"

#include "core/ErrorLog.h"
#include "game/MeshObject.h"
#include "game/Unit.h"
#include "render/TerrainRenderer.h"
#include "render/UnitGrid.h"

#include <cstring>

std::array<TerrainVertex, 6> BlobShadows::Quad(const Terrain& terrain, const Vec3& p)
{
    const auto corner = [&terrain](float x, float z, float u, float v) {
        TerrainVertex vertex;
        vertex.position = {x, terrain.HeightAt(x, z) + kLift, z};
        vertex.normal = {};
        vertex.diffuse = 0xFFFFFFFFu;
        vertex.specular = 0;
        vertex.u0 = vertex.u1 = u;
        vertex.v0 = vertex.v1 = v;
        return vertex;
    };
    const TerrainVertex v0 = corner(p.x - kHalfSide, p.z + kHalfSide, 0.0f, 0.0f);
    const TerrainVertex v1 = corner(p.x + kHalfSide, p.z + kHalfSide, 1.0f, 0.0f);
    const TerrainVertex v2 = corner(p.x + kHalfSide, p.z - kHalfSide, 1.0f, 1.0f);
    const TerrainVertex v3 = corner(p.x - kHalfSide, p.z - kHalfSide, 0.0f, 1.0f);
    return {v0, v1, v2, v0, v2, v3};
}

bool BlobShadows::Prepare(platform::RenderDevice& device)
{
    if (!textureTried_) {
        textureTried_ = true;
        std::string why;
        texture_ = device.CreateTextureFromFile(kTexturePath, &why);
        if (!texture_) {
            ErrorLog("Renderer.txt", true).Warning("No blob shadows: " + why);
        }
    }
    return texture_ != nullptr;
}

void BlobShadows::Draw(platform::RenderDevice& device, const Terrain& terrain, const UnitGrid& grid)
{
    using platform::RenderState;
    if (!terrain.IsLoaded() || !Prepare(device)) {
        return;
    }
    vertices_.clear();
    const auto add = [this, &terrain](const Vec3& p) {
        const std::array<TerrainVertex, 6> quad = Quad(terrain, p);
        vertices_.insert(vertices_.end(), quad.begin(), quad.end());
    };
    for (const UnitGrid::Cell& cell : grid.GetVisibleCells()) {
        for (const Unit* unit : grid.GetUnits(cell)) {
            add(unit->GetPosition());
        }
        for (const MeshObject* object : grid.GetObjects(cell)) {
            add(object->GetPosition());
        }
    }
    if (vertices_.empty()) {
        return;
    }
    const std::size_t bytes = vertices_.size() * sizeof(TerrainVertex);
    // The buffer grows with the crowd and is then kept, so a steady battle
    // makes no buffer a frame.
    if (!buffer_ || buffer_->Size() < bytes) {
        buffer_ = device.CreateVertexBuffer(bytes * 2);
    }
    std::memcpy(buffer_->Lock().data(), vertices_.data(), bytes);
    buffer_->Unlock();
    device.SetTransform(platform::TransformKind::World, Matrix::Identity());
    device.SetStreamSource(buffer_.get(), TerrainRenderer::kStride);
    device.SetTexture(0, texture_.get());
    device.SetVertexFormat(TerrainRenderer::kVertexFormat);
    device.SetRenderState(RenderState::Lighting, 0);
    device.SetRenderState(RenderState::SpecularEnable, 0);
    device.SetRenderState(RenderState::AlphaBlendEnable, 1);
    // Shadows overlap each other and must not hide what stands on them.
    device.SetRenderState(RenderState::ZWriteEnable, 0);
    device.DrawPrimitive(platform::Primitive::TriangleList, 0, static_cast<std::uint32_t>(vertices_.size() / 3));
    device.SetRenderState(RenderState::Lighting, 1);
    device.SetRenderState(RenderState::AlphaBlendEnable, 0);
    device.SetRenderState(RenderState::ZWriteEnable, 1);
    device.SetTexture(0, nullptr);
}

void BlobShadows::Release()
{
    texture_.reset();
    textureTried_ = false;
    buffer_.reset();
}
