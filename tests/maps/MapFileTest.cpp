#include "render/MapFile.h"

#include "platform/Random.h"
#include "render/Terrain.h"

#include "TestMaps.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

float F32At(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    float v = 0.0f;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

std::uint16_t U16At(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

void PutF32(std::vector<std::uint8_t>& bytes, std::size_t offset, float v)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    PutU32(bytes, offset, bits);
}

// Header word offsets.
constexpr std::size_t kVertexCount = 4;
constexpr std::size_t kIndexCount = 8;
constexpr std::size_t kColumns = 12;
constexpr std::size_t kTreeCount = 20;
constexpr std::size_t kStartCount = 28;
constexpr std::size_t kFlagCount = 32;
constexpr std::size_t kGroundImageBytes = 36;
constexpr std::size_t kWaterImageBytes = 40;
constexpr std::size_t kMapSize = 44;
constexpr std::size_t kHeightScale = 48;
constexpr std::size_t kWaterLevel = 52;
// In a 3 x 3 map with one tree, eight starts and one flag.
constexpr std::size_t kFirstGroundVertex = 56 + 12 * 10;
constexpr std::size_t kFirstIndex = kFirstGroundVertex + 36 * 9;

bool Parses(const std::vector<std::uint8_t>& bytes)
{
    MapData out;
    return ParseMapFile(bytes, out);
}

// A parsed map is either refused or sound all the way through: the queries
// walk it without leaving its arrays.
void ExerciseIfParsed(const std::vector<std::uint8_t>& bytes)
{
    MapData data;
    if (!ParseMapFile(bytes, data)) {
        return;
    }
    CHECK(ValidateMapData(data));
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(std::move(data)));
    const float h = terrain.GetMapSize() / 2.0f;
    Vec3 normal;
    for (const float f : {-1.0f, -0.5f, 0.0f, 0.37f, 1.0f}) {
        (void)terrain.HeightAt(f * h, -f * h);
        terrain.NormalAt(f * h, f * h, normal);
    }
}

} // namespace

TEST_CASE("a map written and parsed again is the same map")
{
    const MapData map = testing::SmallMap(5, 4, 100.0f, [](float x, float z) { return 0.1f * x - 0.05f * z; });
    const std::vector<std::uint8_t> bytes = WriteMapFile(map);
    REQUIRE_FALSE(bytes.empty());
    MapData back;
    REQUIRE(ParseMapFile(bytes, back));
    CHECK(back.columns == 5);
    CHECK(back.rows == 4);
    CHECK(back.trees == map.trees);
    CHECK(back.starts == map.starts);
    CHECK(back.rocks.empty());
    CHECK(back.indices == map.indices);
    CHECK(back.groundImages == map.groundImages);
    // Everything else: the same data writes the same bytes.
    CHECK(WriteMapFile(back) == bytes);

    SUBCASE("bytes after the last water image are ignored")
    {
        std::vector<std::uint8_t> longer = bytes;
        longer.insert(longer.end(), {1, 2, 3, 4, 5});
        MapData again;
        REQUIRE(ParseMapFile(longer, again));
        CHECK(again.waterImages == map.waterImages);
    }
}

TEST_CASE("the sections of a 2 x 2 map lie where the format puts them")
{
    MapData map = testing::FlatMap(2, 2, 10.0f, 0.5f);
    map.groundImages = {std::vector<std::uint8_t>(100, 0xA0), std::vector<std::uint8_t>(100, 0xA1),
                        std::vector<std::uint8_t>(100, 0xA2)};
    for (std::size_t i = 0; i < map.waterImages.size(); ++i) {
        map.waterImages[i] = std::vector<std::uint8_t>(50, static_cast<std::uint8_t>(0xB0 + i));
    }
    map.trees = {{7.0f, 8.0f, 9.0f}};
    map.starts = {{11.0f, 0.0f, 0.0f}, {12.0f, 0.0f, 0.0f}};
    map.flags = {{13.0f, 0.0f, 0.0f}};
    const std::vector<std::uint8_t> bytes = WriteMapFile(map);

    REQUIRE(bytes.size() == 1600);
    CHECK(std::memcmp(bytes.data(), "KVMP", 4) == 0);
    CHECK(F32At(bytes, 56) == 7.0f);           // the tree; the rock list is empty
    CHECK(F32At(bytes, 68) == 11.0f);          // start 0
    CHECK(F32At(bytes, 80) == 12.0f);          // start 1
    CHECK(F32At(bytes, 92) == 13.0f);          // the flag
    CHECK(F32At(bytes, 104) == -5.0f);         // ground vertex (0, 0): x = -S/2
    CHECK(F32At(bytes, 104 + 8) == 5.0f);      // and z = +S/2
    CHECK(F32At(bytes, 104 + 36 + 4) == 0.5f); // vertex (1, 0)'s height
    CHECK(U16At(bytes, 248) == 0);             // the first index is corner a
    CHECK(F32At(bytes, 260 + 12 + 8) == 1.0f); // edge record 0's normal faces +z
    CHECK(F32At(bytes, 772 + 4) == map.waterLevel);
    CHECK(bytes[900] == 0xA0);
    CHECK(bytes[1000] == 0xA1);
    CHECK(bytes[1100] == 0xA2);
    CHECK(bytes[1200] == 0xB0);
    CHECK(bytes[1599] == 0xB7);
}

TEST_CASE("a 3 x 3 grid has 24 edge records and 24 indices")
{
    const MapData map = testing::FlatMap(3, 3, 20.0f, 0.0f);
    CHECK(map.edges.size() == 24);
    CHECK(map.indices.size() == 24);
    CHECK(ValidateMapData(map));
}

