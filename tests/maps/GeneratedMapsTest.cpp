// The four maps the data generator writes, checked against what the rest of
// the game assumes of them.
#include "world/MapFile.h"
#include "world/Terrain.h"
#include "world/TerrainGrid.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>

namespace {

float Distance(const Vec3& a, const Vec3& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

// p lies on the drawn surface, and a disk round it is dry and gentle.
void CheckOnDryGentleGround(const Terrain& terrain, const Vec3& p, float radius)
{
    CHECK(std::fabs(p.y - terrain.HeightAt(p.x, p.z)) < 1e-4f);
    for (float d = 0.0f; d <= radius; d += radius / 4.0f) {
        for (int step = 0; step < 12; ++step) {
            const float x = p.x + d * std::cos(step * kPi / 6.0f);
            const float z = p.z + d * std::sin(step * kPi / 6.0f);
            Vec3 n;
            terrain.NormalAt(x, z, n);
            INFO("at " << x << ", " << z);
            CHECK(terrain.HeightAt(x, z) > terrain.GetWaterLevel() + 0.5f);
            CHECK(Vec3Normalize(n).y >= 0.94f);
        }
    }
}

// The ground stays inside the height range with room for craters dug into
// craters, water lies in low ground, and each cell splits along the diagonal
// whose ends differ least.
void CheckGrid(const Terrain& terrain)
{
    const std::uint32_t columns = terrain.GetColumns();
    const std::vector<TerrainVertex>& ground = terrain.GetGroundVertices();
    const float floor = -terrain.GetHeightScale() / 2.0f;
    int underWater = 0;
    for (const TerrainVertex& v : ground) {
        REQUIRE(v.position.y > floor + 25.0f);
        REQUIRE(v.position.y < -floor - 10.0f);
        underWater += v.position.y < terrain.GetWaterLevel() ? 1 : 0;
    }
    CHECK(underWater > 100);
    std::vector<std::uint16_t> expected(terrain.GetIndices().size());
    for (std::uint32_t r = 0; r + 1 < terrain.GetRows(); ++r) {
        for (std::uint32_t c = 0; c + 1 < columns; ++c) {
            terrain_grid::WriteCellIndices(std::span<std::uint16_t>(expected), std::span<const TerrainVertex>(ground),
                                           columns, c, r);
        }
    }
    CHECK(terrain.GetIndices() == expected);
}

void CheckLists(const Terrain& terrain)
{
    REQUIRE(terrain.GetStartCount() == 8);
    for (std::uint32_t i = 0; i < 8; ++i) {
        const Vec3 s = terrain.GetStartPosition(i);
        INFO("start " << i);
        CHECK(std::hypot(s.x, s.z) >= 60.0f);
        CHECK(std::hypot(s.x, s.z) <= 150.0f);
        CHECK(std::max(std::fabs(s.x), std::fabs(s.z)) <= terrain.GetMapSize() / 2.0f - 30.0f);
        CheckOnDryGentleGround(terrain, s, 20.0f);
    }
    const std::uint32_t flags = terrain.GetFlagCount();
    REQUIRE(flags >= 4);
    REQUIRE(flags <= 6);
    CHECK(Distance(terrain.GetFlagPosition(0), {}) < 0.5f);
    for (std::uint32_t i = 0; i < flags; ++i) {
        INFO("flag " << i);
        CheckOnDryGentleGround(terrain, terrain.GetFlagPosition(i), 10.0f);
        for (std::uint32_t j = i + 1; j < flags; ++j) {
            CHECK(Distance(terrain.GetFlagPosition(i), terrain.GetFlagPosition(j)) >= 50.0f);
        }
    }
    CHECK(terrain.HeightAt(-5.0f, -5.0f) > terrain.GetWaterLevel() + 0.5f); // Steal the Bacon's flag

    const auto checkScenery = [&](std::uint32_t count, Vec3 (Terrain::*position)(std::uint32_t) const) {
        CHECK(count >= 10);
        for (std::uint32_t i = 0; i < count; ++i) {
            const Vec3 p = (terrain.*position)(i);
            INFO("scenery at " << p.x << ", " << p.z);
            CHECK(std::fabs(p.y - terrain.HeightAt(p.x, p.z)) < 1e-4f);
            CHECK(p.y > terrain.GetWaterLevel());
            for (std::uint32_t s = 0; s < 8; ++s) {
                CHECK(Distance(p, terrain.GetStartPosition(s)) >= 30.0f);
            }
            for (std::uint32_t f = 0; f < flags; ++f) {
                CHECK(Distance(p, terrain.GetFlagPosition(f)) >= 15.0f);
            }
        }
    };
    checkScenery(terrain.GetTreeCount(), &Terrain::GetTreePosition);
    checkScenery(terrain.GetRockCount(), &Terrain::GetRockPosition);
}

// A square, power-of-two, uncompressed 24-bit BMP whose length field agrees
// with its bytes: what the texture loader takes.
void CheckImage(const std::vector<std::uint8_t>& b)
{
    REQUIRE(b.size() > 54);
    CHECK((b[0] == 'B' && b[1] == 'M' && b[28] == 24 && b[30] == 0));
    const unsigned width = b[18] | b[19] << 8;
    CHECK((width >= 64 && (width & (width - 1)) == 0 && b[22] == b[18] && b[23] == b[19]));
    CHECK((b[2] | b[3] << 8 | b[4] << 16 | std::size_t{b[5]} << 24) == b.size());
}

} // namespace

TEST_CASE("each generated map loads and keeps the promises the game relies on")
{
    testing::DataDirectoryScope data;
    for (const char* name : {"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"}) {
        INFO("map " << name);
        Terrain terrain;
        REQUIRE(terrain.Load(name));
        CHECK(terrain.GetMapSize() == 400.0f);
        CheckGrid(terrain);
        CheckLists(terrain);
        CheckImage(terrain.GetGroundImages()[0]);
        CheckImage(terrain.GetWaterImages()[7]);
        CHECK(terrain.GetWaterImages()[0] != terrain.GetWaterImages()[1]); // the water moves
    }
}
