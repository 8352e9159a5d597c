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
    Float8 GridX(const Float8& x) const { return Float8(lastColumn_) * (x + halfSize_) / mapSize_; }
    Float8 GridZ(const Float8& z) const { return Float8(lastRow_) * (Float8(halfSize_) - z) / mapSize_; }
    static Float8 CellLanes(const Float8& g, float last);
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
    std::vector<Vertex> vertices_;
    std::uint64_t generation_ = 0;
};
