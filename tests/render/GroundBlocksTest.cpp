#include "render/GroundBlocks.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using Triangle = std::array<std::uint16_t, 3>;

float Bumps(float x, float z)
{
    return 3.0f * std::sin(0.37f * x) + 2.0f * std::cos(0.23f * z);
}

// Swells so gentle that every level lies within a pixel of them from afar.
float Swells(float x, float z)
{
    return 0.1f * Bumps(0.1f * x, 0.1f * z);
}

void LookFrom(GroundBlocks& blocks, const Vec3& eye, const Vec3& at)
{
    blocks.Select(MatrixLookAtLH(eye, at, {0.0f, 1.0f, 0.0f}),
                  MatrixPerspectiveFovLH(0.785f, 4.0f / 3.0f, 1.0f, 2000.0f));
}

// A triangle with its corners turned so the smallest index leads, keeping
// the winding: the same triangle drawn twice compares equal.
Triangle Canonical(std::uint16_t a, std::uint16_t b, std::uint16_t c)
{
    if (b < a && b < c) {
        return {b, c, a};
    }
    if (c < a && c < b) {
        return {c, a, b};
    }
    return {a, b, c};
}

std::vector<Triangle> DrawnTriangles(const GroundBlocks& blocks)
{
    std::vector<Triangle> drawn;
    const std::vector<std::uint16_t>& indices = blocks.GetIndices();
    for (const GroundBlocks::Run& run : blocks.GetGroundRuns()) {
        for (std::uint32_t t = 0; t < run.triangles; ++t) {
            const std::uint32_t i = run.first + 3 * t;
            drawn.push_back(Canonical(indices[i], indices[i + 1], indices[i + 2]));
        }
    }
    std::sort(drawn.begin(), drawn.end());
    return drawn;
}

} // namespace

