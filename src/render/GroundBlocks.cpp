// GroundBlocks: the blocks' triangles at each level, their skirts, and the
// choice per frame of what to draw.
//
// Index layout: level by level, and within a level block by block in rows
// (z outer, x inner), so the visible blocks of one level that follow each
// other in a row make one run, and one draw. The skirts' indices are laid
// out the same way, over their own vertices: a top and a bottom vertex for
// every grid vertex on a block border, row borders first, then column
// borders.
#include "render/GroundBlocks.h"

#include "world/TerrainGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// The grid lines a block keeps at a step: every step-th from its first, and
// always its last, so a block whose width is not a multiple still closes.
std::vector<std::uint32_t> CoarseLines(std::uint32_t first, std::uint32_t last, std::uint32_t step)
{
    std::vector<std::uint32_t> lines;
    for (std::uint32_t line = first; line < last; line += step) {
        lines.push_back(line);
    }
    lines.push_back(last);
    return lines;
}

// The eight corners of a box each lie outside one clip plane: the box is
// out of view. Our projections (MatrixPerspectiveFovLH) keep what is in view
// within -w <= x, y <= w and 0 <= z <= w.
bool BoxOutOfView(const Vec3& lo, const Vec3& hi, const Matrix& viewProjection)
{
    unsigned allOutside = 0x3Fu;
    for (int corner = 0; corner < 8; ++corner) {
        const Vec3 p{(corner & 1) ? hi.x : lo.x, (corner & 2) ? hi.y : lo.y, (corner & 4) ? hi.z : lo.z};
        const Vec4 c = Vec3Transform(p, viewProjection);
        unsigned outside = 0;
        outside |= (c.x < -c.w) ? 1u : 0u;
        outside |= (c.x > c.w) ? 2u : 0u;
        outside |= (c.y < -c.w) ? 4u : 0u;
        outside |= (c.y > c.w) ? 8u : 0u;
        outside |= (c.z < 0.0f) ? 16u : 0u;
        outside |= (c.z > c.w) ? 32u : 0u;
        allOutside &= outside;
    }
    return allOutside != 0;
}

float DistanceToBox(const Vec3& p, const Vec3& lo, const Vec3& hi)
{
    const Vec3 nearest{std::clamp(p.x, lo.x, hi.x), std::clamp(p.y, lo.y, hi.y), std::clamp(p.z, lo.z, hi.z)};
    return std::sqrt(Vec3LengthSq(nearest - p));
}

// The smallest depth (distance along the view direction) of any point of a
// box: depth is linear in the point, so each axis takes the end that gives
// less.
float NearestDepth(const Vec3& lo, const Vec3& hi, const Matrix& view)
{
    return std::min(lo.x * view.m[0][2], hi.x * view.m[0][2]) + std::min(lo.y * view.m[1][2], hi.y * view.m[1][2]) +
           std::min(lo.z * view.m[2][2], hi.z * view.m[2][2]) + view.m[3][2];
}

// The height at fractions (fx, fz) of a cell with corners ya (0, 0), yb
// (1, 0), yd (0, 1) and ye (1, 1), on the triangle that holds the point:
// the cell split as the ground's indices and Terrain::HeightAt split it.
float HeightInCell(float ya, float yb, float yd, float ye, float fx, float fz)
{
    if (terrain_grid::SplitsAlongAE(ya, yb, yd, ye)) {
        return fx <= fz ? yd + fx * (ye - yd) + (1.0f - fz) * (ya - yd) : yb + (1.0f - fx) * (ya - yb) + fz * (ye - yb);
    }
    return fx + fz < 1.0f ? ya + fx * (yb - ya) + fz * (yd - ya)
                          : ye + (1.0f - fx) * (yd - ye) + (1.0f - fz) * (yb - ye);
}

// The full grid's heights, read by grid coordinates (column, row).
class GridHeights {
public:
    explicit GridHeights(const Terrain& terrain)
        : vertices_(terrain.GetGroundVertices()), columns_(terrain.GetColumns()), rows_(terrain.GetRows())
    {
    }

