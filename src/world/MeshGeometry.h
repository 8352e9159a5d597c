// The drawable form of one mesh: vertices that each carry one position,
// normal and texture coordinate, triangle indices grouped by material, and
// the materials. Built on the CPU from a checked mesh file; the drawing device
// takes the vertex and index arrays as they are.
#pragma once

#include "world/XFileData.h"

#include <cstdint>
#include <vector>

struct MeshVertex {
    Vec3 position;
    Vec3 normal;
    Vec2 uv;
};

// Subset j of a mesh is the run of indices of its material j's triangles.
struct MeshSubset {
    std::uint32_t firstIndex = 0;
    std::uint32_t indexCount = 0;
};

struct MeshGeometry {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices; // triangles, clockwise seen from the front
    std::vector<MeshSubset> subsets;    // one per material
    std::vector<XMaterial> materials;   // at least one once built
};

// The material of a mesh that names none: mid grey, no texture.
XMaterial DefaultMeshMaterial();

// From a mesh that ValidateXFileData accepted. A vertex is made for each
// distinct (position, normal) pair its faces use, so a corner shared by faces
// with different normals is split; polygons become fans of triangles from
// their first corner, which keeps their winding. Normals are made unit length.
MeshGeometry BuildMeshGeometry(const XMesh& mesh);

// Moves the geometry by a frame transform: positions by the matrix, normals
// by its inverse transpose (made unit length again).
void TransformMeshGeometry(MeshGeometry& geometry, const Matrix& transform);

// Adds part's triangles to into. A material of part equal to one of into's
// joins its subset, others are added after into's: an object made of several
// meshes with one material still draws whole as subset 0.
void AppendMeshGeometry(MeshGeometry& into, const MeshGeometry& part);