TEST_CASE("ground blocks draw the exact grid near the camera, coarser far off, and skip what is out of view")
{
    Terrain terrain;
    GroundBlocks blocks;

    // Near the camera the blocks draw the terrain's own triangles, each once; far off coarser ones, skirted.
    // 39 cells a side: the last block of each row is narrower.
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(40.0f, 40, Bumps, -50.0f)));
    blocks.Build(terrain);
    LookFrom(blocks, {0.0f, 30.0f, -1.0f}, {});
    std::vector<Triangle> expected;
    const std::vector<std::uint16_t>& indices = terrain.GetIndices();
    for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        expected.push_back(Canonical(indices[i], indices[i + 1], indices[i + 2]));
    }
    std::sort(expected.begin(), expected.end());
    CHECK(DrawnTriangles(blocks) == expected);
    CHECK(blocks.GetSkirtRuns().empty());

    // Far off the coarse blocks still cover the whole ground once.
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(40.0f, 40, Swells, -50.0f)));
    blocks.Build(terrain);
    LookFrom(blocks, {0.0f, 1500.0f, -1.0f}, {});
    REQUIRE(blocks.GetSelectedLevel(1, 1) == GroundBlocks::kLevels - 1);
    const std::vector<TerrainVertex>& vertices = terrain.GetGroundVertices();
    double area = 0.0;
    for (const Triangle& t : DrawnTriangles(blocks)) {
        const Vec3 u = vertices[t[1]].position - vertices[t[0]].position;
        const Vec3 v = vertices[t[2]].position - vertices[t[0]].position;
        // Seen from above every triangle turns the same way.
        const double up = Vec3Cross(u, v).y;
        CHECK(up > 0.0);
        area += 0.5 * up;
    }
    const Vec3 first = vertices.front().position;
    const Vec3 last = vertices.back().position;
    CHECK(area == doctest::Approx(std::fabs((last.x - first.x) * (last.z - first.z))).epsilon(1e-4));
    CHECK_FALSE(blocks.GetSkirtRuns().empty());

    // Blocks behind the camera are culled and the level grows with distance.
    // 128 cells of 3.125 units, row 0 at +z.
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(400.0f, 129, Swells, -50.0f)));
    blocks.Build(terrain);
    const int blocksAcross = static_cast<int>(128 / GroundBlocks::kBlockCells);
    REQUIRE(blocks.GetBlocksAcross() == static_cast<std::uint32_t>(blocksAcross));
    REQUIRE(blocks.GetBlocksDown() == static_cast<std::uint32_t>(blocksAcross));
    const float blockSize = 3.125f * static_cast<float>(GroundBlocks::kBlockCells);
    const auto levelAt = [&blocks, blockSize](float x, float z) {
        return blocks.GetSelectedLevel(static_cast<std::uint32_t>((x + 200.0f) / blockSize),
                                       static_cast<std::uint32_t>((200.0f - z) / blockSize));
    };
    LookFrom(blocks, {10.0f, 8.0f, -145.0f}, {10.0f, 0.0f, 200.0f});
    CHECK(levelAt(10.0f, -190.0f) == -1); // wholly behind
    CHECK(levelAt(10.0f, -140.0f) == 0);  // under the camera
    // Blocks reaching to 195 and 295 units ahead.
    CHECK(levelAt(10.0f, 60.0f) > 0);
    CHECK(levelAt(10.0f, 160.0f) > levelAt(10.0f, 60.0f));
    CHECK(blocks.GetSelectedLevel(static_cast<std::uint32_t>(blocksAcross), 0) == -1); // off the grid

    // Skirts hang only where a slit can open, and on every such border:
    // between two drawn blocks of different levels, or at the map's edge.
    const std::vector<TerrainVertex>& grid = terrain.GetGroundVertices();
    const auto line = [&grid](float at, float origin, float step) {
        return static_cast<int>(std::lround((at - origin) / step));
    };
    const float columnStep = grid[1].position.x - grid[0].position.x;
    const float rowStep = grid[129].position.z - grid[0].position.z;
    const auto level = [&blocks](int bx, int bz) {
        return blocks.GetSelectedLevel(static_cast<std::uint32_t>(bx), static_cast<std::uint32_t>(bz));
    };
    // {bx, bz, 1}: the border above block (bx, bz); {bx, bz, 0}: left of it.
    std::set<std::array<int, 3>> skirted;
    const std::vector<TerrainVertex>& skirtVertices = blocks.GetSkirtVertices();
    const std::vector<std::uint32_t>& skirtIndices = blocks.GetSkirtIndices();
    const auto skirt = [&](std::uint32_t i) { return skirtVertices[skirtIndices[i]].position; };
    for (const GroundBlocks::Run& run : blocks.GetSkirtRuns()) {
        for (std::uint32_t v = run.first; v < run.first + 3 * run.triangles; v += 3) {
            const Vec3 top = skirt(v);
            const Vec3 a = skirt(v + 1);
            const Vec3 along = (std::fabs(a.x - top.x) + std::fabs(a.z - top.z) > 1e-3f) ? a : skirt(v + 2);
            const int c =
                std::min(line(top.x, grid[0].position.x, columnStep), line(along.x, grid[0].position.x, columnStep));
            const int r =
                std::min(line(top.z, grid[0].position.z, rowStep), line(along.z, grid[0].position.z, rowStep));
            const bool alongRow = std::fabs(along.z - top.z) < 1e-3f;
            const int border = alongRow ? r : c;
            const int cells = static_cast<int>(GroundBlocks::kBlockCells);
            REQUIRE(border % cells == 0);
            if (border == 0 || border == 128) {
                // The map's edge: its edge strips meet the full grid, so
                // only a coarse block needs a skirt there.
                const int inner = border == 0 ? 0 : blocksAcross - 1;
                CHECK(alongRow ? level(c / cells, inner) > 0 : level(inner, r / cells) > 0);
                continue;
            }
            const int bx = (alongRow ? c : border) / cells;
            const int bz = (alongRow ? border : r) / cells;
            const int before = alongRow ? level(bx, bz - 1) : level(bx - 1, bz);
            CHECK(before >= 0);
            CHECK(level(bx, bz) >= 0);
            CHECK(before != level(bx, bz));
            skirted.insert({bx, bz, alongRow ? 1 : 0});
        }
    }
    for (int bz = 0; bz < blocksAcross; ++bz) {
        for (int bx = 0; bx < blocksAcross; ++bx) {
            for (const int alongRow : {0, 1}) {
                const int before = alongRow ? (bz > 0 ? level(bx, bz - 1) : -1) : (bx > 0 ? level(bx - 1, bz) : -1);
                if (before >= 0 && level(bx, bz) >= 0 && before != level(bx, bz)) {
                    CHECK(skirted.count({bx, bz, alongRow}) == 1);
                }
            }
        }
    }
}