    float At(std::uint32_t c, std::uint32_t r) const { return vertices_[r * columns_ + c].position.y; }
    // The grid cell holding (gx, gz); the last grid line belongs to the
    // cells before it.
    std::array<std::uint32_t, 2> CellAt(float gx, float gz) const
    {
        return {std::min(static_cast<std::uint32_t>(gx), columns_ - 2),
                std::min(static_cast<std::uint32_t>(gz), rows_ - 2)};
    }
    bool CellSplitsAlongAE(std::uint32_t c, std::uint32_t r) const
    {
        return terrain_grid::SplitsAlongAE(At(c, r), At(c + 1, r), At(c, r + 1), At(c + 1, r + 1));
    }
    // The height on the grid's own triangles.
    float Between(float gx, float gz) const
    {
        const std::array<std::uint32_t, 2> cell = CellAt(gx, gz);
        const std::uint32_t c = cell[0];
        const std::uint32_t r = cell[1];
        return HeightInCell(At(c, r), At(c + 1, r), At(c, r + 1), At(c + 1, r + 1), gx - static_cast<float>(c),
                            gz - static_cast<float>(r));
    }

private:
    const std::vector<TerrainVertex>& vertices_;
    std::uint32_t columns_;
    std::uint32_t rows_;
};

// A cell of a coarse level: grid lines x0 to x1 and z0 to z1, drawn as two
// triangles between its corners.
struct CoarseCell {
    std::uint32_t x0 = 0, x1 = 0, z0 = 0, z1 = 0;
    float ya = 0.0f, yb = 0.0f, yd = 0.0f, ye = 0.0f;

    CoarseCell(const GridHeights& grid, std::uint32_t left, std::uint32_t right, std::uint32_t top,
               std::uint32_t bottom)
        : x0(left), x1(right), z0(top), z1(bottom), ya(grid.At(left, top)), yb(grid.At(right, top)),
          yd(grid.At(left, bottom)), ye(grid.At(right, bottom))
    {
    }
    float Width() const { return static_cast<float>(x1 - x0); }
    float Height() const { return static_cast<float>(z1 - z0); }
    float HeightAt(float gx, float gz) const
    {
        return HeightInCell(ya, yb, yd, ye, (gx - static_cast<float>(x0)) / Width(),
                            (gz - static_cast<float>(z0)) / Height());
    }
};

// The largest gap between the coarse cell and the grid at the grid's
// vertices within it.
float GapAtGridVertices(const GridHeights& grid, const CoarseCell& cell)
{
    float worst = 0.0f;
    for (std::uint32_t r = cell.z0; r <= cell.z1; ++r) {
        for (std::uint32_t c = cell.x0; c <= cell.x1; ++c) {
            const float drawn = cell.HeightAt(static_cast<float>(c), static_cast<float>(r));
            worst = std::max(worst, std::fabs(drawn - grid.At(c, r)));
        }
    }
    return worst;
}

