// The ground grid cut into square blocks for drawing: each block can be drawn
// at full detail (the terrain's own triangles, so what is drawn is exactly
// what Terrain::HeightAt answers) or at a coarser level that skips grid
// lines, and blocks outside the view are not drawn at all. A software
// rasteriser pays for every small triangle, so the far ground, where cells
// shrink to a few pixels, is drawn with fewer, larger ones.
//
// A coarse level is only used where it cannot be seen to differ: each block
// knows, for each level, the largest vertical gap between that level's
// surface and the full grid's (measured when the block is built, and again
// when a crater changes it), and a frame draws each block at the coarsest
// level whose gap projects to at most kMaxPixelError pixels on a 1024x768
// picture. So the ground drawn under a unit is never more than about a
// pixel above or below its feet, however far off it stands, and a crater
// keeps its block fine enough to show the units in it.
//
// Blocks farther than the detail distance can be drawn from the baked
// ground picture (one texture read a pixel instead of the two layers
// mixed): the caller says whether there is one (SetBakedBeyond).
//
// Where two blocks are drawn at different levels their borders no longer
// meet exactly; skirts (walls hanging down from each block's border) fill
// the slits, whichever of the two borders runs higher. They face outwards,
// so they show only through a slit, and the ground drawn before them hides
// the rest by depth. A side is skirted only where a slit can open: towards
// a neighbour drawn at another level, or at the map's border when the
// block is coarse (the map's edge strips follow the full grid). Two blocks
// at one level share their border's vertices, and a side towards a culled
// neighbour lies inside that neighbour's box, out of view; a skirt there is
// all hidden, yet llvmpipe would still test each of its pixels.
#pragma once

#include "platform/math/Matrix.h"
#include "world/Terrain.h"

#include <array>
#include <cstdint>
#include <vector>

// A ground vertex as the device draws it: texture set 0 runs 0..1 across the
// whole map (the baked ground picture), set 1 repeats the ground layers.
inline TerrainVertex DrawnGroundVertex(const TerrainVertex& vertex, float mapSize)
{
    TerrainVertex drawn = vertex;
    const float h = mapSize / 2.0f;
    drawn.u1 = vertex.u0;
    drawn.v1 = vertex.v0;
    drawn.u0 = (vertex.position.x + h) / mapSize;
    drawn.v0 = (h - vertex.position.z) / mapSize;
    return drawn;
}

class GroundBlocks {
public:
    // Cells a side. The coarsest level draws a block as one cell; smaller
    // blocks keep a rough spot (a crater, a ridge) from holding much
    // smooth ground around it at full detail, at the price of more draws.
    static constexpr std::uint32_t kBlockCells = 8;
    // Level n skips to every 2^n-th grid line; level 0 is the full grid.
    static constexpr int kLevels = 4;

    // A stretch of triangles to draw: the first index into GetIndices() for
    // the ground, into GetSkirtIndices() for the skirts.
    struct Run {
        std::uint32_t first = 0;
        std::uint32_t triangles = 0;
    };

    // Cuts terrain's grid into blocks (anything before goes). The indices
    // refer to terrain's ground vertices.
    void Build(const Terrain& terrain);
    // Puts the blocks that hold any vertex of window right after the
    // terrain changed there: their triangles, skirts and bounds. Counts stay
    // as built, so the buffers keep their layout.
    void Update(const Terrain& terrain, const GridWindow& window);
    // Picks the visible blocks and their levels for a camera (world is the
    // identity) and gathers their triangles into as few runs as possible.
    void Select(const Matrix& view, const Matrix& projection);
    // Every block at one level, with the layers (the minimap's view).
    void SelectAllAt(int level);
    // Only the blocks that share a cell with window (the cells between its
    // grid lines), at one level, with the layers: a part of the minimap.
    void SelectWindowAt(int level, const GridWindow& window);
    // Blocks at least this far from the eye go to the baked runs; by default
    // none does.
    void SetBakedBeyond(float distance) { bakedBeyond_ = distance; }

    const std::vector<std::uint16_t>& GetIndices() const { return indices_; }
    const std::vector<TerrainVertex>& GetSkirtVertices() const { return skirtVertices_; }
    const std::vector<std::uint32_t>& GetSkirtIndices() const { return skirtIndices_; }
    const std::vector<Run>& GetGroundRuns() const { return groundRuns_; }
    const std::vector<Run>& GetSkirtRuns() const { return skirtRuns_; }
    // The far ground drawn from the baked picture, and the far skirts.
    const std::vector<Run>& GetBakedGroundRuns() const { return bakedGroundRuns_; }
    const std::vector<Run>& GetBakedSkirtRuns() const { return bakedSkirtRuns_; }
    std::uint32_t GetBlocksAcross() const { return blocksAcross_; }
    std::uint32_t GetBlocksDown() const { return blocksDown_; }
    // The level block (x, z) was drawn at by the last Select; -1 when culled.
    int GetSelectedLevel(std::uint32_t blockX, std::uint32_t blockZ) const;
    // The largest height difference, in world units, between block (x, z)
    // drawn at level and the full grid (0 at level 0 and off the grid).
    float GetLevelError(std::uint32_t blockX, std::uint32_t blockZ, int level) const;