namespace {

// Flat ground with one grid vertex of a 400-unit, 129-vertex map (cells of
// 3.125 units) raised to height.
std::function<float(float, float)> OnePeak(std::uint32_t column, std::uint32_t row, float height)
{
    const float peakX = -200.0f + 3.125f * static_cast<float>(column);
    const float peakZ = 200.0f - 3.125f * static_cast<float>(row);
    return [=](float x, float z) { return std::fabs(x - peakX) < 0.1f && std::fabs(z - peakZ) < 0.1f ? height : 0.0f; };
}

void LookDownFrom(GroundBlocks& blocks, float height, float fov)
{
    blocks.Select(MatrixLookAtLH({0.0f, height, 0.0f}, {}, {0.0f, 0.0f, 1.0f}),
                  MatrixPerspectiveFovLH(fov, 4.0f / 3.0f, 1.0f, 2500.0f));
}

} // namespace

TEST_CASE("a block's error at each level is the largest height gap between that level and the full grid")
{
    Terrain terrain;
    GroundBlocks blocks;

    SUBCASE("a tilted plane is drawn exactly at every level")
    {
        REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(
            400.0f, 129, [](float x, float z) { return 0.03f * x - 0.02f * z; }, -50.0f)));
        blocks.Build(terrain);
        for (std::uint32_t bz = 0; bz < blocks.GetBlocksDown(); ++bz) {
            for (std::uint32_t bx = 0; bx < blocks.GetBlocksAcross(); ++bx) {
                CHECK(blocks.GetLevelError(bx, bz, GroundBlocks::kLevels - 1) < 1e-4f);
            }
        }
    }

    SUBCASE("a peak kept at the first coarse level and dropped by the next")
    {
        // Vertex (50, 66) lies on every other grid line, not on every fourth,
        // inside its block. At level 1 its slopes reach twice as far, so a
        // neighbour 1 cell off is drawn half as high as the peak; from level
        // 2 the peak is not drawn at all.
        REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(400.0f, 129, OnePeak(50, 66, 2.0f), -50.0f)));
        blocks.Build(terrain);
        const std::uint32_t bx = 50 / GroundBlocks::kBlockCells;
        const std::uint32_t bz = 66 / GroundBlocks::kBlockCells;
        CHECK(blocks.GetLevelError(bx, bz, 0) == 0.0f);
        CHECK(blocks.GetLevelError(bx, bz, 1) == doctest::Approx(1.0f));
        CHECK(blocks.GetLevelError(bx, bz, 2) == doctest::Approx(2.0f));
        CHECK(blocks.GetLevelError(bx, bz, 3) == doctest::Approx(2.0f));
        CHECK(blocks.GetLevelError(bx - 1, bz, 3) == 0.0f);
        CHECK(blocks.GetLevelError(bx, bz - 1, 3) == 0.0f);
    }
}

TEST_CASE("each block is drawn at the coarsest level whose error covers at most a pixel of a 1024 x 768 picture")
{
    Terrain terrain;
    GroundBlocks blocks;
    // A peak of 2 at grid vertex (17, 35), on no coarse level's lines:
    // every coarse level misses it by 2.
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(400.0f, 129, OnePeak(17, 35, 2.0f), -50.0f)));
    blocks.SetBakedBeyond(0.0f);
    blocks.Build(terrain);
    const std::uint32_t bx = 17 / GroundBlocks::kBlockCells;
    const std::uint32_t bz = 35 / GroundBlocks::kBlockCells;
    const std::uint32_t middle = blocks.GetBlocksAcross() / 2;
    REQUIRE(blocks.GetLevelError(bx, bz, 1) == doctest::Approx(2.0f));

    SUBCASE("flat blocks go coarsest and the peak's block only as far off as 2 units make a pixel")
    {
        // Straight down from 1000 a pixel is 1000 / (768 / 2 x cot(pi / 8)),
        // about 1.08 units; from 2000, about 2.16.
        LookDownFrom(blocks, 1000.0f, kPi / 4.0f);
        CHECK(blocks.GetSelectedLevel(bx, bz) == 0);
        CHECK(blocks.GetSelectedLevel(bx + 1, bz) == GroundBlocks::kLevels - 1);
        CHECK(blocks.GetSelectedLevel(middle, middle) == GroundBlocks::kLevels - 1);
        LookDownFrom(blocks, 2000.0f, kPi / 4.0f);
        CHECK(blocks.GetSelectedLevel(bx, bz) == GroundBlocks::kLevels - 1);
    }

    SUBCASE("a narrower view magnifies the error, so the same distance needs the full grid")
    {
        LookDownFrom(blocks, 2000.0f, kPi / 16.0f);
        CHECK(blocks.GetSelectedLevel(bx, bz) == 0);
    }

    SUBCASE("a shore keeps the detail its distance allows, however flat")
    {
        // A plane: every level draws it exactly, yet where it crosses the
        // water line, at x = 0, a coarser level would move the water's edge.
        REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(
            400.0f, 129, [](float x, float) { return 0.01f * x; }, 0.0f)));
        blocks.Build(terrain);
        // From 300 up the shore lies some 300 away: every doubling past 110
        // allows a level.
        LookDownFrom(blocks, 300.0f, kPi / 4.0f);
        const std::uint32_t shore = middle;
        CHECK(blocks.GetSelectedLevel(shore, middle) == 2);
        CHECK(blocks.GetSelectedLevel(shore - 2, middle) == GroundBlocks::kLevels - 1);
    }

    SUBCASE("near ground mixed per vertex keeps its painted detail")
    {
        blocks.SetBakedBeyond(1e30f);
        blocks.Build(terrain);
        LookDownFrom(blocks, 60.0f, kPi / 4.0f);
        CHECK(blocks.GetSelectedLevel(middle, middle) == 0);
        CHECK(blocks.GetSelectedLevel(middle - 1, middle - 1) == 0);
    }
}

