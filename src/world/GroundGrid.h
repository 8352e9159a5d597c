// GroundGrid: a compact copy of the ground's heights and vertex normals for
// the physics step, which asks for two heights and a normal of every body in
// every frame. One 16-byte sample per grid vertex (against the 48 bytes of a
// drawing vertex) keeps a cell's four corners in two cache lines, and a
// repeated last column and row spare the queries the border tests.
//
// Terrain builds it on load and keeps it up to date whenever its ground
// changes. Its answers are those of Terrain::HeightAt and Terrain::NormalAt to
// the bit: the same cell rule (TerrainGrid.h), the same arithmetic in the same
// order.
#pragma once

#include "platform/math/Float8.h"
#include "platform/math/Vector.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

class GroundGrid {
public:
    // What the physics reads at one point: the ground height and the blended
    // vertex normal (not normalised). Outside the map the height is 0 and the
    // normal is left as the caller set it, as with Terrain's queries.
    struct Sample {
        float height = 0.0f;
        Vec3 normal;
    };

    // An empty grid of columns x rows vertices covering a square of mapSize;
    // every vertex starts at height 0 with a zero normal.
    void Reset(std::uint32_t columns, std::uint32_t rows, float mapSize);
    // Empties the grid: every query answers as outside the map.
    void Release();
    // Sets vertex (c, r), row 0 on the +z side; ignored off the grid.
    void SetVertex(std::uint32_t c, std::uint32_t r, float height, const Vec3& normal);

    bool IsEmpty() const { return columns_ == 0; }
    // Changes whenever an answer may have: every reset, release and vertex
    // set takes a number never handed out before, so a caller that kept an
    // answer with the number can tell whether it still holds.
    std::uint64_t GetGeneration() const { return generation_; }

    // Terrain::HeightAt.
    float HeightAt(float x, float z) const;
    // Terrain::NormalAt, and HeightAt at the same point, found together.
    void SampleAt(float x, float z, Sample& out) const;

    // Eight points at once, one a lane, each lane to the bit what SampleAt
    // and HeightAt give.
    struct Samples8 {
        Float8 height;
        Float8 normalX;
        Float8 normalY;
        Float8 normalZ;
    };
    void SampleLanes(const Float8& x, const Float8& z, Samples8& out) const;
    // SampleLanes' normal alone; out.height is left as it was.
    void NormalLanes(const Float8& x, const Float8& z, Samples8& out) const;
    // Out by reference: a copy built for AVX cannot return eight lanes as
    // the baseline one does.
    void HeightLanes(const Float8& x, const Float8& z, Float8& out) const;

    // The corners of the cells eight points last fell in, kept by the caller
    // from one query to the next. Reading a cell's corners for eight lanes
    // costs more than the rest of a query, and a walking body stays in one
    // cell for dozens of steps. A new Corners8 knows no cell; one kept while
    // the caller changed grids, or the grid its generation, must be
    // replaced by a new one.
    struct alignas(32) Corners8 {
        static constexpr std::uint32_t kNoCell = 0xFFFFFFFFu;
        // The index of each lane's (c, r) corner, for the height and for the
        // normal (whose cell is shifted half a cell).
        std::uint32_t heightCell[8] = {kNoCell, kNoCell, kNoCell, kNoCell, kNoCell, kNoCell, kNoCell, kNoCell};
        std::uint32_t normalCell[8] = {kNoCell, kNoCell, kNoCell, kNoCell, kNoCell, kNoCell, kNoCell, kNoCell};
        // Corner k of each lane's cell, k in the order (c, r), (c + 1, r),
        // (c, r + 1), (c + 1, r + 1).
        float height[4][8] = {};
        float normalX[4][8] = {};
        float normalY[4][8] = {};
        float normalZ[4][8] = {};
    };
    // HeightLanes and NormalLanes, the same to the bit, with the corners of
    // the lanes' cells taken from kept where they are kept there (and kept
    // for the next query). Inline, so a hot loop calling them keeps its
    // vectors in registers.
    void HeightLanesKept(const Float8& x, const Float8& z, Corners8& kept, Float8& out) const;
    void NormalLanesKept(const Float8& x, const Float8& z, Corners8& kept, Samples8& out) const;

private:
    struct Vertex {
        float height = 0.0f;
        Vec3 normal;
    };
    static_assert(sizeof(Vertex) == 16, "four vertices of a cell fit two cache lines");

