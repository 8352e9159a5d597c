// Loading a map file into the terrain: what it keeps, and that a failed load
// says why and leaves the map it held.
#include "world/Terrain.h"

#include "world/MapFile.h"

#include "TestMaps.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

namespace {

void CheckEmpty(const Terrain& terrain)
{
    CHECK_FALSE(terrain.IsLoaded());
    CHECK(terrain.GetGroundVertices().empty());
    CHECK(terrain.GetStartCount() == 0);
    CHECK(terrain.HeightAt(0.0f, 0.0f) == 0.0f);
}

} // namespace

TEST_CASE("a map file loads into the terrain's copies, again the same, release empties it, a failed load keeps it")
{
    testing::TempDirectory dir;
    MapData map = testing::SmallMap(3, 3, 20.0f, [](float x, float) { return 0.25f * x; });
    for (std::vector<std::uint8_t>& image : map.groundImages) {
        image.clear(); // images of length 0 leave their slots empty
    }
    testing::WriteBinaryFile("Maps/Small.kvm", WriteMapFile(map));
    Terrain terrain;
    REQUIRE(terrain.Load("Small.kvm"));
    CHECK(terrain.GetStartPosition(1) == map.starts[1]);
    CHECK(terrain.GetFlagPosition(0) == map.flags[0]);
    CHECK(terrain.GetFlagPosition(1) == Vec3{}); // past the count: the origin
    CHECK(terrain.GetRockPosition(0) == Vec3{});
    CHECK(terrain.GetGroundImages() == map.groundImages);
    CHECK(terrain.GetWaterImages() == map.waterImages);

    // Loading again replaces, never appends.
    REQUIRE(terrain.Load("Small.kvm"));
    CHECK(terrain.GetGroundVertices().size() == 9);
    CHECK(terrain.GetEdgeVertices().size() == 24);
    CHECK(terrain.GetIndices() == map.indices);
    CHECK(terrain.GetStartCount() == 2);

    terrain.Release();
    CheckEmpty(terrain);

    // A failed load says why and keeps the map the terrain held, or none.
    testing::MessageCatcher catcher;
    std::vector<std::uint8_t> corrupt = WriteMapFile(testing::FlatMap(3, 3, 20.0f, 0.0f));
    corrupt[0] = 'X';
    testing::WriteBinaryFile("Maps/Bad.kvm", corrupt);
    testing::WriteBinaryFile("Maps/Good.kvm", WriteMapFile(testing::FlatMap(3, 3, 30.0f, 2.0f)));
    // Pipes and devices are refused by the platform's reader (FileSystemTest);
    // the terrain's part is to pass it a size limit.
    testing::MakeSparseFile("Maps/Huge.kvm", 300 * 1024 * 1024);
    MapData broken = testing::FlatMap(3, 3, 20.0f, 0.0f);
    broken.indices[4] = 200;

    CHECK_FALSE(terrain.Load("Nowhere.kvm"));
    CHECK_FALSE(terrain.Load("Bad.kvm"));
    CHECK_FALSE(terrain.Load("Huge.kvm"));
    REQUIRE(catcher.messages.size() == 3);
    CHECK(catcher.messages[0].first ==
          "Error Loading Map:\nCould not read map file Maps/Nowhere.kvm: No such file or directory.");
    CHECK(catcher.messages[1].first ==
          "Error Loading Map:\nMap file Maps/Bad.kvm is corrupted.\nThe file does not start with KVMP.");
    CHECK(catcher.messages[2].first.find("Maps/Huge.kvm: 314572800 bytes") != std::string::npos);
    std::string why;
    CHECK_FALSE(terrain.LoadFromData(broken, &why)); // data made in memory: no message box
    CHECK_FALSE(why.empty());
    CHECK(catcher.messages.size() == 3);
    CheckEmpty(terrain);

    REQUIRE(terrain.Load("Good.kvm"));
    CHECK_FALSE(terrain.Load("Bad.kvm"));
    CHECK_FALSE(terrain.Load("Nowhere.kvm"));
    CHECK_FALSE(terrain.LoadFromData(broken));
    CHECK(terrain.GetMapSize() == 30.0f);
    CHECK(terrain.HeightAt(3.0f, -4.0f) == 2.0f);
    CHECK(terrain.GetStartCount() == 2);
}
