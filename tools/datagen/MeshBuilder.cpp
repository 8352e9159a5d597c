// Face-by-face mesh building for the generated models (see MeshBuilder.h).
//
// Winding: the game's faces are clockwise seen from the front. In our
// left-handed world that is the order whose (b - a) x (c - a) points out of
// the front, so a face is kept in the order whose summed cross products point
// away from the inside point, and reversed otherwise.
#include "MeshBuilder.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

Vec3 FaceNormal(const std::vector<Vec3>& corners)
{
    Vec3 sum;
    for (std::size_t i = 1; i + 1 < corners.size(); ++i) {
        sum += Vec3Cross(corners[i] - corners[0], corners[i + 1] - corners[0]);
    }
    return Vec3Normalize(sum);
}

Vec3 Centroid(const std::vector<Vec3>& corners)
{
    Vec3 sum;
    for (const Vec3& c : corners) {
        sum += c;
    }
    return sum / static_cast<float>(corners.size());
}

Vec3 RingPoint(float radius, float y, float angle)
{
    return {radius * std::cos(angle), y, radius * std::sin(angle)};
}

// Unit-length numbers written to the file read back a hair off; rounding
// here keeps equal normals equal, so they are listed once.
float Tidy(float v)
{
    return std::round(v * 1e5f) / 1e5f + 0.0f;
}

} // namespace

void MeshBuilder::AddFace(std::vector<Vec3> corners, const Vec3& inside)
{
    for (Vec3& c : corners) {
        c = Vec3TransformCoord(c, transform_);
    }
    const Vec3 in = Vec3TransformCoord(inside, transform_);
    Vec3 normal = FaceNormal(corners);
    if (Vec3LengthSq(normal) == 0.0f) {
        return;
    }
    if (Vec3Dot(normal, Centroid(corners) - in) < 0.0f) {
        std::reverse(corners.begin(), corners.end());
        normal = -normal;
    }
    const Vec3 centre = Centroid(corners);
    const float centreAngle = std::atan2(centre.z, centre.x);
    XPolygon face;
    XPolygon normalFace;
    const std::uint32_t n = Normal(normal);
    for (const Vec3& c : corners) {
        face.push_back(Position(c, TextureCoord(c, normal, centreAngle)));
        normalFace.push_back(n);
    }
    mesh_.faces.push_back(std::move(face));
    mesh_.normalFaces.push_back(std::move(normalFace));
}

