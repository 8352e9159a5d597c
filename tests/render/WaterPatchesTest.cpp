// The water's patches: laid over just the tiles whose ground reaches down to
// the water, each row's run of them one quad, drawn as the map's one water
// quad would have drawn them there; the last tile of a grid that does not
// divide evenly ends at the map's edge.
#include "render/WaterPatches.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <functional>

namespace {

WaterPatches PatchesOf(std::uint32_t gridVertices, const std::function<float(float, float)>& height, float level)
{
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(400.0f, gridVertices, height, level)));
    WaterPatches patches;
    patches.Build(terrain);
    return patches;
}

bool Within(const std::vector<TerrainVertex>& vertices, float x0, float x1, float z0, float z1)
{
    return std::ranges::all_of(vertices, [&](const TerrainVertex& v) {
        return v.position.x >= x0 && v.position.x <= x1 && v.position.z >= z0 && v.position.z <= z1;
    });
}

} // namespace

TEST_CASE("water lies only over ground low enough to show it, as the whole map's quad drew it")
{
    // A dry map has none, a drowned one a quad per row of tiles reaching the far edge.
    CHECK(PatchesOf(33, testing::FlatGround, -5.0f).GetVertices().empty());
    // 10 cells a side: a full tile and a two-cell one, across and down.
    const WaterPatches drowned = PatchesOf(11, testing::FlatGround, 5.0f);
    REQUIRE(drowned.GetTriangleCount() == 4);
    const std::vector<TerrainVertex>& v = drowned.GetVertices();
    testing::CheckNear(v[0].position, {-200.0f, 5.0f, 200.0f});
    CHECK(v[5].position.z == doctest::Approx(-120.0f));
    testing::CheckNear(v[11].position, {200.0f, 5.0f, -200.0f});
    // The far corner carries the map's own corner, texture and alpha.
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(400.0f, 11, testing::FlatGround, 5.0f)));
    CHECK(v[11].u0 == doctest::Approx(terrain.GetWaterVertices()[3].u0));
    CHECK(v[11].v0 == doctest::Approx(terrain.GetWaterVertices()[3].v0));
    CHECK(v[11].diffuse == kWaterDiffuse);
    // Facing up, wound as the map's strip: top left, top right, bottom left.
    CHECK(v[1].position.x > v[0].position.x);
    CHECK(v[2].position.z < v[0].position.z);

    // A pit wets its own tile, with the texture coordinates the whole quad had there.
    // 32 cells of 12.5: tiles of 100 units; the pit lies in the -x, +z one.
    const WaterPatches pit = PatchesOf(
        33, [](float x, float z) { return x < -150.0f && z > 150.0f ? -10.0f : 0.0f; }, -5.0f);
    REQUIRE(pit.GetTriangleCount() == 2);
    CHECK(Within(pit.GetVertices(), -200.0f, -100.0f, 100.0f, 200.0f));
    const TerrainVertex& bottomRight = pit.GetVertices()[5];
    Terrain whole;
    REQUIRE(whole.LoadFromData(MakeHeightFieldMap(400.0f, 2, testing::FlatGround, -5.0f)));
    CHECK(bottomRight.u0 == doctest::Approx(whole.GetWaterVertices()[3].u0 * 0.25f));
    CHECK(bottomRight.v0 == doctest::Approx(whole.GetWaterVertices()[3].v0 * 0.25f));

    // Ground barely above the water keeps it, and a row of wet tiles is one quad.
    const WaterPatches shore = PatchesOf(
        33, [](float, float z) { return z > 150.0f ? 0.2f : 3.0f; }, 0.0f);
    REQUIRE(shore.GetTriangleCount() == 2);
    CHECK(Within(shore.GetVertices(), -200.0f, 200.0f, 100.0f, 200.0f));
    CHECK(shore.GetVertices()[1].position.x == doctest::Approx(200.0f));
}
