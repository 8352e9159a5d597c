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

#include "platform/math/Float4.h"
#include "platform/math/Vector.h"

#include <cstdint>
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

    // Four points at once, one a lane, each lane to the bit what SampleAt
    // and HeightAt give.
    struct Samples4 {
        Float4 height;
        Float4 normalX;
        Float4 normalY;
        Float4 normalZ;
    };
    void SampleLanes(const Float4& x, const Float4& z, Samples4& out) const;
    // SampleLanes' normal alone; out.height is left as it was.
    void NormalLanes(const Float4& x, const Float4& z, Samples4& out) const;
    Float4 HeightLanes(const Float4& x, const Float4& z) const;

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
    Float4 GridX(const Float4& x) const { return Float4(lastColumn_) * (x + halfSize_) / mapSize_; }
    Float4 GridZ(const Float4& z) const { return Float4(lastRow_) * (Float4(halfSize_) - z) / mapSize_; }
    float HeightInCell(float gx, float gz) const;
    Vec3 NormalInCell(float gx, float gz) const;
    const Vertex& At(std::uint32_t c, std::uint32_t r) const { return vertices_[r * stride_ + c]; }
    Mask4 InsideLanes(const Float4& x, const Float4& z) const;
    static Float4 CellLanes(const Float4& g, float last);
    void FirstVertexLanes(const Float4& c, const Float4& r, std::uint32_t first[4]) const;
    Float4 HeightInCellLanes(const Float4& gx, const Float4& gz) const;
    void NormalInCellLanes(const Float4& gx, const Float4& gz, Float4& nx, Float4& ny, Float4& nz) const;
    // The normal of the lanes at grid coordinates (gx, gz), set where inside.
    void NormalOfLanes(const Mask4& inside, const Float4& gx, const Float4& gz, Samples4& out) const;

    std::uint32_t columns_ = 0;
    std::uint32_t rows_ = 0;
    // Samples per stored row: one more than the columns, for the repeat.
    std::uint32_t stride_ = 0;
    float mapSize_ = 0.0f;
    float halfSize_ = 0.0f;
    float lastColumn_ = 0.0f;
    float lastRow_ = 0.0f;
    std::vector<Vertex> vertices_;
    std::uint64_t generation_ = 0;
};
