// Building drawable geometry from mesh file data (see MeshGeometry.h).
#include "world/MeshGeometry.h"

#include <unordered_map>
#include <utility>

namespace {

std::uint32_t TriangleCount(const XPolygon& polygon)
{
    return static_cast<std::uint32_t>(polygon.size() - 2);
}

// The vertex for corner c of face f, made the first time its pair is seen.
std::uint32_t VertexFor(const XMesh& mesh, std::size_t f, std::size_t c, MeshGeometry& out,
                        std::unordered_map<std::uint64_t, std::uint32_t>& made)
{
    const std::uint32_t p = mesh.faces[f][c];
    const std::uint32_t n = mesh.normalFaces[f][c];
    const std::uint64_t key = (std::uint64_t{p} << 32) | n;
    const auto [it, added] = made.try_emplace(key, static_cast<std::uint32_t>(out.vertices.size()));
    if (added) {
        out.vertices.push_back({mesh.positions[p], Vec3Normalize(mesh.normals[n]), mesh.textureCoords[p]});
    }
    return it->second;
}

bool SameMaterial(const XMaterial& a, const XMaterial& b)
{
    return a.diffuse.r == b.diffuse.r && a.diffuse.g == b.diffuse.g && a.diffuse.b == b.diffuse.b &&
           a.diffuse.a == b.diffuse.a && a.power == b.power && a.specular == b.specular && a.emissive == b.emissive &&
           a.textureFile == b.textureFile;
}

} // namespace

XMaterial DefaultMeshMaterial()
{
    XMaterial material;
    material.diffuse = {0.5f, 0.5f, 0.5f, 0.0f};
    material.specular = {0.5f, 0.5f, 0.5f};
    return material;
}

MeshGeometry BuildMeshGeometry(const XMesh& mesh)
{
    MeshGeometry out;
    out.materials = mesh.materials;
    if (out.materials.empty()) {
        out.materials.push_back(DefaultMeshMaterial());
    }
    const std::size_t materialCount = out.materials.size();
    const auto materialOf = [&mesh](std::size_t f) { return mesh.faceMaterials.empty() ? 0u : mesh.faceMaterials[f]; };

    // Count first, so the indices of each material can be written in place.
    out.subsets.resize(materialCount);
    std::size_t cornerCount = 0;
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
        out.subsets[materialOf(f)].indexCount += 3 * TriangleCount(mesh.faces[f]);
        cornerCount += mesh.faces[f].size();
    }
    std::uint32_t first = 0;
    for (MeshSubset& subset : out.subsets) {
        subset.firstIndex = first;
        first += subset.indexCount;
    }
    out.indices.resize(first);
    std::vector<std::uint32_t> next(materialCount);
    for (std::size_t m = 0; m < materialCount; ++m) {
        next[m] = out.subsets[m].firstIndex;
    }

    std::unordered_map<std::uint64_t, std::uint32_t> made;
    made.reserve(cornerCount);
    out.vertices.reserve(cornerCount);
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
        std::uint32_t& at = next[materialOf(f)];
        const std::uint32_t anchor = VertexFor(mesh, f, 0, out, made);
        for (std::size_t c = 1; c + 1 < mesh.faces[f].size(); ++c) {
            out.indices[at++] = anchor;
            out.indices[at++] = VertexFor(mesh, f, c, out, made);
            out.indices[at++] = VertexFor(mesh, f, c + 1, out, made);
        }
    }
    return out;
}

void TransformMeshGeometry(MeshGeometry& geometry, const Matrix& transform)
{
    Matrix inverse;
    MatrixInverse(transform, inverse); // a singular frame leaves the normals as they were
    const Matrix normalMatrix = MatrixTranspose(inverse);
    for (MeshVertex& v : geometry.vertices) {
        v.position = Vec3TransformCoord(v.position, transform);
        v.normal = Vec3Normalize(Vec3TransformNormal(v.normal, normalMatrix));
    }
}

void AppendMeshGeometry(MeshGeometry& into, const MeshGeometry& part)
{
    // Where each of part's materials goes in the joined list.
    std::vector<std::size_t> target(part.materials.size());
    for (std::size_t j = 0; j < part.materials.size(); ++j) {
        std::size_t m = 0;
        while (m < into.materials.size() && !SameMaterial(into.materials[m], part.materials[j])) {
            ++m;
        }
        if (m == into.materials.size()) {
            into.materials.push_back(part.materials[j]);
        }
        target[j] = m;
    }
    const auto vertexBase = static_cast<std::uint32_t>(into.vertices.size());
    into.vertices.insert(into.vertices.end(), part.vertices.begin(), part.vertices.end());

    // Regroup the indices by material: into's run of each, then part's.
    std::vector<std::uint32_t> indices;
    indices.reserve(into.indices.size() + part.indices.size());
    std::vector<MeshSubset> subsets(into.materials.size());
    for (std::size_t m = 0; m < subsets.size(); ++m) {
        subsets[m].firstIndex = static_cast<std::uint32_t>(indices.size());
        if (m < into.subsets.size()) {
            const MeshSubset& own = into.subsets[m];
            indices.insert(indices.end(), into.indices.begin() + own.firstIndex,
                           into.indices.begin() + own.firstIndex + own.indexCount);
        }
        for (std::size_t j = 0; j < part.subsets.size(); ++j) {
            if (target[j] != m) {
                continue;
            }
            const MeshSubset& theirs = part.subsets[j];
            for (std::uint32_t i = 0; i < theirs.indexCount; ++i) {
                indices.push_back(vertexBase + part.indices[theirs.firstIndex + i]);
            }
        }
        subsets[m].indexCount = static_cast<std::uint32_t>(indices.size()) - subsets[m].firstIndex;
    }
    into.indices = std::move(indices);
    into.subsets = std::move(subsets);
}