void MeshBuilder::AddBox(const Vec3& low, const Vec3& high)
{
    const Vec3 centre = (low + high) * 0.5f;
    const auto corner = [&](int i) {
        return Vec3{(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y, (i & 4) ? high.z : low.z};
    };
    // Each face as four corner numbers in order round it.
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    for (const auto& f : faces) {
        AddFace({corner(f[0]), corner(f[1]), corner(f[2]), corner(f[3])}, centre);
    }
}

void MeshBuilder::AddFrustum(int sides, float r0, float r1, float y0, float y1, float a0)
{
    const Vec3 inside{0.0f, (y0 + y1) * 0.5f, 0.0f};
    std::vector<Vec3> bottom;
    std::vector<Vec3> top;
    for (int k = 0; k < sides; ++k) {
        const float a = a0 + 2.0f * kPi * static_cast<float>(k) / static_cast<float>(sides);
        bottom.push_back(RingPoint(r0, y0, a));
        top.push_back(RingPoint(r1, y1, a));
    }
    const Vec3 bottomPoint{0.0f, y0, 0.0f};
    const Vec3 topPoint{0.0f, y1, 0.0f};
    for (int k = 0; k < sides; ++k) {
        const int next = (k + 1) % sides;
        if (r0 <= 0.0f) {
            AddFace({bottomPoint, top[next], top[k]}, inside);
        } else if (r1 <= 0.0f) {
            AddFace({bottom[k], bottom[next], topPoint}, inside);
        } else {
            AddFace({bottom[k], bottom[next], top[next], top[k]}, inside);
        }
    }
    if (r0 > 0.0f) {
        AddFace(bottom, inside);
    }
    if (r1 > 0.0f) {
        AddFace(top, inside);
    }
}

void MeshBuilder::AddBipyramid(int sides, float radius, float yBottom, float yMiddle, float yTop, float a0)
{
    AddFrustum(sides, radius, 0.0f, yMiddle, yTop, a0);
    AddFrustum(sides, 0.0f, radius, yBottom, yMiddle, a0);
}

void MeshBuilder::AddLumpyBall(const Vec3& radii, int slices, int stacks, float roughness, unsigned seed)
{
    // Rings of points from the south pole to the north, each pushed out by
    // noise; the faces are triangles, so each stays flat however it is bent.
    std::vector<std::vector<Vec3>> rings(static_cast<std::size_t>(stacks) + 1);
    for (int s = 0; s <= stacks; ++s) {
        const float polar = kPi * static_cast<float>(s) / static_cast<float>(stacks);
        for (int k = 0; k < slices; ++k) {
            const float a = 2.0f * kPi * static_cast<float>(k) / static_cast<float>(slices);
            const bool pole = s == 0 || s == stacks;
            const float bump = 1.0f + roughness * (2.0f * LatticeValue(pole ? 0 : k, s, seed) - 1.0f);
            const Vec3 dir{std::sin(polar) * std::cos(a), -std::cos(polar), std::sin(polar) * std::sin(a)};
            rings[static_cast<std::size_t>(s)].push_back(
                {dir.x * radii.x * bump, dir.y * radii.y * bump, dir.z * radii.z * bump});
        }
    }
    for (int s = 0; s < stacks; ++s) {
        const std::vector<Vec3>& low = rings[static_cast<std::size_t>(s)];
        const std::vector<Vec3>& high = rings[static_cast<std::size_t>(s) + 1];
        for (int k = 0; k < slices; ++k) {
            const int next = (k + 1) % slices;
            if (s > 0) {
                AddFace({low[k], low[next], high[k]}, {});
            }
            if (s + 1 < stacks) {
                AddFace({low[next], high[next], high[k]}, {});
            }
        }
    }
}

XMesh MeshBuilder::Build(const XMaterial& material) const
{
    XMesh mesh = mesh_;
    mesh.materials = {material};
    mesh.faceMaterials.assign(mesh.faces.size(), 0);
    return mesh;
}

Vec2 MeshBuilder::TextureCoord(const Vec3& p, const Vec3& normal, float centreAngle) const
{
    if (mapping_.kind == UvMapping::Kind::Box) {
        const float ax = std::fabs(normal.x);
        const float ay = std::fabs(normal.y);
        const float az = std::fabs(normal.z);
        const float r = mapping_.repeats;
        if (ay >= ax && ay >= az) {
            return {Tidy(p.x * r), Tidy(-p.z * r)};
        }
        return ax >= az ? Vec2{Tidy(p.z * r), Tidy(-p.y * r)} : Vec2{Tidy(p.x * r), Tidy(-p.y * r)};
    }
    const float down = std::clamp((mapping_.yHigh - p.y) / (mapping_.yHigh - mapping_.yLow), 0.0f, 1.0f);
    const float v = Tidy(mapping_.vTop + down * (mapping_.vBottom - mapping_.vTop));
    if (mapping_.kind == UvMapping::Kind::Flat) {
        return {Tidy((p.x - mapping_.xLow) / (mapping_.xHigh - mapping_.xLow) * mapping_.repeats), v};
    }
    // Round the axis: the angle is taken within half a turn of the face's
    // centre, so a face across the seam does not wrap the picture backwards.
    float angle = std::hypot(p.x, p.z) < 1e-5f ? centreAngle : std::atan2(p.z, p.x);
    while (angle - centreAngle > kPi) {
        angle -= 2.0f * kPi;
    }
    while (centreAngle - angle > kPi) {
        angle += 2.0f * kPi;
    }
    return {Tidy(angle / (2.0f * kPi) * mapping_.repeats), v};
}

std::uint32_t MeshBuilder::Position(const Vec3& p, const Vec2& uv)
{
    const Vec3 tidy{Tidy(p.x), Tidy(p.y), Tidy(p.z)};
    const std::array<float, 5> key{tidy.x, tidy.y, tidy.z, uv.x, uv.y};
    const auto [it, added] = positionIndex_.try_emplace(key, static_cast<std::uint32_t>(mesh_.positions.size()));
    if (added) {
        mesh_.positions.push_back(tidy);
        mesh_.textureCoords.push_back(uv);
    }
    return it->second;
}

std::uint32_t MeshBuilder::Normal(const Vec3& n)
{
    const std::array<float, 3> key{Tidy(n.x), Tidy(n.y), Tidy(n.z)};
    const auto [it, added] = normalIndex_.try_emplace(key, static_cast<std::uint32_t>(mesh_.normals.size()));
    if (added) {
        mesh_.normals.push_back({key[0], key[1], key[2]});
    }
    return it->second;
}

} // namespace datagen
