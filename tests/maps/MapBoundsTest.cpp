// Map files within the size limit that ask for more than a map of the game
// can use: millions of trees, counts near 2^32, picture lengths and embedded
// pictures too large. Each is refused by name and count before any list is
// read; a map at every bound still loads; the generated maps stay far inside.
#include "platform/ImageFile.h"
#include "world/MapFile.h"
#include "world/Terrain.h"

#include "TestMaps.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return v;
}

// A whole file of a small map with count trees: the header says so and the
// tree list really holds them, so nothing but the count can refuse it.
std::vector<std::uint8_t> MapWithTrees(std::uint32_t count)
{
    const std::vector<std::uint8_t> small = WriteMapFile(testing::FlatMap(3, 3, 20.0f, 0.0f));
    REQUIRE_FALSE(small.empty());
    constexpr std::size_t kTreeList = 56;
    const std::uint32_t had = GetU32(small, 20);
    const std::size_t trees = 12 * static_cast<std::size_t>(count);
    const std::size_t rest = small.size() - kTreeList - 12 * had;
    std::vector<std::uint8_t> bytes(kTreeList + trees + rest, 0); // the trees at the origin
    std::copy_n(small.begin(), kTreeList, bytes.begin());
    std::copy_n(small.end() - static_cast<std::ptrdiff_t>(rest), rest, bytes.end() - static_cast<std::ptrdiff_t>(rest));
    PutU32(bytes, 20, count);
    return bytes;
}

// The first bytes of a PNG: the signature and an IHDR claiming the size.
std::vector<std::uint8_t> PngHeader(std::uint32_t width, std::uint32_t height)
{
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (const std::uint32_t side : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            png.push_back(static_cast<std::uint8_t>(side >> shift));
        }
    }
    png.insert(png.end(), {8, 2, 0, 0, 0, 0, 0, 0, 0});
    return png;
}

} // namespace

TEST_CASE("a map asking for millions of trees or counts near 2^32 is refused by name and count, before any list")
{
    testing::TempDirectory dir;
    testing::MessageCatcher catcher;
    testing::WriteBinaryFile("Maps/Good.kvm", WriteMapFile(testing::FlatMap(3, 3, 30.0f, 2.0f)));
    Terrain terrain;
    REQUIRE(terrain.Load("Good.kvm"));

    SUBCASE("two million trees, every one of them in the file")
    {
        const std::vector<std::uint8_t> bytes = MapWithTrees(2'000'000);
        CHECK(bytes.size() < kMapMaxFileBytes); // within the file size limit
        testing::WriteBinaryFile("Maps/Forest.kvm", bytes);
        CHECK_FALSE(terrain.Load("Forest.kvm"));
        REQUIRE(catcher.messages.size() == 1);
        CHECK(catcher.messages[0].first == "Error Loading Map:\nMap file Maps/Forest.kvm is corrupted.\n"
                                           "The tree count 2000000 is above the 1024 a map may hold.");
        CHECK(catcher.messages[0].second == "Kostrivane");
        // The map held before stays.
        CHECK(terrain.GetMapSize() == 30.0f);
        CHECK(terrain.GetTreeCount() == 1);
    }
    SUBCASE("each count and length just past its bound, and far past it")
    {
        const std::vector<std::uint8_t> good = WriteMapFile(testing::FlatMap(3, 3, 20.0f, 1.0f));
        struct Case {
            std::size_t offset;
            std::uint32_t value;
            const char* fault;
        };
        const Case cases[] = {
            {20, kMapMaxTrees + 1, "the tree count 1025 is above the 1024"},
            {24, kMapMaxRocks + 1, "the rock count 1025 is above the 1024"},
            {24, 0xFFFFFFFFu, "the rock count 4294967295"},
            {28, 9, "9 army start positions, more than eight"},
            {32, kMapMaxFlags + 1, "the flag count 65 is above the 64"},
            {32, 0x80000000u, "the flag count 2147483648"},
            {36, kMapMaxGroundImageBytes + 1, "the ground image length 5242881 is above the 5242880 bytes"},
            {40, kMapMaxWaterImageBytes + 1, "the water image length 1048577 is above the 1048576 bytes"},
            {40, 0xFFFFFFFFu, "the water image length 4294967295"},
        };
        for (const Case& c : cases) {
            CAPTURE(c.fault);
            std::vector<std::uint8_t> bad = good;
            PutU32(bad, c.offset, c.value);
            MapData out;
            std::string why;
            CHECK_FALSE(ParseMapFile(bad, out, &why));
            CHECK(why.find(c.fault) != std::string::npos);
        }
        // Through the terrain, the file is named with the count.
        std::vector<std::uint8_t> bad = good;
        PutU32(bad, 32, 1'000'000);
        testing::WriteBinaryFile("Maps/Flags.kvm", bad);
        CHECK_FALSE(terrain.Load("Flags.kvm"));
        REQUIRE(catcher.messages.size() == 1);
        CHECK(catcher.messages[0].first.find("Maps/Flags.kvm") != std::string::npos);
        CHECK(catcher.messages[0].first.find("The flag count 1000000 ") != std::string::npos);
    }
    SUBCASE("a file longer than any map within the bounds is refused unread")
    {
        testing::MakeSparseFile("Maps/Long.kvm", kMapMaxFileBytes + 1);
        CHECK_FALSE(terrain.Load("Long.kvm"));
        REQUIRE(catcher.messages.size() == 1);
        CHECK(catcher.messages[0].first.find("Maps/Long.kvm: " + std::to_string(kMapMaxFileBytes + 1) + " bytes") !=
              std::string::npos);
    }
}

