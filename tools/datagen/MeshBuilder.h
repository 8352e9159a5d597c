// Builds the low-polygon meshes of the generated models, face by face, into
// the mesh file form the game reads (XMesh). Every face is flat: corners that
// share a position and texture coordinate are one vertex, and normals are
// listed by face, so a vertex on an edge carries one normal per face it
// touches and the game splits it when it loads the file.
#pragma once

#include "world/XFileData.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace datagen {

// How corners get their texture coordinates (v runs downward).
struct UvMapping {
    enum class Kind {
        // Projected along the axis the face turns most towards; the texture
        // repeats `repeats` times per unit. For tiling pictures.
        Box,
        // Round the y axis (repeats times round) and down from yHigh to yLow
        // over the band vTop..vBottom of the picture. For atlases whose
        // bands tile sideways.
        Cylinder,
        // Seen from the front: across from xLow to xHigh (repeats times) and
        // down as for Cylinder. For flat things like a flag's cloth.
        Flat,
    };
    Kind kind = Kind::Box;
    float repeats = 1.0f;
    float xLow = 0.0f;
    float xHigh = 1.0f;
    float yLow = 0.0f;
    float yHigh = 1.0f;
    float vTop = 0.0f;
    float vBottom = 1.0f;
};

class MeshBuilder {
public:
    explicit MeshBuilder(std::string name) { mesh_.name = std::move(name); }

    // Applied to the corners of every shape added after it.
    void SetTransform(const Matrix& transform) { transform_ = transform; }
    void SetMapping(const UvMapping& mapping) { mapping_ = mapping; }

    // One flat polygon, its corners in order round it (either way): it is
    // turned to face away from the point inside. Degenerate faces are dropped.
    void AddFace(std::vector<Vec3> corners, const Vec3& inside);
    void AddBox(const Vec3& low, const Vec3& high);
    // A frustum of a regular polygon round the y axis: radius r0 at y0, r1
    // at y1 (0 makes a point), its first corner at angle a0 from +x towards +z.
    void AddFrustum(int sides, float r0, float r1, float y0, float y1, float a0 = 0.0f);
    // Two pyramids base to base: a gem, a crystal, a dart.
    void AddBipyramid(int sides, float radius, float yBottom, float yMiddle, float yTop, float a0 = 0.0f);
    // A ball of the given radii whose surface is pushed in and out by noise
    // (roughness is the share of the radius): rocks and foliage.
    void AddLumpyBall(const Vec3& radii, int slices, int stacks, float roughness, unsigned seed);

    // The mesh with one material on every face.
    XMesh Build(const XMaterial& material) const;

private:
    Vec2 TextureCoord(const Vec3& p, const Vec3& normal, float centreAngle) const;
    std::uint32_t Position(const Vec3& p, const Vec2& uv);
    std::uint32_t Normal(const Vec3& n);

    XMesh mesh_;
    Matrix transform_ = Matrix::Identity();
    UvMapping mapping_;
    std::map<std::array<float, 5>, std::uint32_t> positionIndex_;
    std::map<std::array<float, 3>, std::uint32_t> normalIndex_;
};

} // namespace datagen
