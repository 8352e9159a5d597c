// The map file format: a round trip through the writer and parser, and the
// refusal of files that break it, each for its own fault.
#include "world/MapFile.h"

#include "TestMaps.h"

#include <doctest/doctest.h>

#include <bit>
#include <limits>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

constexpr auto Bits = [](float v) { return std::bit_cast<std::uint32_t>(v); };

} // namespace

TEST_CASE("a map written and parsed again is the same, and cut-short copies and broken files are refused")
{
    const MapData map = testing::SmallMap(5, 4, 100.0f, [](float x, float z) { return 0.1f * x - 0.05f * z; });
    const std::vector<std::uint8_t> bytes = WriteMapFile(map);
    REQUIRE_FALSE(bytes.empty());
    MapData back;
    REQUIRE(ParseMapFile(bytes, back));
    CHECK(back.starts == map.starts);
    CHECK(back.indices == map.indices);
    CHECK(WriteMapFile(back) == bytes); // everything else
    // Random damage is the map fuzzer's job (fuzz/fuzz_map_file.cpp); here
    // only the cut-short copies.
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        INFO("length " << length);
        CHECK_FALSE(ParseMapFile(std::span(bytes.data(), length), back));
    }

    // Files that break the format are refused, each for its own fault.
    MapData eightStarts = testing::FlatMap(3, 3, 20.0f, 1.0f);
    eightStarts.starts.resize(8);
    const std::vector<std::uint8_t> good = WriteMapFile(eightStarts);
    constexpr std::size_t kGround = 56 + 12 * 10; // one tree, eight starts, one flag
    constexpr std::size_t kIndices = kGround + 36 * 9;

    struct Case {
        const char* what;
        std::vector<std::pair<std::size_t, std::uint32_t>> words; // offset, new value
        const char* fault;
    };
    const Case cases[] = {
        {"wrong magic", {{0, 0x514D564Bu}}, "KVMP"},
        {"nine army starts", {{28, 9}, {32, 0}}, "eight"},
        {"vertex count not columns x rows", {{4, 8}}, "vertex count"},
        {"index count not six per cell", {{8, 18}}, "index count"},
        {"a single column", {{12, 1}, {4, 3}, {8, 0}}, "two columns"},
        {"more vertices than 16-bit indices reach", {{12, 65537}, {4, 65537 * 3}, {8, 6 * 65536 * 2}}, "vertex count"},
        {"an index past the last vertex", {{kIndices, 9}}, "index lies past"},
        {"a map size that is not a number", {{44, Bits(kNaN)}}, "map size"},
        // 3e38 took the grid arithmetic to infinity and the cast after it to undefined behaviour.
        {"a map size of 3e38", {{44, Bits(3e38f)}}, "map size"},
        {"a map size just above 4096", {{44, Bits(4097.0f)}}, "map size"},
        {"a height scale just above 2048", {{48, Bits(2049.0f)}}, "height scale"},
        {"an infinite water level", {{52, Bits(kInf)}}, "water level"},
        {"a ground vertex that is not a number", {{kGround + 36 * 4 + 4, Bits(kNaN)}}, "ground vertex"},
        {"a ground normal far longer than 1", {{kGround + 36 * 4 + 16, Bits(3e38f)}}, "ground vertex"},
        {"a tree past the map's border and margin", {{56, Bits(10.0f + 16.5f)}}, "list position"},
        {"a list count far larger than the file", {{20, 0xFFFFFFFFu}}, "tree count 4294967295"},
        {"a list count within its bound but longer than the file", {{20, kMapMaxTrees}}, "shorter"},
        {"image lengths whose total overflows 32 bits", {{36, 0x55555556u}, {40, 0x20000000u}}, "ground image length"},
        {"image lengths at their bounds but longer than the file",
         {{36, kMapMaxGroundImageBytes}, {40, kMapMaxWaterImageBytes}},
         "shorter"},
    };
    for (const Case& c : cases) {
        INFO(c.what);
        std::vector<std::uint8_t> bad = good;
        for (const auto& [offset, value] : c.words) {
            PutU32(bad, offset, value);
        }
        MapData out;
        std::string why;
        CHECK_FALSE(ParseMapFile(bad, out, &why));
        CHECK(why.find(c.fault) != std::string::npos);
        CHECK(out.ground.empty()); // untouched
    }
}
