#include "TestMeshes.h"

namespace testing {

XMesh SquareMesh(const std::string& name, float red)
{
    XMesh mesh;
    mesh.name = name;
    // Clockwise seen from -z: up the left side, across the top, down.
    mesh.positions = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
    mesh.faces = {{0, 1, 2, 3}};
    mesh.normals = {{0, 0, -1}};
    mesh.normalFaces = {{0, 0, 0, 0}};
    mesh.textureCoords = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    XMaterial material;
    material.diffuse = {red, 1.0f, 1.0f, 1.0f};
    mesh.materials = {material};
    mesh.faceMaterials = {0};
    return mesh;
}

XFrame MeshFrame(const std::string& name, std::int32_t parent, std::vector<XMesh> meshes)
{
    return XFrame{name, Matrix::Identity(), parent, std::move(meshes)};
}

XAnimation SlidingTrack(const std::string& frameName, float seconds, std::uint32_t ticksPerSecond)
{
    XAnimation track;
    track.frameName = frameName;
    const auto end = static_cast<std::uint32_t>(seconds * static_cast<float>(ticksPerSecond));
    track.positionKeys = {{0, {0, 0, 0}}, {end, {seconds, 0, 0}}};
    return track;
}

XFileData PartsFile(int parts)
{
    XFileData file;
    XAnimationSet set;
    set.name = "Walk";
    for (int i = 0; i < parts; ++i) {
        file.frames.push_back(MeshFrame("Part" + std::to_string(i), -1, {SquareMesh("Mesh" + std::to_string(i))}));
    }
    for (int k = 0; k < parts; ++k) {
        set.animations.push_back(SlidingTrack("Part" + std::to_string(parts - 1 - k), 1.0f, file.ticksPerSecond));
    }
    file.animationSets.push_back(set);
    return file;
}

int CountWrongWinding(const MeshGeometry& g)
{
    int wrong = 0;
    for (std::size_t i = 0; i + 2 < g.indices.size(); i += 3) {
        const Vec3 a = g.vertices[g.indices[i]].position;
        const Vec3 facing =
            Vec3Cross(g.vertices[g.indices[i + 1]].position - a, g.vertices[g.indices[i + 2]].position - a);
        for (std::size_t k = 0; k < 3; ++k) {
            wrong += Vec3Dot(facing, g.vertices[g.indices[i + k]].normal) > 0.0f ? 0 : 1;
        }
    }
    return wrong;
}

std::span<const std::uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

} // namespace testing
