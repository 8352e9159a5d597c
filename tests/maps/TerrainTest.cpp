#include "render/Terrain.h"

#include "render/MapFile.h"

#include "TestMaps.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

namespace {

void CheckEmpty(const Terrain& terrain)
{
    CHECK_FALSE(terrain.IsLoaded());
    CHECK(terrain.GetMapSize() == 0.0f);
    CHECK(terrain.GetWaterLevel() == 0.0f);
    CHECK(terrain.GetColumns() == 0);
    CHECK(terrain.GetGroundVertices().empty());
    CHECK(terrain.GetIndices().empty());
    CHECK(terrain.GetTreeCount() == 0);
    CHECK(terrain.GetRockCount() == 0);
    CHECK(terrain.GetStartCount() == 0);
    CHECK(terrain.GetFlagCount() == 0);
    CHECK(terrain.HeightAt(0.0f, 0.0f) == 0.0f);
}

} // namespace

TEST_CASE("a map file loads into the terrain's copies")
{
    testing::TempDirectory dir;
    const MapData map = testing::SmallMap(3, 3, 20.0f, [](float x, float) { return 0.25f * x; });
    testing::WriteBytes("Maps/Small.kvm", WriteMapFile(map));
    Terrain terrain;
    REQUIRE(terrain.Load("Small.kvm"));

    CHECK(terrain.IsLoaded());
    CHECK(terrain.GetMapSize() == 20.0f);
    CHECK(terrain.GetWaterLevel() == map.waterLevel);
    CHECK(terrain.GetHeightScale() == map.heightScale);
    CHECK(terrain.GetTreeCount() == 1);
    CHECK(terrain.GetTreePosition(0) == Vec3{1.0f, 2.0f, 3.0f});
    CHECK(terrain.GetStartCount() == 2);
    CHECK(terrain.GetStartPosition(1) == map.starts[1]);
    CHECK(terrain.GetFlagPosition(0) == map.flags[0]);

    SUBCASE("ground vertices keep their blend alpha, with white light until the relight")
    {
        const std::vector<TerrainVertex>& ground = terrain.GetGroundVertices();
        REQUIRE(ground.size() == 9);
        for (std::size_t i = 0; i < ground.size(); ++i) {
            CHECK(ground[i].diffuse == ((map.ground[i].colour & 0xFF000000u) | 0x00FFFFFFu));
            CHECK(ground[i].specular == 0xFFFFFFFFu);
            CHECK(ground[i].u0 == map.ground[i].u);
            CHECK(ground[i].u1 == map.ground[i].u);
            CHECK(ground[i].v1 == map.ground[i].v);
        }
        CHECK(terrain.GetIndices() == map.indices);
    }
    SUBCASE("skirts are white and the water partly transparent")
    {
        REQUIRE(terrain.GetEdgeVertices().size() == 24);
        for (const TerrainVertex& v : terrain.GetEdgeVertices()) {
            CHECK(v.diffuse == 0xFFFFFFFFu);
            CHECK(v.specular == 0xFFFFFFFFu);
        }
        for (const TerrainVertex& v : terrain.GetWaterVertices()) {
            CHECK(v.diffuse == 0x66FFFFFFu);
            CHECK(v.position.y == map.waterLevel);
        }
    }
    SUBCASE("the images keep their slots")
    {
        CHECK(terrain.GetGroundImages() == map.groundImages);
        CHECK(terrain.GetWaterImages() == map.waterImages);
    }
    SUBCASE("loading the same file again gives the same terrain")
    {
        const std::vector<TerrainVertex> before = terrain.GetGroundVertices();
        REQUIRE(terrain.Load("Small.kvm"));
        REQUIRE(terrain.GetGroundVertices().size() == before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            CHECK(terrain.GetGroundVertices()[i].position == before[i].position);
            CHECK(terrain.GetGroundVertices()[i].diffuse == before[i].diffuse);
        }
        CHECK(terrain.GetTreeCount() == 1);
    }
    SUBCASE("release empties it")
    {
        terrain.Release();
        CheckEmpty(terrain);
    }
}

TEST_CASE("images of length 0 leave their slots empty and the load succeeds")
{
    testing::TempDirectory dir;
    MapData map = testing::FlatMap(2, 2, 10.0f, 0.0f);
    for (std::vector<std::uint8_t>& image : map.groundImages) {
        image.clear();
    }
    testing::WriteBytes("Maps/Bare.kvm", WriteMapFile(map));
    Terrain terrain;
    REQUIRE(terrain.Load("Bare.kvm"));
    CHECK(terrain.GetGroundImages().size() == 3);
    CHECK(terrain.GetGroundImages()[2].empty());
    CHECK(terrain.GetWaterImages().size() == 8);
    CHECK(terrain.GetWaterImages()[7].size() == 5);
}

TEST_CASE("a failed load says why and keeps the map the terrain held")
{
    testing::TempDirectory dir;
    testing::MessageCatcher catcher;
    std::vector<std::uint8_t> corrupt = WriteMapFile(testing::FlatMap(3, 3, 20.0f, 0.0f));
    corrupt[0] = 'X';
    testing::WriteBytes("Maps/Bad.kvm", corrupt);
    testing::WriteBytes("Maps/Good.kvm", WriteMapFile(testing::FlatMap(3, 3, 30.0f, 2.0f)));
    Terrain terrain;

    SUBCASE("a missing file, on an empty terrain")
    {
        CHECK_FALSE(terrain.Load("Nowhere.kvm"));
        REQUIRE(catcher.Messages().size() == 1);
        CHECK(catcher.Messages()[0].text == "Error Loading Map:\nCould not open file Maps/Nowhere.kvm.");
        CHECK(catcher.Messages()[0].title == "Kostrivane");
        CheckEmpty(terrain);
    }
    SUBCASE("a corrupted file, on an empty terrain")
    {
        CHECK_FALSE(terrain.Load("Bad.kvm"));
        REQUIRE(catcher.Messages().size() == 1);
        CHECK(catcher.Messages()[0].text == "Error Loading Map:\nMap file Maps/Bad.kvm is corrupted.");
        CheckEmpty(terrain);
    }
    SUBCASE("a corrupted file after a good one")
    {
        REQUIRE(terrain.Load("Good.kvm"));
        CHECK_FALSE(terrain.Load("Bad.kvm"));
        CHECK(terrain.IsLoaded());
        CHECK(terrain.GetMapSize() == 30.0f);
        CHECK(terrain.HeightAt(3.0f, -4.0f) == 2.0f);
        CHECK(terrain.GetStartCount() == 2);
    }
    SUBCASE("data made in memory that does not hold together")
    {
        MapData broken = testing::FlatMap(3, 3, 20.0f, 0.0f);
        broken.indices[4] = 200;
        std::string why;
        CHECK_FALSE(terrain.LoadFromData(broken, &why));
        CHECK_FALSE(why.empty());
        CheckEmpty(terrain);
        CHECK(catcher.Messages().empty());
    }
}
