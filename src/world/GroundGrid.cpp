// GroundGrid: the packed copy of the ground and its two queries, for one
// point and for eight. The
// arithmetic follows Terrain_Queries.cpp step for step; only the choice of
// triangle is made by selecting operands instead of by branching, which
// gives the same operations on the same values.
#include "world/GroundGrid.h"

#include "world/TerrainGrid.h"

#include <atomic>
#include <cmath>
#include <cstring>

// The eight-lane helpers are inlined into the dispatched queries, which the
// compiler warns pass their vectors differently with AVX; they never pass
// them across a call.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace {

// Generations are handed out across every grid, so a grid released and
// filled again never repeats one.
std::uint64_t NextGeneration()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

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
    Float8(halfSize_).Store(lanes_.halfSize);
    Float8(-halfSize_).Store(lanes_.minusHalfSize);
    Float8(mapSize_).Store(lanes_.mapSize);
    Float8(lastColumn_).Store(lanes_.lastColumn);
    Float8(lastRow_).Store(lanes_.lastRow);
    vertices_.assign(static_cast<std::size_t>(stride_) * (rows + 1), Vertex());
}

void GroundGrid::Release()
{
    *this = GroundGrid();
    generation_ = NextGeneration();
}

void GroundGrid::SetVertex(std::uint32_t c, std::uint32_t r, float height, const Vec3& normal)
{
    if (c >= columns_ || r >= rows_) {
        return;
    }
    generation_ = NextGeneration();
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

// Eight at once, as whole vectors: the lanes are clamped to the grid, so
// neither index wraps.
inline void GroundGrid::FirstVertexLanes(const Float8& c, const Float8& r, std::uint32_t first[8],
                                         std::uint32_t next[8]) const
{
    Indices index;
    CornerLanes(c, r, index);
    const Indices below = index + stride_;
    std::memcpy(first, &index, sizeof(index));
    std::memcpy(next, &below, sizeof(below));
}

inline Float8 GroundGrid::HeightInCellLanes(const Float8& gx, const Float8& gz) const
{
    const Float8 c = CellLanes(gx, lanes_.lastColumn);
    const Float8 r = CellLanes(gz, lanes_.lastRow);
    std::uint32_t first[8] = {};
    std::uint32_t next[8] = {};
    FirstVertexLanes(c, r, first, next);
    const Vertex* const vertices = vertices_.data();
    // Each half gathered in registers: eight loose floats stored and read
    // back as one would stall the read.
    const auto corner = [&](const std::uint32_t* row, std::size_t offset) {
        const auto height = [&](int i) { return vertices[std::size_t{row[i]} + offset].height; };
        return Float8::FromHalves(Float4::Lanes(height(0), height(1), height(2), height(3)),
                                  Float4::Lanes(height(4), height(5), height(6), height(7)));
    };
    const Float8 h00 = corner(first, 0);
    const Float8 h10 = corner(first, 1);
    const Float8 h01 = corner(next, 0);
    const Float8 h11 = corner(next, 1);
    return HeightFromCorners(gx - c, gz - r, h00, h10, h01, h11);
}

// NormalInCell lane by lane. The four corners of the lanes' cells are read as
// (height, normal) rows and turned into columns.
inline void GroundGrid::NormalInCellLanes(const Float8& gx, const Float8& gz, Float8& nx, Float8& ny, Float8& nz) const
{
    const Float8 c = CellLanes(gx, lanes_.lastColumn);
    const Float8 r = CellLanes(gz, lanes_.lastRow);
    std::uint32_t first[8] = {};
    std::uint32_t next[8] = {};
    FirstVertexLanes(c, r, first, next);
    const Vertex* const vertices = vertices_.data();
    Float8 x[4];
    Float8 y[4];
    Float8 z[4];
    const std::uint32_t* const rows[4] = {first, first, next, next};
    for (int k = 0; k < 4; ++k) {
        // Four lanes at a time: the vertices of four lanes become columns.
        const std::uint32_t* const row = rows[k];
        const std::size_t offset = k % 2;
        Float4 columns[2][4];
        for (int half = 0; half < 2; ++half) {
            Float4* const column = columns[half];
            for (int i = 0; i < 4; ++i) {
                column[i] = Float4::Load(&vertices[std::size_t{row[4 * half + i]} + offset].height);
            }
            Transpose(column[0], column[1], column[2], column[3]);
        }
        x[k] = Float8::FromHalves(columns[0][1], columns[1][1]);
        y[k] = Float8::FromHalves(columns[0][2], columns[1][2]);
        z[k] = Float8::FromHalves(columns[0][3], columns[1][3]);
    }
    const Float8 fx = gx - c;
    const Float8 fz = gz - r;
    nx = BlendCorners(fx, fz, x[0], x[1], x[2], x[3]);
    ny = BlendCorners(fx, fz, y[0], y[1], y[2], y[3]);
    nz = BlendCorners(fx, fz, z[0], z[1], z[2], z[3]);
}

KV_LANES_DISPATCHED void GroundGrid::HeightLanes(const Float8& x, const Float8& z, Float8& out) const
{
    if (IsEmpty()) {
        out = Float8(0.0f);
        return;
    }
    out = Select(InsideLanes(x, z), HeightInCellLanes(GridX(x), GridZ(z)), Float8(0.0f));
}

KV_LANES_DISPATCHED void GroundGrid::SampleLanes(const Float8& x, const Float8& z, Samples8& out) const
{
    if (IsEmpty()) {
        out.height = Float8(0.0f);
        return;
    }
    const Mask8 inside = InsideLanes(x, z);
    const Float8 gx = GridX(x);
    const Float8 gz = GridZ(z);
    out.height = Select(inside, HeightInCellLanes(gx, gz), Float8(0.0f));
    NormalOfLanes(inside, gx, gz, out);
}

KV_LANES_DISPATCHED void GroundGrid::NormalLanes(const Float8& x, const Float8& z, Samples8& out) const
{
    if (IsEmpty()) {
        return;
    }
    NormalOfLanes(InsideLanes(x, z), GridX(x), GridZ(z), out);
}

inline void GroundGrid::NormalOfLanes(const Mask8& inside, const Float8& gx, const Float8& gz, Samples8& out) const
{
    Float8 nx;
    Float8 ny;
    Float8 nz;
    const Float8 half(0.5f);
    NormalInCellLanes(gx - half, gz - half, nx, ny, nz);
    out.normalX = Select(inside, nx, out.normalX);
    out.normalY = Select(inside, ny, out.normalY);
    out.normalZ = Select(inside, nz, out.normalZ);
}
