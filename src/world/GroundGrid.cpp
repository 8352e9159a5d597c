// GroundGrid: the packed copy of the ground and its two queries. The
// arithmetic follows Terrain_Queries.cpp step for step; only the choice of
// triangle is made by selecting operands instead of by branching, which
// gives the same operations on the same values.
#include "world/GroundGrid.h"

#include "world/TerrainGrid.h"

#include <cmath>

namespace {

// The cell index of a grid coordinate, kept on the grid whatever the float:
// a crafted map can make the coordinate infinite or not a number.
std::uint32_t CellIndex(float g, float last)
{
    const float clamped = g < last ? (g > 0.0f ? g : 0.0f) : last;
    return static_cast<std::uint32_t>(clamped);
}

} // namespace

void GroundGrid::Reset(std::uint32_t columns, std::uint32_t rows, float mapSize)
{
    Release();
    if (columns < 2 || rows < 2) {
        return;
    }
    columns_ = columns;
    rows_ = rows;
    stride_ = columns + 1;
    mapSize_ = mapSize;
    halfSize_ = mapSize / 2.0f;
    lastColumn_ = static_cast<float>(columns - 1);
    lastRow_ = static_cast<float>(rows - 1);
    vertices_.assign(static_cast<std::size_t>(stride_) * (rows + 1), Vertex());
}

void GroundGrid::Release()
{
    *this = GroundGrid();
}

void GroundGrid::SetVertex(std::uint32_t c, std::uint32_t r, float height, const Vec3& normal)
{
    if (c >= columns_ || r >= rows_) {
        return;
    }
    const Vertex vertex{height, normal};
    // The last column and row are stored twice, so a cell on the border reads
    // its missing neighbour as the border vertex itself, as Terrain does.
    const std::uint32_t lastC = c + 1 == columns_ ? c + 1 : c;
    const std::uint32_t lastR = r + 1 == rows_ ? r + 1 : r;
    for (std::uint32_t row = r; row <= lastR; ++row) {
        for (std::uint32_t column = c; column <= lastC; ++column) {
            vertices_[row * stride_ + column] = vertex;
        }
    }
}

// A coordinate that is not a number fails both tests and counts as outside.
bool GroundGrid::Inside(float x, float z) const
{
    const float h = halfSize_;
    return x >= -h && x <= h && z >= -h && z <= h;
}

float GroundGrid::HeightAt(float x, float z) const
{
    if (IsEmpty() || !Inside(x, z)) {
        return 0.0f;
    }
    return HeightInCell(GridX(x), GridZ(z));
}

void GroundGrid::SampleAt(float x, float z, Sample& out) const
{
    if (IsEmpty() || !Inside(x, z)) {
        out.height = 0.0f;
        return;
    }
    const float gx = GridX(x);
    const float gz = GridZ(z);
    out.height = HeightInCell(gx, gz);
    out.normal = NormalInCell(gx - 0.5f, gz - 0.5f);
}

// The cell's two triangles by the diagonal rule, each a plane through three
// corners: base + a * (p - base) + b * (q - base).
float GroundGrid::HeightInCell(float gx, float gz) const
{
    const std::uint32_t c = CellIndex(gx, lastColumn_);
    const std::uint32_t r = CellIndex(gz, lastRow_);
    const float fx = gx - static_cast<float>(c);
    const float fz = gz - static_cast<float>(r);
    const float h00 = At(c, r).height;
    const float h10 = At(c + 1, r).height;
    const float h01 = At(c, r + 1).height;
    const float h11 = At(c + 1, r + 1).height;
    const bool alongAE = terrain_grid::SplitsAlongAE(h00, h10, h01, h11);
    // The triangle nearer the cell's (c, r) corner along x.
    const bool first = alongAE ? fx <= fz : fx + fz < 1.0f;
    const float base = alongAE ? (first ? h01 : h10) : (first ? h00 : h11);
    const float p = alongAE ? (first ? h11 : h00) : (first ? h10 : h01);
    const float q = alongAE ? (first ? h00 : h11) : (first ? h01 : h10);
    const float a = first ? fx : 1.0f - fx;
    const float b = alongAE == first ? 1.0f - fz : fz;
    return base + a * (p - base) + b * (q - base);
}

// Vertex normals belong to the vertices, so the blend is over the cell
// shifted half a cell toward -x and +z (the caller's gx and gz are shifted).
Vec3 GroundGrid::NormalInCell(float gx, float gz) const
{
    const std::uint32_t c = CellIndex(std::trunc(gx), lastColumn_);
    const std::uint32_t r = CellIndex(std::trunc(gz), lastRow_);
    const float fx = gx - static_cast<float>(c);
    const float fz = gz - static_cast<float>(r);
    return At(c, r).normal * ((1.0f - fz) * (1.0f - fx)) + At(c + 1, r).normal * ((1.0f - fz) * fx) +
           At(c, r + 1).normal * (fz * (1.0f - fx)) + At(c + 1, r + 1).normal * (fz * fx);
}