    // The most a block's level may move the ground on screen, in pixels of
    // a 1024x768 picture at the depth of the block's nearest corner.
    static constexpr float kMaxPixelError = 1.0f;
    static constexpr float kReferenceScreenHeight = 768.0f;
    // Some detail a height error does not measure: where the layers are
    // mixed per vertex (not from the baked picture), a coarser level also
    // coarsens the painted paths; and the water's edge lies where the ground
    // crosses the water line, so on a gentle shore a height within a pixel
    // can still move the edge far. Such a block is drawn at full detail
    // nearer than this (in world units, to its box), and each further
    // doubling of the distance allows one coarser level at most.
    static constexpr float kFullDetailDistance = 110.0f;
    // Nearer than this the two layers are mixed per pixel, so the ground
    // under the camera keeps the layers' full detail; farther, the baked
    // picture at least matches what the layers' mipmaps would show.
    static constexpr float kDetailTextureDistance = 50.0f;

private:
    // Added to the depth a slit needs, so a skirt also closes the pinholes a
    // rasteriser can leave where a finer border's vertex sits on a coarser
    // one's edge.
    static constexpr float kSkirtMargin = 0.1f;

    struct Range {
        std::uint32_t first = 0;
        std::uint32_t count = 0;
    };
    // A block's sides: its first and last grid rows, first and last columns.
    enum Side { kFirstRow, kLastRow, kFirstColumn, kLastColumn, kSides };
    struct Block {
        std::uint32_t c0 = 0, c1 = 0, r0 = 0, r1 = 0; // grid lines bounding it
        Vec3 boxMin;
        Vec3 boxMax;
        std::array<Range, kLevels> ground{};                     // indices
        std::array<std::array<Range, kSides>, kLevels> skirts{}; // skirt indices, by Side
        // By level, never smaller than a finer level's: the coarsest level
        // within a bound is then the last one within it.
        std::array<float, kLevels> error{};
        bool shore = false; // the water line runs through it
    };

    void Bound(const Terrain& terrain, Block& block) const;
    void RefillGround(const Terrain& terrain, const Block& block);
    static void MeasureErrors(const Terrain& terrain, Block& block);
    static float LevelError(const Terrain& terrain, const Block& block, int level);
    static int LevelForError(const Block& block, float allowedError);
    void GroundLevel(const Terrain& terrain, const Block& block, int level, std::vector<std::uint16_t>& out) const;
    // The skirts of one level, side after side, recording each side's range.
    void SkirtLevel(const Terrain& terrain, Block& block, int level);
    // Where the top vertex of the skirt under grid vertex (c, r) of a block
    // border row or column lies; its bottom vertex follows it.
    static std::uint32_t BorderLine(std::uint32_t line, std::uint32_t last);
    std::uint32_t RowSkirtVertex(std::uint32_t r, std::uint32_t c) const;
    std::uint32_t ColumnSkirtVertex(std::uint32_t c, std::uint32_t r) const;
    void WriteSkirtVertices(const Terrain& terrain, const GridWindow& window);
    bool NeedsSkirt(std::size_t block, Side side) const;
    float SideDepth(const Terrain& terrain, bool alongRow, std::uint32_t line, std::uint32_t first,
                    std::uint32_t last) const;
    void MeasureSideDepths(const Terrain& terrain, const GridWindow& window);
    float SkirtDepthAt(const std::vector<float>& depths, std::uint32_t line, std::uint32_t along,
                       std::uint32_t sides) const;
    float BlockSkirtDepth(const Block& block) const;
    void GatherRuns();
    static int LevelForDistance(float distance);
    static void AppendRun(std::vector<Run>& runs, std::uint32_t first, std::uint32_t triangles);

    std::uint32_t columns_ = 0;
    std::uint32_t rows_ = 0;
    float mapSize_ = 0.0f;
    float bakedBeyond_ = 1e30f;
    std::uint32_t blocksAcross_ = 0;
    std::uint32_t blocksDown_ = 0;
    std::vector<Block> blocks_;
    std::vector<std::uint16_t> indices_;
    std::vector<TerrainVertex> skirtVertices_;
    std::vector<std::uint32_t> skirtIndices_;
    // How deep the skirts hang under each side of a block: by row border
    // line, then block column; by column border line, then block row.
    std::vector<float> rowSideDepths_;
    std::vector<float> columnSideDepths_;
    std::vector<int> selected_;
    std::vector<Run> groundRuns_;
    std::vector<Run> skirtRuns_;
    std::vector<Run> bakedGroundRuns_;
    std::vector<Run> bakedSkirtRuns_;
    std::vector<bool> baked_;
};