    bool Inside(float x, float z) const;
    // The grid coordinates of (x, z): columns toward +x, rows toward -z.
    float GridX(float x) const { return lastColumn_ * (x + halfSize_) / mapSize_; }
    float GridZ(float z) const { return lastRow_ * (halfSize_ - z) / mapSize_; }
    float HeightInCell(float gx, float gz) const;
    Vec3 NormalInCell(float gx, float gz) const;
    const Vertex& At(std::uint32_t c, std::uint32_t r) const { return vertices_[r * stride_ + c]; }
    Mask8 InsideLanes(const Float8& x, const Float8& z) const;
    Float8 GridX(const Float8& x) const
    {
        return Float8::Load(lanes_.lastColumn) * (x + Float8::Load(lanes_.halfSize)) / Float8::Load(lanes_.mapSize);
    }
    Float8 GridZ(const Float8& z) const
    {
        return Float8::Load(lanes_.lastRow) * (Float8::Load(lanes_.halfSize) - z) / Float8::Load(lanes_.mapSize);
    }
    // last: the last column or row, eight times over.
    static Float8 CellLanes(const Float8& g, const float* last);
    using Indices = std::uint32_t __attribute__((vector_size(32)));
    // The index of each lane's cell's (c, r) corner; the lanes are clamped
    // to the grid, so it does not wrap. Out by reference, as HeightLanes.
    void CornerLanes(const Float8& c, const Float8& r, Indices& out) const;
    // Reads into kept the corners of the lanes whose cell is not the one
    // kept (cells are the indices of the lanes' (c, r) corners).
    void KeepHeightCorners(const Indices& cells, Corners8& kept) const;
    void KeepNormalCorners(const Indices& cells, Corners8& kept) const;
    static Float8 HeightFromCorners(const Float8& fx, const Float8& fz, const Float8& h00, const Float8& h10,
                                    const Float8& h01, const Float8& h11);
    // The corners' values blended by the point's place (fx, fz) in its cell,
    // as the vertex normals are.
    static Float8 BlendCorners(const Float8& fx, const Float8& fz, const Float8& v00, const Float8& v10,
                               const Float8& v01, const Float8& v11);
    // The index of each lane's cell's (c, r) corner, and of the corner a row
    // further on.
    void FirstVertexLanes(const Float8& c, const Float8& r, std::uint32_t first[8], std::uint32_t next[8]) const;
    Float8 HeightInCellLanes(const Float8& gx, const Float8& gz) const;
    void NormalInCellLanes(const Float8& gx, const Float8& gz, Float8& nx, Float8& ny, Float8& nz) const;
    // The normal of the lanes at grid coordinates (gx, gz), set where inside.
    void NormalOfLanes(const Mask8& inside, const Float8& gx, const Float8& gz, Samples8& out) const;

    std::uint32_t columns_ = 0;
    std::uint32_t rows_ = 0;
    // Samples per stored row: one more than the columns, for the repeat.
    std::uint32_t stride_ = 0;
    float mapSize_ = 0.0f;
    float halfSize_ = 0.0f;
    float lastColumn_ = 0.0f;
    float lastRow_ = 0.0f;
    // The scalars above as the lane queries use them, each eight times over:
    // the queries read them as vectors instead of building them per call.
    struct LaneScalars {
        float halfSize[8] = {};
        float minusHalfSize[8] = {};
        float mapSize[8] = {};
        float lastColumn[8] = {};
        float lastRow[8] = {};
    };
    LaneScalars lanes_;
    std::vector<Vertex> vertices_;
    std::uint64_t generation_ = 0;
};

// The lane queries the physics step builds into its own loop. Their
// arithmetic is that of HeightInCellLanes and NormalInCellLanes
// (GroundGrid.cpp) on the same corners.
//
// The helpers pass eight-lane vectors by value, which compilers warn is
// done differently with AVX; they are only called inlined.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

inline Mask8 GroundGrid::InsideLanes(const Float8& x, const Float8& z) const
{
    const Float8 h = Float8::Load(lanes_.halfSize);
    const Float8 minusH = Float8::Load(lanes_.minusHalfSize);
    return (x >= minusH) & (x <= h) & (z >= minusH) & (z <= h);
}

// CellIndex lane by lane: clamped to the grid, then truncated. Truncating
// and clamping to whole bounds commute, so the cell of a normal (whose
// NormalInCell truncates first) is found alike.
inline Float8 GroundGrid::CellLanes(const Float8& g, const float* last)
{
    const Float8 zero(0.0f);
    const Float8 top = Float8::Load(last);
    return Truncate(Select(g < top, Select(g > zero, g, zero), top));
}

inline void GroundGrid::CornerLanes(const Float8& c, const Float8& r, Indices& out) const
{
    std::int32_t columns[8] = {};
    std::int32_t rows[8] = {};
    c.StoreTruncated(columns);
    r.StoreTruncated(rows);
    Indices column;
    Indices row;
    std::memcpy(&column, columns, sizeof(column));
    std::memcpy(&row, rows, sizeof(row));
    out = row * stride_ + column;
}