// The largest gap along the coarse cell's diagonal, where it crosses a grid
// line or a grid cell's own diagonal. crossings is working space.
float GapAlongDiagonal(const GridHeights& grid, const CoarseCell& cell, std::vector<float>& crossings)
{
    // The diagonal runs from (sx, sz) to (sx + dx, sz + dz), its height from
    // y0 to y1.
    const bool alongAE = terrain_grid::SplitsAlongAE(cell.ya, cell.yb, cell.yd, cell.ye);
    const float sx = static_cast<float>(alongAE ? cell.x0 : cell.x1);
    const float sz = static_cast<float>(cell.z0);
    const float dx = alongAE ? cell.Width() : -cell.Width();
    const float dz = cell.Height();
    const float y0 = alongAE ? cell.ya : cell.yb;
    const float y1 = alongAE ? cell.ye : cell.yd;
    crossings.assign({0.0f, 1.0f});
    for (std::uint32_t c = cell.x0 + 1; c < cell.x1; ++c) {
        crossings.push_back((static_cast<float>(c) - sx) / dx);
    }
    for (std::uint32_t r = cell.z0 + 1; r < cell.z1; ++r) {
        crossings.push_back((static_cast<float>(r) - sz) / dz);
    }
    std::sort(crossings.begin(), crossings.end());
    const std::size_t onGridLines = crossings.size();
    for (std::size_t k = 0; k + 1 < onGridLines; ++k) {
        // Between two grid lines the diagonal stays in one grid cell, and
        // may cross that cell's diagonal once: where u - v = 0 (a-e) or
        // u + v - 1 = 0, (u, v) being the point's place in the cell.
        const float middle = 0.5f * (crossings[k] + crossings[k + 1]);
        const std::array<std::uint32_t, 2> inCell = grid.CellAt(sx + middle * dx, sz + middle * dz);
        const float u0 = sx - static_cast<float>(inCell[0]);
        const float v0 = sz - static_cast<float>(inCell[1]);
        const bool cellAE = grid.CellSplitsAlongAE(inCell[0], inCell[1]);
        const float offAtStart = cellAE ? u0 - v0 : u0 + v0 - 1.0f;
        const float offPerStep = cellAE ? dx - dz : dx + dz;
        if (offPerStep != 0.0f) {
            const float t = -offAtStart / offPerStep;
            if (t > crossings[k] && t < crossings[k + 1]) {
                crossings.push_back(t);
            }
        }
    }
    float worst = 0.0f;
    for (const float t : crossings) {
        const float drawn = y0 + t * (y1 - y0);
        worst = std::max(worst, std::fabs(drawn - grid.Between(sx + t * dx, sz + t * dz)));
    }
    return worst;
}

// The block border line at or before grid line g, and the one at or after it.
std::uint32_t BlockLineBefore(std::uint32_t g)
{
    return g / GroundBlocks::kBlockCells * GroundBlocks::kBlockCells;
}

std::uint32_t BlockLineAfter(std::uint32_t g, std::uint32_t last)
{
    const std::uint32_t before = BlockLineBefore(g);
    return before == g ? g : std::min(before + GroundBlocks::kBlockCells, last);
}

} // namespace

void GroundBlocks::Build(const Terrain& terrain)
{
    const float bakedBeyond = bakedBeyond_;
    *this = GroundBlocks();
    bakedBeyond_ = bakedBeyond;
    columns_ = terrain.GetColumns();
    rows_ = terrain.GetRows();
    mapSize_ = terrain.GetMapSize();
    if (!terrain.IsLoaded() || columns_ < 2 || rows_ < 2) {
        return;
    }
    blocksAcross_ = (columns_ - 2) / kBlockCells + 1;
    blocksDown_ = (rows_ - 2) / kBlockCells + 1;
    const GridWindow whole{0, columns_ - 1, 0, rows_ - 1};
    rowSideDepths_.assign(static_cast<std::size_t>(blocksDown_ + 1) * blocksAcross_, 0.0f);
    columnSideDepths_.assign(static_cast<std::size_t>(blocksAcross_ + 1) * blocksDown_, 0.0f);
    MeasureSideDepths(terrain, whole);
    skirtVertices_.resize(2 * (static_cast<std::size_t>(blocksDown_ + 1) * columns_ +
                               static_cast<std::size_t>(blocksAcross_ + 1) * rows_));
    WriteSkirtVertices(terrain, whole);
    for (std::uint32_t bz = 0; bz < blocksDown_; ++bz) {
        for (std::uint32_t bx = 0; bx < blocksAcross_; ++bx) {
            Block block;
            block.c0 = bx * kBlockCells;
            block.c1 = std::min(block.c0 + kBlockCells, columns_ - 1);
            block.r0 = bz * kBlockCells;
            block.r1 = std::min(block.r0 + kBlockCells, rows_ - 1);
            Bound(terrain, block);
            MeasureErrors(terrain, block);
            blocks_.push_back(block);
        }
    }
    for (int level = 0; level < kLevels; ++level) {
        const auto l = static_cast<std::size_t>(level);
        for (Block& block : blocks_) {
            block.ground[l].first = static_cast<std::uint32_t>(indices_.size());
            GroundLevel(terrain, block, level, indices_);
            block.ground[l].count = static_cast<std::uint32_t>(indices_.size()) - block.ground[l].first;
            SkirtLevel(terrain, block, level);
        }
    }
    selected_.assign(blocks_.size(), -1);
    baked_.assign(blocks_.size(), false);
}

