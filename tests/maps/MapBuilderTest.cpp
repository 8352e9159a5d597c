#include "render/MapBuilder.h"
#include "render/MapFile.h"
#include "render/TerrainGrid.h"

#include "TestMaps.h"

#include <doctest/doctest.h>

#include <cmath>

namespace {

// Front faces are clockwise as seen from outside, which in this left-handed
// world makes cross(v1 - v0, v2 - v0) point out of the surface.
Vec3 Facing(const Vec3& v0, const Vec3& v1, const Vec3& v2)
{
    return Vec3Cross(v1 - v0, v2 - v0);
}

} // namespace

TEST_CASE("a height-field map stands on the grid with its heights, and holds together")
{
    const auto height = [](float x, float z) { return 3.0f * std::sin(x / 20.0f) - 0.02f * z; };
    const MapData map = MakeHeightFieldMap(400.0f, 33, height, -5.0f);
    CHECK(ValidateMapData(map));
    CHECK(map.columns == 33);
    CHECK(map.rows == 33);
    CHECK(map.waterLevel == -5.0f);
    CHECK(map.heightScale / 2.0f > 7.0f + 10.0f); // the ground and room below it
    const MapGroundRecord& g = map.ground[5 * 33 + 7];
    CHECK(g.position.x == doctest::Approx(-200.0f + 7 * 12.5f));
    CHECK(g.position.z == doctest::Approx(200.0f - 5 * 12.5f));
    CHECK(g.position.y == doctest::Approx(height(g.position.x, g.position.z)));
}

TEST_CASE("ground, skirts and water face outwards")
{
    const MapData map = testing::SmallMap(6, 5, 50.0f, [](float x, float z) { return std::sin(x) + std::cos(z); });
    const float floor = -map.heightScale / 2.0f;

    SUBCASE("every ground triangle faces up")
    {
        for (std::size_t i = 0; i < map.indices.size(); i += 3) {
            CHECK(Facing(map.ground[map.indices[i]].position, map.ground[map.indices[i + 1]].position,
                         map.ground[map.indices[i + 2]].position)
                      .y > 0.0f);
        }
    }
    SUBCASE("each skirt's first triangle faces away from the map, tops on the border, bottoms on the floor")
    {
        const std::uint32_t columns = map.columns;
        const std::uint32_t rows = map.rows;
        const std::uint32_t firsts[4] = {0, 2 * columns, 4 * columns, 4 * columns + 2 * rows};
        for (const std::uint32_t first : firsts) {
            const Vec3 out = map.edges[first].normal;
            CHECK(
                Vec3Dot(Facing(map.edges[first].position, map.edges[first + 1].position, map.edges[first + 2].position),
                        out) > 0.0f);
        }
        for (std::uint32_t c = 0; c < columns; ++c) {
            const std::uint32_t top = terrain_grid::EdgeTopOfFirstRow(c);
            CHECK(map.edges[top].position == map.ground[c].position);
            CHECK(map.edges[top + 1].position.y == floor);
            CHECK(map.edges[top].v == doctest::Approx((map.heightScale / 2.0f + map.ground[c].position.y) / 16.0f));
        }
        for (std::uint32_t r = 0; r < rows; ++r) {
            const std::uint32_t top = terrain_grid::EdgeTopOfFirstColumn(columns, r);
            CHECK(map.edges[top].position == map.ground[r * columns].position);
            CHECK(map.edges[top - 1].position.y == floor); // on the -x side the bottom comes first
            CHECK(map.edges[top - 1].v == 0.0f);
        }
    }
    SUBCASE("the water is one quad at the water level, facing up")
    {
        for (const MapEdgeRecord& w : map.water) {
            CHECK(w.position.y == map.waterLevel);
            CHECK(std::fabs(w.position.x) == 25.0f);
            CHECK(std::fabs(w.position.z) == 25.0f);
        }
        CHECK(Facing(map.water[0].position, map.water[1].position, map.water[2].position).y > 0.0f);
        CHECK(Facing(map.water[2].position, map.water[1].position, map.water[3].position).y > 0.0f);
    }
}

TEST_CASE("vertex normals sum the faces round each vertex, as the crater recomputes them")
{
    const MapData flat = testing::FlatMap(4, 4, 30.0f, 2.0f);
    for (const MapGroundRecord& g : flat.ground) {
        CHECK(g.normal == Vec3{0.0f, 1.0f, 0.0f});
    }
    // A plane rising towards +x: every vertex, corners included, gets its normal.
    const MapData slope = testing::SmallMap(4, 4, 30.0f, [](float x, float) { return 0.5f * x; });
    const Vec3 expected = Vec3Normalize({-0.5f, 1.0f, 0.0f});
    for (const MapGroundRecord& g : slope.ground) {
        CHECK(g.normal.x == doctest::Approx(expected.x));
        CHECK(g.normal.y == doctest::Approx(expected.y));
        CHECK(g.normal.z == doctest::Approx(0.0f));
    }
}
