// A static model of the world: a tree, a rock, a flag, a projectile, a piece
// of debris. Every mesh of its file joined into one (placed by their frames),
// drawn as subset 0 with the object's one texture.
//
// Loading only; the drawing device draws it later, with the world matrix
// given here, and loads the texture named here.
#pragma once

#include "world/MeshGeometry.h"
#include "world/XFileData.h"

#include <span>
#include <string>
#include <string_view>

class ObjectMesh {
public:
    // Loads the mesh file and keeps the texture's path. A missing or refused
    // file is logged in "Meshes.txt" and leaves the mesh empty.
    bool Load(std::string_view meshPath, std::string_view texturePath);
    // The geometry from data in memory, checked here; why says what was wrong.
    bool LoadFromData(const XFileData& data, std::string* why = nullptr);

    bool IsEmpty() const { return geometry_.indices.empty(); }
    const MeshGeometry& GetGeometry() const { return geometry_; }
    const std::string& GetTexturePath() const { return texturePath_; }

    // Turned about each axis in turn, then moved to position (R1 ... Rn P in
    // row-vector order); a zero axis is no turn. The pairs beyond the shorter
    // of the two lists are ignored.
    static Matrix GetWorldMatrix(const Vec3& position, std::span<const Vec3> axes, std::span<const float> angles);

private:
    MeshGeometry geometry_;
    std::string texturePath_;
};