void GroundBlocks::Update(const Terrain& terrain, const GridWindow& window)
{
    if (terrain.GetColumns() != columns_ || blocks_.empty()) {
        return;
    }
    // A side's depth holds for all of it, so its skirt is rewritten whole;
    // the skirts' triangles never change. Every block a changed side bounds
    // holds some vertex of the window.
    MeasureSideDepths(terrain, window);
    WriteSkirtVertices(terrain, {BlockLineBefore(window.c0), BlockLineAfter(window.c1, columns_ - 1),
                                 BlockLineBefore(window.r0), BlockLineAfter(window.r1, rows_ - 1)});
    for (Block& block : blocks_) {
        if (block.c0 <= window.c1 && block.c1 >= window.c0 && block.r0 <= window.r1 && block.r1 >= window.r0) {
            Bound(terrain, block);
            MeasureErrors(terrain, block);
            RefillGround(terrain, block);
        }
    }
}

// Made again at the same places: each level keeps its count, so the index
// buffer keeps its layout.
void GroundBlocks::RefillGround(const Terrain& terrain, const Block& block)
{
    std::vector<std::uint16_t> indices;
    for (int level = 0; level < kLevels; ++level) {
        indices.clear();
        GroundLevel(terrain, block, level, indices);
        std::copy(indices.begin(), indices.end(),
                  indices_.begin() + block.ground[static_cast<std::size_t>(level)].first);
    }
}

// The block's box, reaching down by the skirts' depth, and whether the water
// line runs through it.
void GroundBlocks::Bound(const Terrain& terrain, Block& block) const
{
    const std::vector<TerrainVertex>& vertices = terrain.GetGroundVertices();
    block.boxMin = block.boxMax = vertices[block.r0 * columns_ + block.c0].position;
    for (std::uint32_t r = block.r0; r <= block.r1; ++r) {
        for (std::uint32_t c = block.c0; c <= block.c1; ++c) {
            const Vec3& p = vertices[r * columns_ + c].position;
            block.boxMin = {std::min(block.boxMin.x, p.x), std::min(block.boxMin.y, p.y),
                            std::min(block.boxMin.z, p.z)};
            block.boxMax = {std::max(block.boxMax.x, p.x), std::max(block.boxMax.y, p.y),
                            std::max(block.boxMax.z, p.z)};
        }
    }
    const float waterLevel = terrain.GetWaterLevel();
    block.shore = block.boxMin.y <= waterLevel && waterLevel <= block.boxMax.y;
    block.boxMin.y -= BlockSkirtDepth(block);
}

void GroundBlocks::MeasureErrors(const Terrain& terrain, Block& block)
{
    block.error[0] = 0.0f;
    for (std::size_t level = 1; level < kLevels; ++level) {
        block.error[level] = std::max(block.error[level - 1], LevelError(terrain, block, static_cast<int>(level)));
    }
}

// Both surfaces are flat on each of their triangles, so the gap between them
// is largest at a corner of the pieces they cut each other into: a grid
// vertex, or a point where a coarse cell's diagonal crosses a grid line or a
// grid cell's own diagonal. Every one of those is measured.
float GroundBlocks::LevelError(const Terrain& terrain, const Block& block, int level)
{
    const GridHeights grid(terrain);
    const std::uint32_t step = 1u << level;
    const std::vector<std::uint32_t> xs = CoarseLines(block.c0, block.c1, step);
    const std::vector<std::uint32_t> zs = CoarseLines(block.r0, block.r1, step);
    float worst = 0.0f;
    std::vector<float> crossings;
    for (std::size_t j = 0; j + 1 < zs.size(); ++j) {
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            const CoarseCell cell(grid, xs[i], xs[i + 1], zs[j], zs[j + 1]);
            worst = std::max({worst, GapAtGridVertices(grid, cell), GapAlongDiagonal(grid, cell, crossings)});
        }
    }
    return worst;
}

