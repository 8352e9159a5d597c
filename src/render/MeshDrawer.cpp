// MeshDrawer: buffers per mesh part and the world matrices of the draws.
#include "render/MeshDrawer.h"

#include "core/ErrorLog.h"

#include <cstring>

static_assert(sizeof(MeshVertex) == 32, "mesh buffers use a stride of 32 bytes");

const MeshDrawer::GpuMesh& MeshDrawer::Upload(const MeshGeometry& geometry)
{
    const auto found = meshes_.find(&geometry);
    if (found != meshes_.end()) {
        return found->second;
    }
    GpuMesh gpu;
    const std::size_t vertexBytes = geometry.vertices.size() * sizeof(MeshVertex);
    gpu.vertices = device_.CreateVertexBuffer(vertexBytes);
    std::memcpy(gpu.vertices->Lock().data(), geometry.vertices.data(), vertexBytes);
    gpu.vertices->Unlock();
    const auto indexCount = static_cast<std::uint32_t>(geometry.indices.size());
    gpu.indices = device_.CreateIndexBuffer(indexCount, true);
    std::memcpy(gpu.indices->Lock().data(), geometry.indices.data(), indexCount * sizeof(std::uint32_t));
    gpu.indices->Unlock();
    return meshes_.emplace(&geometry, std::move(gpu)).first->second;
}

void MeshDrawer::DrawSubset(const MeshGeometry& geometry, std::size_t subset)
{
    if (subset >= geometry.subsets.size() || geometry.subsets[subset].indexCount == 0) {
        return;
    }
    const GpuMesh& gpu = Upload(geometry);
    const MeshSubset& range = geometry.subsets[subset];
    device_.SetVertexFormat(kVertexFormat);
    device_.SetStreamSource(gpu.vertices.get(), sizeof(MeshVertex));
    device_.SetIndices(gpu.indices.get());
    device_.DrawIndexedPrimitive(platform::Primitive::TriangleList, 0, 0,
                                 static_cast<std::uint32_t>(geometry.vertices.size()), range.firstIndex,
                                 range.indexCount / 3);
}

void MeshDrawer::DrawAnimatedMesh(const AnimatedMesh& mesh, const Vec3& position, const Vec3& axis, float angle,
                                  double seconds)
{
    const Matrix placement = AnimatedMesh::UnitPlacementMatrix(position, axis, angle);
    for (int part = 0; part < mesh.GetPartCount(); ++part) {
        const MeshGeometry& geometry = mesh.GetPartGeometry(part);
        const Matrix world = AnimatedMesh::PartWorldMatrix(mesh.GetPartSrt(part, seconds), placement);
        for (std::size_t subset = 0; subset < geometry.subsets.size(); ++subset) {
            device_.SetTransform(platform::TransformKind::World, world);
            DrawSubset(geometry, subset);
        }
    }
}

void MeshDrawer::DrawObjectMesh(const ObjectMesh& mesh, const Vec3& position, std::span<const Vec3> axes,
                                std::span<const float> angles)
{
    if (mesh.IsEmpty()) {
        return;
    }
    device_.SetTransform(platform::TransformKind::World, ObjectMesh::GetWorldMatrix(position, axes, angles));
    DrawSubset(mesh.GetGeometry(), 0);
}

platform::Texture* MeshDrawer::GetObjectTexture(const ObjectMesh& mesh)
{
    const auto found = textures_.find(&mesh);
    if (found != textures_.end()) {
        return found->second.get();
    }
    std::unique_ptr<platform::Texture> texture;
    if (!mesh.GetTexturePath().empty()) {
        std::string why;
        texture = device_.CreateTextureFromFile(mesh.GetTexturePath(), &why);
        if (!texture) {
            ErrorLog("Meshes.txt", true).Warning("Texture " + mesh.GetTexturePath() + " not loaded: " + why);
        }
    }
    // A failure is remembered too, so it is reported once.
    return textures_.emplace(&mesh, std::move(texture)).first->second.get();
}

void MeshDrawer::ReleaseAll()
{
    meshes_.clear();
    textures_.clear();
}