TEST_CASE("files that break the format are refused, each for its own fault")
{
    MapData map = testing::FlatMap(3, 3, 20.0f, 1.0f);
    map.starts.resize(8);
    const std::vector<std::uint8_t> good = WriteMapFile(map);
    REQUIRE(Parses(good));
    std::vector<std::uint8_t> bad = good;
    std::string fault;

    SUBCASE("wrong magic")
    {
        bad[3] = 'Q';
        fault = "KVMP";
    }
    SUBCASE("nine army starts (the flag taken for the ninth)")
    {
        PutU32(bad, kStartCount, 9);
        PutU32(bad, kFlagCount, 0);
        fault = "eight";
    }
    SUBCASE("a vertex count that is not columns x rows")
    {
        PutU32(bad, kVertexCount, 8);
        fault = "vertex count";
    }
    SUBCASE("an index count that is not six per cell")
    {
        PutU32(bad, kIndexCount, 18);
        fault = "index count";
    }
    SUBCASE("a single column, which would divide by zero")
    {
        PutU32(bad, kColumns, 1);
        PutU32(bad, kVertexCount, 3);
        PutU32(bad, kIndexCount, 0);
        fault = "two columns";
    }
    SUBCASE("more vertices than 16-bit indices reach")
    {
        PutU32(bad, kColumns, 65537);
        PutU32(bad, kVertexCount, 65537 * 3);
        PutU32(bad, kIndexCount, 6 * 65536 * 2);
        fault = "vertex count";
    }
    SUBCASE("an index past the last vertex")
    {
        PutU32(bad, kFirstIndex, 9);
        fault = "index lies past";
    }
    SUBCASE("a map size that is not a number")
    {
        PutF32(bad, kMapSize, std::numeric_limits<float>::quiet_NaN());
        fault = "map size";
    }
    SUBCASE("a map size of zero")
    {
        PutF32(bad, kMapSize, 0.0f);
        fault = "map size";
    }
    SUBCASE("a negative map size")
    {
        PutF32(bad, kMapSize, -400.0f);
        fault = "map size";
    }
    SUBCASE("a height scale of zero")
    {
        PutF32(bad, kHeightScale, 0.0f);
        fault = "height scale";
    }
    SUBCASE("an infinite water level")
    {
        PutF32(bad, kWaterLevel, std::numeric_limits<float>::infinity());
        fault = "water level";
    }
    SUBCASE("a ground vertex that is not a number")
    {
        PutF32(bad, kFirstGroundVertex + 36 * 4 + 4, std::numeric_limits<float>::quiet_NaN());
        fault = "ground vertex";
    }
    SUBCASE("a list position that is not a number")
    {
        PutF32(bad, 56, std::numeric_limits<float>::infinity());
        fault = "list position";
    }
    SUBCASE("a list count far larger than the file")
    {
        PutU32(bad, kTreeCount, 0xFFFFFFFFu);
        fault = "shorter";
    }
    SUBCASE("image lengths whose total overflows 32 bits")
    {
        PutU32(bad, kGroundImageBytes, 0x55555556u);
        PutU32(bad, kWaterImageBytes, 0x20000000u);
        fault = "shorter";
    }
    MapData out;
    std::string why;
    CHECK_FALSE(ParseMapFile(bad, out, &why));
    CHECK(why.find(fault) != std::string::npos);
    CHECK(out.ground.empty()); // untouched
}

TEST_CASE("every cut-short copy of a map is refused")
{
    const std::vector<std::uint8_t> good =
        WriteMapFile(testing::SmallMap(3, 4, 20.0f, [](float x, float) { return x; }));
    REQUIRE(Parses(good));
    for (std::size_t length = 0; length < good.size(); ++length) {
        const std::vector<std::uint8_t> prefix(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
        INFO("length " << length);
        CHECK_FALSE(Parses(prefix));
    }
}

TEST_CASE("randomly damaged maps are refused or load soundly")
{
    const std::vector<std::uint8_t> good =
        WriteMapFile(testing::SmallMap(4, 4, 40.0f, [](float x, float z) { return std::sin(x) + 0.1f * z; }));
    platform::SeedRand(20240607u);
    int refused = 0;
    for (int round = 0; round < 4000; ++round) {
        std::vector<std::uint8_t> bytes = good;
        const int changes = 1 + platform::Rand() % 4;
        for (int i = 0; i < changes; ++i) {
            // Half the damage lands in the header, where the counts live.
            const std::size_t span = (platform::Rand() % 2) ? 56 : bytes.size();
            bytes[static_cast<std::size_t>(platform::Rand()) % span] = static_cast<std::uint8_t>(platform::Rand());
        }
        refused += Parses(bytes) ? 0 : 1;
        ExerciseIfParsed(bytes);
    }
    // Both outcomes occur, so the sweep reaches past the checks.
    CHECK(refused > 0);
    CHECK(refused < 4000);
}

TEST_CASE("the writer refuses what the parser would")
{
    MapData map = testing::FlatMap(3, 3, 20.0f, 0.0f);
    SUBCASE("nine starts")
    {
        map.starts.resize(9);
    }
    SUBCASE("ground images of different lengths")
    {
        map.groundImages[2].push_back(0);
    }
    SUBCASE("water images of different lengths")
    {
        map.waterImages[7].clear();
    }
    SUBCASE("a grid that does not match its counts")
    {
        map.ground.pop_back();
    }
    SUBCASE("a missing skirt record")
    {
        map.edges.pop_back();
    }
    std::string why;
    CHECK_FALSE(ValidateMapData(map, &why));
    CHECK_FALSE(why.empty());
    CHECK(WriteMapFile(map).empty());
}