void GroundBlocks::GroundLevel(const Terrain& terrain, const Block& block, int level,
                               std::vector<std::uint16_t>& out) const
{
    const std::vector<std::uint16_t>& full = terrain.GetIndices();
    if (level == 0) {
        // The terrain's own cells, diagonals and all.
        for (std::uint32_t r = block.r0; r < block.r1; ++r) {
            for (std::uint32_t c = block.c0; c < block.c1; ++c) {
                const std::size_t first = 6 * (static_cast<std::size_t>(columns_ - 1) * r + c);
                out.insert(out.end(), full.begin() + static_cast<std::ptrdiff_t>(first),
                           full.begin() + static_cast<std::ptrdiff_t>(first + 6));
            }
        }
        return;
    }
    const std::vector<TerrainVertex>& vertices = terrain.GetGroundVertices();
    const std::uint32_t step = 1u << level;
    const std::vector<std::uint32_t> xs = CoarseLines(block.c0, block.c1, step);
    const std::vector<std::uint32_t> zs = CoarseLines(block.r0, block.r1, step);
    for (std::size_t j = 0; j + 1 < zs.size(); ++j) {
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            // The same corner names and winding as the full grid's cells.
            const std::uint32_t a = zs[j] * columns_ + xs[i];
            const std::uint32_t b = zs[j] * columns_ + xs[i + 1];
            const std::uint32_t d = zs[j + 1] * columns_ + xs[i];
            const std::uint32_t e = zs[j + 1] * columns_ + xs[i + 1];
            const bool alongAE = terrain_grid::SplitsAlongAE(vertices[a].position.y, vertices[b].position.y,
                                                             vertices[d].position.y, vertices[e].position.y);
            const std::uint32_t cell[6] = {a, alongAE ? e : b, d, alongAE ? a : b, alongAE ? b : e, alongAE ? e : d};
            for (const std::uint32_t index : cell) {
                out.push_back(static_cast<std::uint16_t>(index));
            }
        }
    }
}

// Deep enough to cover the widest slit along one side of a block: the two
// blocks meeting there may be drawn at any two levels, and each level's
// border strays from the full grid's by at most the most any level strays
// along that side.
float GroundBlocks::SideDepth(const Terrain& terrain, bool alongRow, std::uint32_t line, std::uint32_t first,
                              std::uint32_t last) const
{
    const std::vector<TerrainVertex>& vertices = terrain.GetGroundVertices();
    const auto at = [&](std::uint32_t g) {
        return vertices[alongRow ? line * columns_ + g : g * columns_ + line].position.y;
    };
    float worst = 0.0f;
    for (int level = 1; level < kLevels; ++level) {
        const std::vector<std::uint32_t> lines = CoarseLines(first, last, 1u << level);
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            const float y0 = at(lines[i]);
            const float y1 = at(lines[i + 1]);
            for (std::uint32_t g = lines[i] + 1; g < lines[i + 1]; ++g) {
                const float t = static_cast<float>(g - lines[i]) / static_cast<float>(lines[i + 1] - lines[i]);
                worst = std::max(worst, std::fabs(at(g) - (y0 + (y1 - y0) * t)));
            }
        }
    }
    return 2.0f * worst + kSkirtMargin;
}

// The sides of every block border that runs through the window, measured
// again.
void GroundBlocks::MeasureSideDepths(const Terrain& terrain, const GridWindow& window)
{
    const auto measure = [&](bool alongRow, std::vector<float>& depths, std::uint32_t lastLine, std::uint32_t lastAlong,
                             std::uint32_t sides, std::uint32_t lineFrom, std::uint32_t lineTo, std::uint32_t alongFrom,
                             std::uint32_t alongTo) {
        for (const std::uint32_t line : CoarseLines(0, lastLine, kBlockCells)) {
            if (line < lineFrom || line > lineTo) {
                continue;
            }
            for (std::uint32_t side = 0; side < sides; ++side) {
                const std::uint32_t first = side * kBlockCells;
                const std::uint32_t last = std::min(first + kBlockCells, lastAlong);
                if (first <= alongTo && last >= alongFrom) {
                    depths[BorderLine(line, lastLine) * sides + side] = SideDepth(terrain, alongRow, line, first, last);
                }
            }
        }
    };
    measure(true, rowSideDepths_, rows_ - 1, columns_ - 1, blocksAcross_, window.r0, window.r1, window.c0, window.c1);
    measure(false, columnSideDepths_, columns_ - 1, rows_ - 1, blocksDown_, window.c0, window.c1, window.r0, window.r1);
}

