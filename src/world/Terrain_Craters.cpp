// Terrain: explosions dig craters. The ground inside a sphere is pressed
// down to the sphere's lower surface; then everything derived from the
// heights is put right around it: the vertex normals (and the physics'
// copy of them), the diagonals of the touched cells (so HeightAt stays on
// the drawn triangles), the tops of the edge skirts where the crater reaches
// the border, and the light.
//
// The crater's centre and size come over the network, so they are checked
// before any of them becomes a grid index.
#include "world/Terrain.h"

#include "world/TerrainGrid.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace {

// A grid line for a float that may lie off the grid on either side; the
// clamp comes before the conversion.
std::uint32_t GridLine(float g, std::uint32_t last)
{
    return static_cast<std::uint32_t>(std::clamp(g, 0.0f, static_cast<float>(last)));
}

} // namespace

bool Terrain::Crater(float radius, const Vec3& centre)
{
    // No blast is wider than the map; a larger radius from the network would
    // only flatten it to the floor.
    if (!loaded_ || !std::isfinite(radius) || !(radius > 0.0f) || radius > mapSize_ || !Vec3IsFinite(centre)) {
        return false;
    }
    const GridWindow window = CraterWindow(radius, centre);
    PressIntoSphere(window, radius, centre);
    const GridWindow around = Widened(window);
    RecomputeNormals(around);
    RetriangulateCells(around);
    UpdateEdgeTops(around);
    LogEdit(around);
    Relight(nullptr, kGroundAmbient);
    return true;
}

// The grid vertices the sphere can reach, a little generously: the factors
// are the vertex counts, not the cell counts, which only ever widens it.
GridWindow Terrain::CraterWindow(float radius, const Vec3& centre) const
{
    const float h = mapSize_ / 2.0f;
    const auto columns = static_cast<float>(columns_);
    const auto rows = static_cast<float>(rows_);
    return {GridLine(std::floor(columns * (centre.x - radius + h) / mapSize_), columns_ - 1),
            GridLine(std::ceil(columns * (centre.x + radius + h) / mapSize_), columns_ - 1),
            GridLine(std::floor(rows * (h - centre.z - radius) / mapSize_), rows_ - 1),
            GridLine(std::ceil(rows * (h - centre.z + radius) / mapSize_), rows_ - 1)};
}

void Terrain::PressIntoSphere(const GridWindow& window, float radius, const Vec3& centre)
{
    const float sphereY = centre.y + radius / 2.0f;
    // A crater dug into a crater would otherwise sink without end, and below
    // the bottom of the height range picking no longer finds the ground.
    const float floor = -heightScale_ / 2.0f;
    for (std::uint32_t r = window.r0; r <= window.r1; ++r) {
        for (std::uint32_t c = window.c0; c <= window.c1; ++c) {
            Vec3& p = ground_[r * columns_ + c].position;
            const float dx = p.x - centre.x;
            const float dz = p.z - centre.z;
            const float q = radius * radius - dx * dx - dz * dz;
            if (!(q > 0.0f)) {
                continue;
            }
            const float bowl = std::max(sphereY - std::sqrt(q), floor);
            p.y = std::min(p.y, bowl);
        }
    }
}

GridWindow Terrain::Widened(const GridWindow& window) const
{
    return {window.c0 > 0 ? window.c0 - 1 : 0, std::min(window.c1 + 1, columns_ - 1), window.r0 > 0 ? window.r0 - 1 : 0,
            std::min(window.r1 + 1, rows_ - 1)};
}

void Terrain::RecomputeNormals(const GridWindow& window)
{
    const std::span<const TerrainVertex> vertices(ground_);
    for (std::uint32_t r = window.r0; r <= window.r1; ++r) {
        for (std::uint32_t c = window.c0; c <= window.c1; ++c) {
            TerrainVertex& vertex = ground_[r * columns_ + c];
            vertex.normal = terrain_grid::VertexNormal(vertices, columns_, rows_, c, r);
            groundGrid_.SetVertex(c, r, vertex.position.y, vertex.normal);
        }
    }
}

void Terrain::RetriangulateCells(const GridWindow& window)
{
    for (std::uint32_t r = window.r0; r < window.r1; ++r) {
        for (std::uint32_t c = window.c0; c < window.c1; ++c) {
            terrain_grid::WriteCellIndices(std::span<std::uint16_t>(indices_), std::span<const TerrainVertex>(ground_),
                                           columns_, c, r);
        }
    }
}

// The skirt's top vertices follow the border; the bottoms stay where they are.
void Terrain::UpdateEdgeTops(const GridWindow& window)
{
    const auto follow = [this](std::uint32_t edge, std::uint32_t c, std::uint32_t r) {
        TerrainVertex& top = edges_[edge];
        top.position.y = GroundY(c, r);
        top.v0 = top.v1 = terrain_grid::EdgeTopV(heightScale_, top.position.y);
    };
    if (window.r0 == 0) {
        for (std::uint32_t c = window.c0; c <= window.c1; ++c) {
            follow(terrain_grid::EdgeTopOfFirstRow(c), c, 0);
        }
    }
    if (window.r1 == rows_ - 1) {
        for (std::uint32_t c = window.c0; c <= window.c1; ++c) {
            follow(terrain_grid::EdgeTopOfLastRow(columns_, c), c, rows_ - 1);
        }
    }
    if (window.c0 == 0) {
        for (std::uint32_t r = window.r0; r <= window.r1; ++r) {
            follow(terrain_grid::EdgeTopOfFirstColumn(columns_, r), 0, r);
        }
    }
    if (window.c1 == columns_ - 1) {
        for (std::uint32_t r = window.r0; r <= window.r1; ++r) {
            follow(terrain_grid::EdgeTopOfLastColumn(columns_, rows_, r), columns_ - 1, r);
        }
    }
}
