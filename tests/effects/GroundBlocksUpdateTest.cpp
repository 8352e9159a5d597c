// The drawn ground after a crater: patching the blocks around it must give
// what cutting the whole changed grid afresh gives, and far blocks go to the
// baked runs once the renderer has a baked picture.
#include "render/GroundBlocks.h"

#include <doctest/doctest.h>

#include <cmath>

TEST_CASE("ground blocks patched after a crater match blocks cut afresh, and far blocks draw baked")
{
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(
        100.0f, 65, [](float x, float z) { return 2.0f * std::sin(0.2f * x) * std::cos(0.15f * z); }, -50.0f)));
    GroundBlocks patched;
    patched.Build(terrain);

    SUBCASE("a patch equals a fresh cut, triangles and skirts alike")
    {
        const std::uint32_t edits = terrain.GetEditCount();
        REQUIRE(terrain.Crater(10.0f, {12.0f, terrain.HeightAt(12.0f, -30.0f), -30.0f}));
        std::vector<GridWindow> windows;
        REQUIRE(terrain.GetEditsSince(edits, windows));
        for (const GridWindow& window : windows) {
            patched.Update(terrain, window);
        }
        GroundBlocks fresh;
        fresh.Build(terrain);
        CHECK(patched.GetIndices() == fresh.GetIndices());
        REQUIRE(patched.GetSkirtVertices().size() == fresh.GetSkirtVertices().size());
        for (std::size_t i = 0; i < fresh.GetSkirtVertices().size(); ++i) {
            CHECK(patched.GetSkirtVertices()[i].position.y == fresh.GetSkirtVertices()[i].position.y);
        }
    }

    SUBCASE("beyond the baked distance every drawn block is in the baked runs")
    {
        patched.SetBakedBeyond(GroundBlocks::kDetailTextureDistance);
        patched.Select(MatrixLookAtLH({0.0f, 400.0f, -1.0f}, {}, {0.0f, 1.0f, 0.0f}),
                       MatrixPerspectiveFovLH(0.785f, 4.0f / 3.0f, 1.0f, 2000.0f));
        CHECK(patched.GetGroundRuns().empty());
        CHECK_FALSE(patched.GetBakedGroundRuns().empty());
        patched.SelectAllAt(0);
        CHECK(patched.GetBakedGroundRuns().empty());
        std::uint32_t triangles = 0;
        for (const GroundBlocks::Run& run : patched.GetGroundRuns()) {
            triangles += run.triangles;
        }
        CHECK(triangles == 2 * 64 * 64);
    }
}
