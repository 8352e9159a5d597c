// The drawn ground after a crater: patching the blocks around it must give
// what cutting the whole changed grid afresh gives.
#include "render/GroundBlocks.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>

TEST_CASE("ground blocks patched after a crater match blocks cut afresh")
{
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(
        100.0f, 65, [](float x, float z) { return 2.0f * std::sin(0.2f * x) * std::cos(0.15f * z); }, -50.0f)));
    GroundBlocks patched;
    patched.Build(terrain);
    const auto roughest = [](const GroundBlocks& blocks) {
        float worst = 0.0f;
        for (std::uint32_t bz = 0; bz < blocks.GetBlocksDown(); ++bz) {
            for (std::uint32_t bx = 0; bx < blocks.GetBlocksAcross(); ++bx) {
                worst = std::max(worst, blocks.GetLevelError(bx, bz, 1));
            }
        }
        return worst;
    };
    const float errorBefore = roughest(patched);

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
    // The bowl's rim is far rougher than the swell it was dug into, so the
    // level each block may be drawn at is measured again.
    CHECK(roughest(fresh) > errorBefore + 1.0f);
    for (std::uint32_t bz = 0; bz < fresh.GetBlocksDown(); ++bz) {
        for (std::uint32_t bx = 0; bx < fresh.GetBlocksAcross(); ++bx) {
            for (int level = 0; level < GroundBlocks::kLevels; ++level) {
                CHECK(patched.GetLevelError(bx, bz, level) == fresh.GetLevelError(bx, bz, level));
            }
        }
    }
}
