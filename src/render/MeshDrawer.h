// Drawing the models of the MeshLibrary: a unit's animated parts at its own
// moment of its animation, and static world models. Each mesh part gets one
// vertex and one index buffer the first time it is drawn, kept for the run,
// so a frame allocates nothing. No material is set here, and for animated
// meshes no texture: the caller sets them (units use their army colour).
#pragma once

#include "platform/RenderDevice.h"
#include "world/AnimatedMesh.h"
#include "world/ObjectMesh.h"

#include <memory>
#include <span>
#include <unordered_map>

class MeshDrawer {
public:
    // MeshVertex: position, normal, one texture set.
    static constexpr std::uint32_t kVertexFormat =
        platform::kVertexPosition | platform::kVertexNormal | platform::kVertexTex1;

    explicit MeshDrawer(platform::RenderDevice& device) : device_(device) {}

    // Every part of mesh, seconds into its animation (looping), turned by
    // angle about axis through the point 0.5 above position. A mesh without
    // animation draws its part where the model puts it; an empty one, nothing.
    void DrawAnimatedMesh(const AnimatedMesh& mesh, const Vec3& position, const Vec3& axis, float angle,
                          double seconds);
    // Subset 0 of mesh turned about each axis in turn, then moved to position.
    void DrawObjectMesh(const ObjectMesh& mesh, const Vec3& position, std::span<const Vec3> axes,
                        std::span<const float> angles);
    // The object's own texture, loaded on first use; null when it cannot be.
    platform::Texture* GetObjectTexture(const ObjectMesh& mesh);

    // Forgets every buffer and texture (meshes drawn before may have gone).
    void ReleaseAll();

private:
    struct GpuMesh {
        std::unique_ptr<platform::VertexBuffer> vertices;
        std::unique_ptr<platform::IndexBuffer> indices;
    };

    const GpuMesh& Upload(const MeshGeometry& geometry);
    void DrawSubset(const MeshGeometry& geometry, std::size_t subset);

    platform::RenderDevice& device_;
    std::unordered_map<const MeshGeometry*, GpuMesh> meshes_;
    std::unordered_map<const ObjectMesh*, std::unique_ptr<platform::Texture>> textures_;
};