namespace {

struct Lens {
    Matrix view;
    Matrix projection;
};

// The game's cameras: the menus' view from high over a corner (at each
// eighth of its orbit), and a match's view of an army at each start slot,
// from 50 units out and 50 up, looking in across the map.
std::vector<Lens> GameCameras(const Terrain& terrain)
{
    const Matrix projection = MatrixPerspectiveFovLH(kPi / 4.0f, 1024.0f / 768.0f, 2.0f, 800.0f);
    std::vector<Lens> lenses;
    for (int eighth = 0; eighth < 8; ++eighth) {
        const float angle = kPi / 4.0f * static_cast<float>(eighth);
        const float across = 61.25f * std::sqrt(2.0f);
        const Vec3 eye{across * std::cos(angle), 87.5f, across * std::sin(angle)};
        lenses.push_back({MatrixLookAtLH(eye, {}, {0.0f, 1.0f, 0.0f}), projection});
    }
    for (std::uint32_t i = 0; i < terrain.GetStartCount(); ++i) {
        const Vec3 at = terrain.GetStartPosition(i);
        const Vec3 out = Vec3Normalize({at.x, 0.0f, at.z});
        lenses.push_back(
            {MatrixLookAtLH(at + Vec3(50.0f * out.x, 50.0f, 50.0f * out.z), at, {0.0f, 1.0f, 0.0f}), projection});
    }
    return lenses;
}

// The largest gap, in pixels of a 768-pixel-high picture, between the
// ground as drawn and Terrain::HeightAt, at every grid vertex and cell middle
// under a drawn triangle, each seen at its own depth.
float WorstGapInPixels(const Terrain& terrain, const GroundBlocks& blocks, const Lens& lens)
{
    const std::vector<TerrainVertex>& vertices = terrain.GetGroundVertices();
    const std::vector<std::uint16_t>& indices = blocks.GetIndices();
    const float size = terrain.GetMapSize();
    const float cell = size / static_cast<float>(terrain.GetColumns() - 1);
    const float pixelsPerUnit = lens.projection.m[1][1] * 768.0f / 2.0f;
    const auto grid = [&](float world, bool alongZ) {
        return (alongZ ? size / 2.0f - world : world + size / 2.0f) / cell;
    };
    float worst = 0.0f;
    for (const std::vector<GroundBlocks::Run>* runs : {&blocks.GetGroundRuns(), &blocks.GetBakedGroundRuns()}) {
        for (const GroundBlocks::Run& run : *runs) {
            for (std::uint32_t t = 0; t < run.triangles; ++t) {
                const Vec3 p0 = vertices[indices[run.first + 3 * t]].position;
                const Vec3 p1 = vertices[indices[run.first + 3 * t + 1]].position;
                const Vec3 p2 = vertices[indices[run.first + 3 * t + 2]].position;
                const float det = (p1.x - p0.x) * (p2.z - p0.z) - (p2.x - p0.x) * (p1.z - p0.z);
                // Half-cell steps over the triangle's grid rectangle: vertices and cell middles.
                const int gx0 = static_cast<int>(std::lround(2.0f * grid(std::min({p0.x, p1.x, p2.x}), false)));
                const int gx1 = static_cast<int>(std::lround(2.0f * grid(std::max({p0.x, p1.x, p2.x}), false)));
                const int gz0 = static_cast<int>(std::lround(2.0f * grid(std::max({p0.z, p1.z, p2.z}), true)));
                const int gz1 = static_cast<int>(std::lround(2.0f * grid(std::min({p0.z, p1.z, p2.z}), true)));
                for (int gz = gz0; gz <= gz1; ++gz) {
                    for (int gx = gx0; gx <= gx1; ++gx) {
                        if ((gx + gz) % 2 != 0) {
                            continue; // the middle of a cell edge
                        }
                        const float x = -size / 2.0f + 0.5f * static_cast<float>(gx) * cell;
                        const float z = size / 2.0f - 0.5f * static_cast<float>(gz) * cell;
                        const float s = ((x - p0.x) * (p2.z - p0.z) - (p2.x - p0.x) * (z - p0.z)) / det;
                        const float u = ((p1.x - p0.x) * (z - p0.z) - (x - p0.x) * (p1.z - p0.z)) / det;
                        if (s < -1e-4f || u < -1e-4f || s + u > 1.0f + 1e-4f) {
                            continue;
                        }
                        const float drawn = p0.y + s * (p1.y - p0.y) + u * (p2.y - p0.y);
                        const float truth = terrain.HeightAt(x, z);
                        const float depth = Vec3TransformCoord({x, drawn, z}, lens.view).z;
                        if (depth > 0.0f) {
                            worst = std::max(worst, std::fabs(drawn - truth) * pixelsPerUnit / depth);
                        }
                    }
                }
            }
        }
    }
    return worst;
}

int CoarseBlocks(const GroundBlocks& blocks)
{
    int coarse = 0;
    for (std::uint32_t bz = 0; bz < blocks.GetBlocksDown(); ++bz) {
        for (std::uint32_t bx = 0; bx < blocks.GetBlocksAcross(); ++bx) {
            coarse += blocks.GetSelectedLevel(bx, bz) > 0 ? 1 : 0;
        }
    }
    return coarse;
}

} // namespace