// A vertex where two sides of one border line meet hangs as deep as the
// deeper of them.
float GroundBlocks::SkirtDepthAt(const std::vector<float>& depths, std::uint32_t line, std::uint32_t along,
                                 std::uint32_t sides) const
{
    const std::uint32_t side = std::min(along / kBlockCells, sides - 1);
    const float depth = depths[line * sides + side];
    if (along % kBlockCells == 0 && side > 0) {
        return std::max(depth, depths[line * sides + side - 1]);
    }
    return depth;
}

float GroundBlocks::BlockSkirtDepth(const Block& block) const
{
    const std::uint32_t bx = block.c0 / kBlockCells;
    const std::uint32_t bz = block.r0 / kBlockCells;
    return std::max({rowSideDepths_[BorderLine(block.r0, rows_ - 1) * blocksAcross_ + bx],
                     rowSideDepths_[BorderLine(block.r1, rows_ - 1) * blocksAcross_ + bx],
                     columnSideDepths_[BorderLine(block.c0, columns_ - 1) * blocksDown_ + bz],
                     columnSideDepths_[BorderLine(block.c1, columns_ - 1) * blocksDown_ + bz]});
}

std::uint32_t GroundBlocks::BorderLine(std::uint32_t line, std::uint32_t last)
{
    return line == last ? (last + kBlockCells - 1) / kBlockCells : line / kBlockCells;
}

std::uint32_t GroundBlocks::RowSkirtVertex(std::uint32_t r, std::uint32_t c) const
{
    return 2 * (BorderLine(r, rows_ - 1) * columns_ + c);
}

std::uint32_t GroundBlocks::ColumnSkirtVertex(std::uint32_t c, std::uint32_t r) const
{
    return 2 * ((blocksDown_ + 1) * columns_ + BorderLine(c, columns_ - 1) * rows_ + r);
}

void GroundBlocks::WriteSkirtVertices(const Terrain& terrain, const GridWindow& window)
{
    const std::vector<TerrainVertex>& vertices = terrain.GetGroundVertices();
    const auto write = [&](std::uint32_t at, std::uint32_t c, std::uint32_t r, float depth) {
        TerrainVertex top = DrawnGroundVertex(vertices[r * columns_ + c], mapSize_);
        skirtVertices_[at] = top;
        top.position.y -= depth;
        skirtVertices_[at + 1] = top;
    };
    for (const std::uint32_t r : CoarseLines(0, rows_ - 1, kBlockCells)) {
        const std::uint32_t line = BorderLine(r, rows_ - 1);
        for (std::uint32_t c = window.c0; r >= window.r0 && r <= window.r1 && c <= window.c1; ++c) {
            write(RowSkirtVertex(r, c), c, r, SkirtDepthAt(rowSideDepths_, line, c, blocksAcross_));
        }
    }
    for (const std::uint32_t c : CoarseLines(0, columns_ - 1, kBlockCells)) {
        const std::uint32_t line = BorderLine(c, columns_ - 1);
        for (std::uint32_t r = window.r0; c >= window.c0 && c <= window.c1 && r <= window.r1; ++r) {
            write(ColumnSkirtVertex(c, r), c, r, SkirtDepthAt(columnSideDepths_, line, r, blocksDown_));
        }
    }
}

