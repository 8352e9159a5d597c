// Craters and relighting on the terrain's CPU copy: what an explosion does to
// heights, normals, diagonals and skirts, what reaches the physics' copy and
// the drawing side's edit log, and the light baked into the vertex colours.
#include "world/Terrain.h"
#include "world/TerrainGrid.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// 40 units on a 41 x 41 grid: one vertex per unit, row 0 at z = +20.
Terrain FlatTerrain(float waterLevel = -50.0f)
{
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(
        40.0f, 41, [](float, float) { return 0.0f; }, waterLevel)));
    return terrain;
}

} // namespace

TEST_CASE("craters press the ground into their sphere, keeping all built on it in step, and light is baked into it")
{
    Terrain terrain = FlatTerrain();
    const std::vector<TerrainVertex> before = terrain.GetGroundVertices();
    const std::uint32_t edits = terrain.GetEditCount();

    // Heights change only inside the sphere, normals stay unit, the drawn surface is the queried one.
    REQUIRE(terrain.Crater(6.0f, {0.3f, 0.0f, -0.4f}));
    const std::vector<TerrainVertex>& after = terrain.GetGroundVertices();
    bool lowered = false;
    for (std::size_t i = 0; i < after.size(); ++i) {
        const Vec3 p = after[i].position;
        const float reach = std::hypot(p.x - 0.3f, p.z + 0.4f);
        if (reach > 6.0f * std::sqrt(3.0f) / 2.0f + 1e-3f) {
            CHECK(p.y == before[i].position.y);
        }
        lowered = lowered || p.y < 0.0f;
        CHECK(Vec3Length(after[i].normal) == doctest::Approx(1.0f).epsilon(1e-4));
    }
    CHECK(lowered);
    CHECK(terrain.HeightAt(0.0f, 0.0f) < -2.5f);
    for (float x = -8.0f; x <= 8.0f; x += 0.37f) {
        for (float z = -8.0f; z <= 8.0f; z += 0.41f) {
            float drawn = 0.0f;
            REQUIRE(testing::DrawnHeightAt(terrain, x, z, drawn));
            CHECK(terrain.HeightAt(x, z) == doctest::Approx(drawn).epsilon(1e-4));
            // The physics stands bodies on the same new ground at once.
            CHECK(terrain.GetGroundGrid().HeightAt(x, z) == terrain.HeightAt(x, z));
        }
    }
    // The bowl's walls lean inward.
    CHECK(terrain.GetGroundVertices()[20 * 41 + 24].normal.x < 0.0f);
    std::vector<GridWindow> windows;
    REQUIRE(terrain.GetEditsSince(edits, windows));
    REQUIRE_FALSE(windows.empty());
    CHECK(windows.front().c0 <= 14);
    CHECK(windows.front().c1 >= 26);

    // At the border the skirt tops go down with the ground and the bottoms stay.
    const std::vector<TerrainVertex> edgesBefore = terrain.GetEdgeVertices();
    REQUIRE(terrain.Crater(6.0f, {0.0f, 0.0f, 20.0f}));
    const std::vector<TerrainVertex>& edges = terrain.GetEdgeVertices();
    for (std::uint32_t c = 0; c < 41; ++c) {
        const TerrainVertex& top = edges[terrain_grid::EdgeTopOfFirstRow(c)];
        CHECK(top.position.y == terrain.GetGroundVertices()[c].position.y);
        CHECK(top.v0 == terrain_grid::EdgeTopV(terrain.GetHeightScale(), top.position.y));
        CHECK(edges[terrain_grid::EdgeTopOfFirstRow(c) + 1].position.y ==
              edgesBefore[terrain_grid::EdgeTopOfFirstRow(c) + 1].position.y);
    }
    CHECK(edges[terrain_grid::EdgeTopOfFirstRow(20)].position.y < -2.5f);

    // A crater that is not a number, infinite, of no size, wider than the map or on no map is refused.
    const std::vector<TerrainVertex> cratered = terrain.GetGroundVertices();
    const std::uint32_t craters = terrain.GetEditCount();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    CHECK_FALSE(terrain.Crater(nan, {0.0f, 0.0f, 0.0f}));
    CHECK_FALSE(terrain.Crater(6.0f, {nan, 0.0f, 0.0f}));
    CHECK_FALSE(terrain.Crater(6.0f, {0.0f, inf, 0.0f}));
    CHECK_FALSE(terrain.Crater(inf, {0.0f, 0.0f, 0.0f}));
    CHECK_FALSE(terrain.Crater(0.0f, {0.0f, 0.0f, 0.0f}));
    CHECK_FALSE(terrain.Crater(1e20f, {0.0f, 0.0f, 0.0f}));
    CHECK(terrain.GetEditCount() == craters);
    CHECK(terrain.Crater(6.0f, {500.0f, 0.0f, -900.0f}));
    for (std::size_t i = 0; i < cratered.size(); ++i) {
        CHECK(terrain.GetGroundVertices()[i].position.y == cratered[i].position.y);
    }
    Terrain empty;
    CHECK_FALSE(empty.Crater(6.0f, {0.0f, 0.0f, 0.0f}));

    // Relighting bakes Lambert light and ambient into the ground colours and keeps the blend.
    LightRecord sun;
    sun.diffuse = {1.0f, 1.0f, 0.8f, 1.0f};
    sun.direction = {0.0f, -1.0f, 0.0f};
    const auto rgb = [](const Terrain& terrain, std::size_t i) {
        return terrain.GetGroundVertices()[i].diffuse & 0x00FFFFFFu;
    };

    // Straight down on an upward normal: full light, blue from the diffuse, alpha kept.
    const std::uint32_t alpha = terrain.GetGroundVertices()[5].diffuse & 0xFF000000u;
    for (int n = 0; n < 3; ++n) {
        terrain.Relight(&sun, kGroundAmbient);
    }
    CHECK(terrain.GetGroundVertices()[5].diffuse == (alpha | 0x00FFFFDCu));

    // A light from below leaves only the ambient, and no light is remembered as the last one.
    LightRecord below = sun;
    below.direction = {0.0f, 1.0f, 0.0f};
    terrain.Relight(&below, kGroundAmbient);
    CHECK(rgb(terrain, 5) == 0x00101010u);
    terrain.Relight(nullptr, 0xFF000000u);
    CHECK(rgb(terrain, 5) == 0x00000000u);
    const std::uint32_t relights = empty.GetRelightCount();
    empty.Relight(&sun, kGroundAmbient);
    CHECK(empty.GetRelightCount() == relights + 1);
    CHECK(empty.GetEditCount() == 0);
}