TEST_CASE("on every map the drawn ground stays within a pixel of the height units stand on, craters and all")
{
    testing::DataDirectoryScope data;
    for (const std::string map : {"Grassland.kvm", "Desert.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"}) {
        CAPTURE(map);
        Terrain terrain;
        REQUIRE(terrain.Load(map));
        GroundBlocks blocks;
        // As the renderer draws with its baked ground picture: the far
        // blocks' level then follows their error alone.
        blocks.SetBakedBeyond(GroundBlocks::kDetailTextureDistance);
        blocks.Build(terrain);
        const std::vector<Lens> cameras = GameCameras(terrain);
        REQUIRE(cameras.size() > 8);
        const auto checkEveryCamera = [&] {
            int coarse = 0;
            for (std::size_t i = 0; i < cameras.size(); ++i) {
                CAPTURE(i);
                blocks.Select(cameras[i].view, cameras[i].projection);
                CHECK(WorstGapInPixels(terrain, blocks, cameras[i]) <= GroundBlocks::kMaxPixelError + 1e-3f);
                coarse += CoarseBlocks(blocks);
            }
            // The far ground is still drawn with fewer triangles.
            CHECK(coarse > 0);
        };
        checkEveryCamera();

        // Shells land across the middle of the map, and the blocks are
        // patched from the terrain's record of what changed.
        const std::uint32_t edits = terrain.GetEditCount();
        for (int shell = 0; shell < 25; ++shell) {
            const float x = static_cast<float>(shell % 5) * 17.0f - 34.0f;
            const float z = static_cast<float>(shell / 5) * 17.0f - 34.0f;
            REQUIRE(terrain.Crater(shell % 2 == 0 ? 6.0f : 10.0f, {x, terrain.HeightAt(x, z), z}));
        }
        std::vector<GridWindow> windows;
        REQUIRE(terrain.GetEditsSince(edits, windows));
        for (const GridWindow& window : windows) {
            blocks.Update(terrain, window);
        }
        checkEveryCamera();
    }
}