inline void GroundGrid::KeepHeightCorners(const Indices& cells, Corners8& kept) const
{
    Indices old;
    std::memcpy(&old, kept.heightCell, sizeof(old));
    unsigned fresh = static_cast<unsigned>(Mask8(cells != old).Bits());
    if (fresh == 0) {
        return;
    }
    std::memcpy(kept.heightCell, &cells, sizeof(cells));
    const Vertex* const vertices = vertices_.data();
    while (fresh != 0) {
        const int i = std::countr_zero(fresh);
        fresh &= fresh - 1;
        const Vertex* const first = vertices + kept.heightCell[i];
        kept.height[0][i] = first[0].height;
        kept.height[1][i] = first[1].height;
        kept.height[2][i] = first[stride_].height;
        kept.height[3][i] = first[stride_ + 1].height;
    }
}

inline void GroundGrid::KeepNormalCorners(const Indices& cells, Corners8& kept) const
{
    Indices old;
    std::memcpy(&old, kept.normalCell, sizeof(old));
    unsigned fresh = static_cast<unsigned>(Mask8(cells != old).Bits());
    if (fresh == 0) {
        return;
    }
    std::memcpy(kept.normalCell, &cells, sizeof(cells));
    const Vertex* const vertices = vertices_.data();
    while (fresh != 0) {
        const int i = std::countr_zero(fresh);
        fresh &= fresh - 1;
        const Vertex* const first = vertices + kept.normalCell[i];
        const Vertex* const corners[4] = {first, first + 1, first + stride_, first + stride_ + 1};
        for (int k = 0; k < 4; ++k) {
            kept.normalX[k][i] = corners[k]->normal.x;
            kept.normalY[k][i] = corners[k]->normal.y;
            kept.normalZ[k][i] = corners[k]->normal.z;
        }
    }
}

inline Float8 GroundGrid::HeightFromCorners(const Float8& fx, const Float8& fz, const Float8& h00, const Float8& h10,
                                            const Float8& h01, const Float8& h11)
{
    const Float8 one(1.0f);
    const Mask8 alongAE = Abs(h11 - h00) <= Abs(h01 - h10);
    const Mask8 nearer = (alongAE & (fx <= fz)) | (~alongAE & (fx + fz < one));
    const Float8 base = Select(alongAE, Select(nearer, h01, h10), Select(nearer, h00, h11));
    const Float8 p = Select(alongAE, Select(nearer, h11, h00), Select(nearer, h10, h01));
    const Float8 q = Select(alongAE, Select(nearer, h00, h11), Select(nearer, h01, h10));
    const Float8 a = Select(nearer, fx, one - fx);
    const Float8 b = Select(~(alongAE ^ nearer), one - fz, fz);
    return base + a * (p - base) + b * (q - base);
}

inline Float8 GroundGrid::BlendCorners(const Float8& fx, const Float8& fz, const Float8& v00, const Float8& v10,
                                       const Float8& v01, const Float8& v11)
{
    const Float8 one(1.0f);
    return v00 * ((one - fz) * (one - fx)) + v10 * ((one - fz) * fx) + v01 * (fz * (one - fx)) + v11 * (fz * fx);
}

inline void GroundGrid::HeightLanesKept(const Float8& x, const Float8& z, Corners8& kept, Float8& out) const
{
    if (IsEmpty()) {
        out = Float8(0.0f);
        return;
    }
    const Float8 gx = GridX(x);
    const Float8 gz = GridZ(z);
    const Float8 c = CellLanes(gx, lanes_.lastColumn);
    const Float8 r = CellLanes(gz, lanes_.lastRow);
    Indices cells;
    CornerLanes(c, r, cells);
    KeepHeightCorners(cells, kept);
    const Float8 height = HeightFromCorners(gx - c, gz - r, Float8::Load(kept.height[0]), Float8::Load(kept.height[1]),
                                            Float8::Load(kept.height[2]), Float8::Load(kept.height[3]));
    out = Select(InsideLanes(x, z), height, Float8(0.0f));
}

inline void GroundGrid::NormalLanesKept(const Float8& x, const Float8& z, Corners8& kept, Samples8& out) const
{
    if (IsEmpty()) {
        return;
    }
    // Vertex normals belong to the vertices: the blend is over the cell
    // shifted half a cell toward -x and +z.
    const Float8 half(0.5f);
    const Float8 gx = GridX(x) - half;
    const Float8 gz = GridZ(z) - half;
    const Float8 c = CellLanes(gx, lanes_.lastColumn);
    const Float8 r = CellLanes(gz, lanes_.lastRow);
    Indices cells;
    CornerLanes(c, r, cells);
    KeepNormalCorners(cells, kept);
    const Float8 fx = gx - c;
    const Float8 fz = gz - r;
    const auto blend = [&](const float(&corner)[4][8]) {
        return BlendCorners(fx, fz, Float8::Load(corner[0]), Float8::Load(corner[1]), Float8::Load(corner[2]),
                            Float8::Load(corner[3]));
    };
    const Mask8 inside = InsideLanes(x, z);
    out.normalX = Select(inside, blend(kept.normalX), out.normalX);
    out.normalY = Select(inside, blend(kept.normalY), out.normalY);
    out.normalZ = Select(inside, blend(kept.normalZ), out.normalZ);
}

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
