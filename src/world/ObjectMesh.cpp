// Loading static world models.
#include "world/ObjectMesh.h"

#include "core/ErrorLog.h"
#include "world/MeshHierarchy.h"
#include "world/XFile.h"

#include <algorithm>

bool ObjectMesh::Load(std::string_view meshPath, std::string_view texturePath)
{
    geometry_ = MeshGeometry{};
    texturePath_ = texturePath;
    XFileData data;
    std::string why;
    if (!LoadXFile(meshPath, data, &why) || !LoadFromData(data, &why)) {
        ErrorLog("Meshes.txt", true).Warning("Mesh " + std::string(meshPath) + " not loaded: " + why);
        return false;
    }
    if (IsEmpty()) {
        ErrorLog("Meshes.txt", true).Warning("Mesh " + std::string(meshPath) + " has no faces to draw");
    }
    return true;
}

bool ObjectMesh::LoadFromData(const XFileData& data, std::string* why)
{
    geometry_ = MeshGeometry{};
    if (!ValidateXFileData(data, why)) {
        return false;
    }
    geometry_ = MeshHierarchy(data).MergeAll();
    return true;
}

Matrix ObjectMesh::GetWorldMatrix(const Vec3& position, std::span<const Vec3> axes, std::span<const float> angles)
{
    Matrix world = Matrix::Identity();
    const std::size_t count = std::min(axes.size(), angles.size());
    for (std::size_t k = 0; k < count; ++k) {
        world = world * MatrixRotationAxis(axes[k], angles[k]);
    }
    return world * MatrixTranslation(position.x, position.y, position.z);
}
