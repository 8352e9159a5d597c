#include "render/GroundBlocks.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <vector>

namespace {

using Triangle = std::array<std::uint16_t, 3>;

float Bumps(float x, float z)
{
    return 3.0f * std::sin(0.37f * x) + 2.0f * std::cos(0.23f * z);
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
    // 128 cells of 3.125 units: 8 x 8 blocks of 50 units, row 0 at +z.
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(400.0f, 129, Bumps, -50.0f)));
    blocks.Build(terrain);
    REQUIRE(blocks.GetBlocksAcross() == 8);
    REQUIRE(blocks.GetBlocksDown() == 8);
    LookFrom(blocks, {10.0f, 8.0f, -145.0f}, {10.0f, 0.0f, 200.0f});
    CHECK(blocks.GetSelectedLevel(4, 7) == -1); // wholly behind
    CHECK(blocks.GetSelectedLevel(4, 6) == 0);  // under the camera
    // 195 and 295 units ahead.
    CHECK(blocks.GetSelectedLevel(4, 2) > 0);
    CHECK(blocks.GetSelectedLevel(4, 0) > blocks.GetSelectedLevel(4, 2));
    CHECK(blocks.GetSelectedLevel(8, 0) == -1); // off the grid

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
    const std::vector<TerrainVertex>& skirts = blocks.GetSkirtVertices();
    for (const GroundBlocks::Run& run : blocks.GetSkirtRuns()) {
        for (std::uint32_t v = run.first; v < run.first + 3 * run.triangles; v += 3) {
            const Vec3 top = skirts[v].position;
            const Vec3 a = skirts[v + 1].position;
            const Vec3 along = (std::fabs(a.x - top.x) + std::fabs(a.z - top.z) > 1e-3f) ? a : skirts[v + 2].position;
            const int c =
                std::min(line(top.x, grid[0].position.x, columnStep), line(along.x, grid[0].position.x, columnStep));
            const int r =
                std::min(line(top.z, grid[0].position.z, rowStep), line(along.z, grid[0].position.z, rowStep));
            const bool alongRow = std::fabs(along.z - top.z) < 1e-3f;
            const int border = alongRow ? r : c;
            REQUIRE(border % 16 == 0);
            if (border == 0 || border == 128) {
                continue; // the map's edge
            }
            const int bx = alongRow ? c / 16 : border / 16;
            const int bz = alongRow ? border / 16 : r / 16;
            const int before = alongRow ? level(bx, bz - 1) : level(bx - 1, bz);
            CHECK(before >= 0);
            CHECK(level(bx, bz) >= 0);
            CHECK(before != level(bx, bz));
            skirted.insert({bx, bz, alongRow ? 1 : 0});
        }
    }
    for (int bz = 0; bz < 8; ++bz) {
        for (int bx = 0; bx < 8; ++bx) {
            for (const int alongRow : {0, 1}) {
                const int before = alongRow ? (bz > 0 ? level(bx, bz - 1) : -1) : (bx > 0 ? level(bx - 1, bz) : -1);
                if (before >= 0 && level(bx, bz) >= 0 && before != level(bx, bz)) {
                    CHECK(skirted.count({bx, bz, alongRow}) == 1);
                }
            }
        }
    }
}
