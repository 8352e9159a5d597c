// The geometry built from a height grid: faces turned outwards, so none is
// culled, and plane normals.
#include "world/MapBuilder.h"
#include "world/MapFile.h"

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

TEST_CASE("ground, skirts and water face outwards, and vertex normals on a plane are the plane's")
{
    const MapData map = testing::SmallMap(6, 5, 50.0f, [](float x, float z) { return std::sin(x) + std::cos(z); });
    const std::uint32_t columns = map.columns;
    const auto& i = map.indices;
    for (std::size_t t = 0; t < i.size(); t += 3) {
        CHECK(Facing(map.ground[i[t]].position, map.ground[i[t + 1]].position, map.ground[i[t + 2]].position).y > 0.0f);
    }
    for (const std::uint32_t first : {0u, 2 * columns, 4 * columns, 4 * columns + 2 * map.rows}) {
        const auto& e = map.edges;
        CHECK(Vec3Dot(Facing(e[first].position, e[first + 1].position, e[first + 2].position), e[first].normal) > 0.0f);
    }
    CHECK(Facing(map.water[0].position, map.water[1].position, map.water[2].position).y > 0.0f);
    CHECK(Facing(map.water[2].position, map.water[1].position, map.water[3].position).y > 0.0f);

    // Vertex normals on a plane, corners included, are the plane's.
    const MapData slope = testing::SmallMap(4, 4, 30.0f, [](float x, float) { return 0.5f * x; });
    const Vec3 expected = Vec3Normalize({-0.5f, 1.0f, 0.0f});
    for (const MapGroundRecord& g : slope.ground) {
        CHECK(Vec3Length(g.normal - expected) < 1e-5f);
    }
}