// A wall under each stretch of the block's border at this level, facing out
// of the block: clockwise as seen from outside is the front.
void GroundBlocks::SkirtLevel(const Terrain& terrain, Block& block, int level)
{
    const std::vector<TerrainVertex>& vertices = terrain.GetGroundVertices();
    const std::uint32_t step = 1u << level;
    const std::vector<std::uint32_t> xs = CoarseLines(block.c0, block.c1, step);
    const std::vector<std::uint32_t> zs = CoarseLines(block.r0, block.r1, step);
    const Vec3 centre = 0.5f * (block.boxMin + block.boxMax);
    // p and q: the skirt's top vertices at the wall's two ends; the bottoms
    // follow them. a and b: the ground vertices they hang from.
    const auto wall = [&](std::uint32_t p, std::uint32_t q, std::uint32_t a, std::uint32_t b) {
        const Vec3 along = vertices[b].position - vertices[a].position;
        const Vec3 outward = 0.5f * (vertices[a].position + vertices[b].position) - centre;
        // The face normal (v1 - v0) x (v2 - v0) of the triangle top p, top
        // q, bottom p, for a wall hanging straight down.
        const bool keep = along.z * outward.x - along.x * outward.z > 0.0f;
        const std::uint32_t triangles[6] = {p, keep ? q : p + 1,     keep ? p + 1 : q,
                                            q, keep ? q + 1 : p + 1, keep ? p + 1 : q + 1};
        skirtIndices_.insert(skirtIndices_.end(), triangles, triangles + 6);
    };
    std::array<Range, kSides>& ranges = block.skirts[static_cast<std::size_t>(level)];
    const auto rowSide = [&](Side which, std::uint32_t r) {
        ranges[which].first = static_cast<std::uint32_t>(skirtIndices_.size());
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            wall(RowSkirtVertex(r, xs[i]), RowSkirtVertex(r, xs[i + 1]), r * columns_ + xs[i],
                 r * columns_ + xs[i + 1]);
        }
        ranges[which].count = static_cast<std::uint32_t>(skirtIndices_.size()) - ranges[which].first;
    };
    const auto columnSide = [&](Side which, std::uint32_t c) {
        ranges[which].first = static_cast<std::uint32_t>(skirtIndices_.size());
        for (std::size_t i = 0; i + 1 < zs.size(); ++i) {
            wall(ColumnSkirtVertex(c, zs[i]), ColumnSkirtVertex(c, zs[i + 1]), zs[i] * columns_ + c,
                 zs[i + 1] * columns_ + c);
        }
        ranges[which].count = static_cast<std::uint32_t>(skirtIndices_.size()) - ranges[which].first;
    };
    rowSide(kFirstRow, block.r0);
    rowSide(kLastRow, block.r1);
    columnSide(kFirstColumn, block.c0);
    columnSide(kLastColumn, block.c1);
}

bool GroundBlocks::NeedsSkirt(std::size_t block, Side side) const
{
    const std::uint32_t bx = static_cast<std::uint32_t>(block) % blocksAcross_;
    const std::uint32_t bz = static_cast<std::uint32_t>(block) / blocksAcross_;
    const bool atMapBorder = (side == kFirstRow && bz == 0) || (side == kLastRow && bz + 1 == blocksDown_) ||
                             (side == kFirstColumn && bx == 0) || (side == kLastColumn && bx + 1 == blocksAcross_);
    if (atMapBorder) {
        // The map's own edge strips meet the full grid exactly.
        return selected_[block] > 0;
    }
    const std::size_t across = blocksAcross_;
    const std::size_t neighbour = side == kFirstRow      ? block - across
                                  : side == kLastRow     ? block + across
                                  : side == kFirstColumn ? block - 1
                                                         : block + 1;
    return selected_[neighbour] >= 0 && selected_[neighbour] != selected_[block];
}

int GroundBlocks::LevelForError(const Block& block, float allowedError)
{
    int level = 0;
    while (level + 1 < kLevels && block.error[static_cast<std::size_t>(level + 1)] <= allowedError) {
        ++level;
    }
    return level;
}

int GroundBlocks::LevelForDistance(float distance)
{
    int level = 0;
    float limit = kFullDetailDistance;
    while (level + 1 < kLevels && distance >= limit) {
        ++level;
        limit *= 2.0f;
    }
    return level;
}