TEST_CASE("a map at every bound loads, one past any is refused by the writer too, and embedded pictures are bounded")
{
    MapData full = testing::FlatMap(256, 256, 400.0f, 0.0f);
    full.trees.assign(kMapMaxTrees, {10.0f, 0.0f, 10.0f});
    full.rocks.assign(kMapMaxRocks, {-10.0f, 0.0f, 10.0f});
    full.starts.assign(kMapMaxStarts, {0.0f, 0.0f, -10.0f});
    full.flags.assign(kMapMaxFlags, {5.0f, 0.0f, 5.0f});
    for (std::vector<std::uint8_t>& image : full.groundImages) {
        image.assign(kMapMaxGroundImageBytes, 0x42);
    }
    for (std::vector<std::uint8_t>& image : full.waterImages) {
        image.assign(kMapMaxWaterImageBytes, 0x24);
    }
    const std::vector<std::uint8_t> bytes = WriteMapFile(full);
    REQUIRE_FALSE(bytes.empty());
    CHECK(bytes.size() <= kMapMaxFileBytes);
    MapData back;
    REQUIRE(ParseMapFile(bytes, back));
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(std::move(back)));
    CHECK(terrain.GetTreeCount() == kMapMaxTrees);
    CHECK(terrain.GetFlagCount() == kMapMaxFlags);

    // What the game refuses, the data generator cannot write.
    std::string why;
    MapData tooMany = testing::FlatMap(3, 3, 20.0f, 0.0f);
    tooMany.rocks.assign(kMapMaxRocks + 1, {});
    CHECK_FALSE(ValidateMapData(tooMany, &why));
    CHECK(why.find("rock count 1025") != std::string::npos);
    CHECK(WriteMapFile(tooMany).empty());

    // An embedded picture that claims more than a map's picture refuses the
    // map; one at the bound, or bytes that are no picture at all, do not.
    MapData pictures = testing::FlatMap(3, 3, 20.0f, 0.0f);
    pictures.groundImages[1] = PngHeader(kMapMaxImageSide, kMapMaxImageSide);
    pictures.groundImages[0] = std::vector<std::uint8_t>(pictures.groundImages[1].size(), 0x42);
    pictures.groundImages[2] = pictures.groundImages[0];
    CHECK(ValidateMapData(pictures));
    pictures.groundImages[1] = PngHeader(8192, 8192);
    CHECK_FALSE(ValidateMapData(pictures, &why));
    CHECK(why == "ground image 1 is 8192 x 8192 pixels, above the 1024 x 1024 a map may hold");
    pictures.groundImages[1] = pictures.groundImages[0];
    pictures.waterImages.fill(PngHeader(16, kMapMaxImageSide + 1));
    CHECK_FALSE(ValidateMapData(pictures, &why));
    CHECK(why.find("water image 0 is 16 x 1025 pixels") != std::string::npos);
}

TEST_CASE("the generated maps keep far inside every bound")
{
    const char* const maps[] = {"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"};
    // A tenth of each bound at most, so a richer theme has room to grow
    // before the game would refuse its map.
    constexpr std::uint32_t kMargin = 10;
    testing::DataDirectoryScope data;
    testing::MessageCatcher catcher;
    for (const char* name : maps) {
        CAPTURE(name);
        Terrain terrain;
        REQUIRE(terrain.Load(name));
        CHECK(terrain.GetTreeCount() * kMargin <= kMapMaxTrees);
        CHECK(terrain.GetRockCount() * kMargin <= kMapMaxRocks);
        CHECK(terrain.GetFlagCount() * kMargin <= kMapMaxFlags);
        for (const std::vector<std::uint8_t>& image : terrain.GetGroundImages()) {
            int width = 0;
            int height = 0;
            REQUIRE(platform::ReadImageSize(image, width, height));
            CHECK(image.size() * kMargin <= kMapMaxGroundImageBytes);
            CHECK(width * 4 <= kMapMaxImageSide);
        }
        for (const std::vector<std::uint8_t>& image : terrain.GetWaterImages()) {
            CHECK(image.size() * kMargin <= kMapMaxWaterImageBytes);
        }
    }
    CHECK(catcher.messages.empty());
}