void GroundBlocks::AppendRun(std::vector<Run>& runs, std::uint32_t first, std::uint32_t triangles)
{
    if (triangles == 0) {
        return;
    }
    if (!runs.empty() && runs.back().first + 3 * runs.back().triangles == first) {
        runs.back().triangles += triangles;
        return;
    }
    runs.push_back({first, triangles});
}

void GroundBlocks::Select(const Matrix& view, const Matrix& projection)
{
    Matrix toWorld = Matrix::Identity();
    MatrixInverse(view, toWorld);
    const Vec3 eye{toWorld.m[3][0], toWorld.m[3][1], toWorld.m[3][2]};
    const Matrix viewProjection = view * projection;
    // A height error e at depth z covers e x pixelsPerUnit / z pixels.
    const float pixelsPerUnit = projection.m[1][1] * kReferenceScreenHeight / 2.0f;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        const Block& block = blocks_[i];
        if (BoxOutOfView(block.boxMin, block.boxMax, viewProjection)) {
            selected_[i] = -1;
            baked_[i] = false;
            continue;
        }
        const float distance = DistanceToBox(eye, block.boxMin, block.boxMax);
        const float depth = NearestDepth(block.boxMin, block.boxMax, view);
        const float allowedError = depth > 0.0f && pixelsPerUnit > 0.0f ? kMaxPixelError * depth / pixelsPerUnit : 0.0f;
        int level = LevelForError(block, allowedError);
        baked_[i] = distance >= bakedBeyond_;
        if (!baked_[i] || block.shore) {
            level = std::min(level, LevelForDistance(distance));
        }
        selected_[i] = level;
    }
    GatherRuns();
}

void GroundBlocks::SelectAllAt(int level)
{
    std::fill(selected_.begin(), selected_.end(), std::clamp(level, 0, kLevels - 1));
    std::fill(baked_.begin(), baked_.end(), false);
    GatherRuns();
}

void GroundBlocks::SelectWindowAt(int level, const GridWindow& window)
{
    const int clamped = std::clamp(level, 0, kLevels - 1);
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        const Block& block = blocks_[i];
        const bool sharesCell =
            block.c0 < window.c1 && window.c0 < block.c1 && block.r0 < window.r1 && window.r0 < block.r1;
        selected_[i] = sharesCell ? clamped : -1;
    }
    std::fill(baked_.begin(), baked_.end(), false);
    GatherRuns();
}

void GroundBlocks::GatherRuns()
{
    groundRuns_.clear();
    skirtRuns_.clear();
    bakedGroundRuns_.clear();
    bakedSkirtRuns_.clear();
    for (int level = 0; level < kLevels; ++level) {
        for (std::size_t i = 0; i < blocks_.size(); ++i) {
            if (selected_[i] != level) {
                continue;
            }
            const Range& ground = blocks_[i].ground[static_cast<std::size_t>(level)];
            AppendRun(baked_[i] ? bakedGroundRuns_ : groundRuns_, ground.first, ground.count / 3);
            for (int side = 0; side < kSides; ++side) {
                const Range& skirt = blocks_[i].skirts[static_cast<std::size_t>(level)][static_cast<std::size_t>(side)];
                if (skirt.count > 0 && NeedsSkirt(i, static_cast<Side>(side))) {
                    AppendRun(baked_[i] ? bakedSkirtRuns_ : skirtRuns_, skirt.first, skirt.count / 3);
                }
            }
        }
    }
}

int GroundBlocks::GetSelectedLevel(std::uint32_t blockX, std::uint32_t blockZ) const
{
    if (blockX >= blocksAcross_ || blockZ >= blocksDown_) {
        return -1;
    }
    return selected_[blockZ * blocksAcross_ + blockX];
}

float GroundBlocks::GetLevelError(std::uint32_t blockX, std::uint32_t blockZ, int level) const
{
    if (blockX >= blocksAcross_ || blockZ >= blocksDown_ || level < 0 || level >= kLevels) {
        return 0.0f;
    }
    return blocks_[blockZ * blocksAcross_ + blockX].error[static_cast<std::size_t>(level)];
}
