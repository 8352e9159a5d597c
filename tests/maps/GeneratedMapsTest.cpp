// The four maps the data generator writes, checked against what the rest of
// the game assumes of them: the map size, eight starts on gentle dry ground,
// the flags, scenery clear of both, lists on the drawn surface, the grid's
// own rules, and images the texture loader can take.
#include "render/MapFile.h"
#include "render/Terrain.h"
#include "render/TerrainGrid.h"

#include "platform/FileSystem.h"
#include "platform/Random.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <png.h>

#include <cmath>
#include <cstring>

namespace {

const char* const kMaps[] = {"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"};

std::vector<std::uint8_t> ReadMap(const std::string& name)
{
    std::vector<std::uint8_t> bytes;
    REQUIRE(platform::ReadDataFile("Maps/" + name, bytes));
    return bytes;
}

float Distance(const Vec3& a, const Vec3& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

// Every point of a disk round p is above water and no steeper than the limit.
void CheckDryAndGentle(const Terrain& terrain, const Vec3& p, float radius, float minNormalY)
{
    for (float d = 0.0f; d <= radius; d += radius / 4.0f) {
        for (int step = 0; step < 12; ++step) {
            const float a = step * kPi / 6.0f;
            const float x = p.x + d * std::cos(a);
            const float z = p.z + d * std::sin(a);
            Vec3 n;
            terrain.NormalAt(x, z, n);
            INFO("at " << x << ", " << z);
            CHECK(terrain.HeightAt(x, z) > terrain.GetWaterLevel() + 0.5f);
            CHECK(Vec3Normalize(n).y >= minNormalY);
        }
    }
}

void CheckOnSurface(const Terrain& terrain, const Vec3& p)
{
    CHECK(std::fabs(p.y - terrain.HeightAt(p.x, p.z)) < 1e-4f);
}

std::uint32_t LittleU32(const std::vector<std::uint8_t>& b, std::size_t offset)
{
    return b[offset] | (b[offset + 1] << 8) | (b[offset + 2] << 16) | (static_cast<std::uint32_t>(b[offset + 3]) << 24);
}

// An uncompressed 24-bit BMP with power-of-two sides whose own length field
// agrees with its bytes.
void CheckImage(const std::vector<std::uint8_t>& image)
{
    REQUIRE(image.size() > 54);
    CHECK(image[0] == 'B');
    CHECK(image[1] == 'M');
    CHECK(LittleU32(image, 2) == image.size());
    const std::uint32_t width = LittleU32(image, 18);
    const std::uint32_t height = LittleU32(image, 22);
    CHECK(width >= 64);
    CHECK((width & (width - 1)) == 0);
    CHECK(height == width);
    CHECK((LittleU32(image, 28) & 0xFFFF) == 24);
    CHECK(LittleU32(image, 30) == 0);
}

void CheckGrid(const Terrain& terrain)
{
    const std::uint32_t columns = terrain.GetColumns();
    const std::uint32_t rows = terrain.GetRows();
    CHECK(std::uint64_t{columns} * rows <= 65536);
    const std::vector<TerrainVertex>& ground = terrain.GetGroundVertices();
    const float size = terrain.GetMapSize();
    const float floor = -terrain.GetHeightScale() / 2.0f;
    float lowest = 1e9f;
    float highest = -1e9f;
    int underWater = 0;
    for (std::uint32_t r = 0; r < rows; ++r) {
        for (std::uint32_t c = 0; c < columns; ++c) {
            const Vec3 p = ground[r * columns + c].position;
            REQUIRE(std::fabs(p.x - (-size / 2 + c * size / (columns - 1))) < 1e-3f);
            REQUIRE(std::fabs(p.z - (size / 2 - r * size / (rows - 1))) < 1e-3f);
            lowest = std::min(lowest, p.y);
            highest = std::max(highest, p.y);
            underWater += p.y < terrain.GetWaterLevel() ? 1 : 0;
        }
    }
    CHECK(lowest > floor + 25.0f); // room for craters dug into craters
    CHECK(highest < -floor - 10.0f);
    CHECK(underWater > 100); // water lies in low ground

    std::vector<std::uint16_t> expected(terrain.GetIndices().size());
    for (std::uint32_t r = 0; r + 1 < rows; ++r) {
        for (std::uint32_t c = 0; c + 1 < columns; ++c) {
            terrain_grid::WriteCellIndices(std::span<std::uint16_t>(expected), std::span<const TerrainVertex>(ground),
                                           columns, c, r);
        }
    }
    CHECK(terrain.GetIndices() == expected);

    const std::vector<TerrainVertex>& edges = terrain.GetEdgeVertices();
    for (std::uint32_t c = 0; c < columns; ++c) {
        const TerrainVertex& top = edges[terrain_grid::EdgeTopOfFirstRow(c)];
        REQUIRE(top.position == ground[c].position);
        CHECK(top.v0 == doctest::Approx(terrain_grid::EdgeTopV(terrain.GetHeightScale(), top.position.y)));
        CHECK(edges[terrain_grid::EdgeTopOfLastRow(columns, c)].position == ground[(rows - 1) * columns + c].position);
    }
    for (std::uint32_t r = 0; r < rows; ++r) {
        CHECK(edges[terrain_grid::EdgeTopOfFirstColumn(columns, r)].position == ground[r * columns].position);
        CHECK(edges[terrain_grid::EdgeTopOfLastColumn(columns, rows, r)].position ==
              ground[r * columns + columns - 1].position);
    }
}

void CheckLists(const Terrain& terrain)
{
    const float half = terrain.GetMapSize() / 2.0f;
    REQUIRE(terrain.GetStartCount() == 8);
    for (std::uint32_t i = 0; i < 8; ++i) {
        const Vec3 s = terrain.GetStartPosition(i);
        INFO("start " << i);
        CheckOnSurface(terrain, s);
        const float fromCentre = std::hypot(s.x, s.z);
        CHECK(fromCentre >= 60.0f);
        CHECK(fromCentre <= 150.0f);
        CHECK(half - std::max(std::fabs(s.x), std::fabs(s.z)) >= 30.0f);
        CheckDryAndGentle(terrain, s, 20.0f, 0.94f);
    }

    const std::uint32_t flags = terrain.GetFlagCount();
    REQUIRE(flags >= 4);
    REQUIRE(flags <= 6);
    CHECK(std::fabs(terrain.GetFlagPosition(0).x) < 0.5f);
    CHECK(std::fabs(terrain.GetFlagPosition(0).z) < 0.5f);
    for (std::uint32_t i = 0; i < flags; ++i) {
        const Vec3 f = terrain.GetFlagPosition(i);
        INFO("flag " << i);
        CheckOnSurface(terrain, f);
        CheckDryAndGentle(terrain, f, 10.0f, 0.94f);
        for (std::uint32_t j = i + 1; j < flags; ++j) {
            CHECK(Distance(f, terrain.GetFlagPosition(j)) >= 50.0f);
        }
    }
    // Steal the Bacon puts its flag here on every map.
    CHECK(terrain.HeightAt(-5.0f, -5.0f) > terrain.GetWaterLevel() + 0.5f);

    const auto checkScenery = [&](std::uint32_t count, Vec3 (Terrain::*position)(std::uint32_t) const) {
        CHECK(count >= 10);
        CHECK(count <= 80);
        for (std::uint32_t i = 0; i < count; ++i) {
            const Vec3 p = (terrain.*position)(i);
            INFO("scenery at " << p.x << ", " << p.z);
            CheckOnSurface(terrain, p);
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

} // namespace

TEST_CASE("each generated map loads and keeps the promises the game relies on")
{
    testing::DataDirectoryScope data;
    for (const char* name : kMaps) {
        INFO("map " << name);
        Terrain terrain;
        REQUIRE(terrain.Load(name));
        CHECK(terrain.GetMapSize() == 400.0f);
        CheckGrid(terrain);
        CheckLists(terrain);
        for (const std::vector<std::uint8_t>& image : terrain.GetGroundImages()) {
            CheckImage(image);
        }
        for (const std::vector<std::uint8_t>& image : terrain.GetWaterImages()) {
            CheckImage(image);
        }
    }
}

TEST_CASE("the four maps differ in ground, water and pictures")
{
    testing::DataDirectoryScope data;
    std::vector<MapData> maps;
    for (const char* name : kMaps) {
        MapData map;
        REQUIRE(ParseMapFile(ReadMap(name), map));
        maps.push_back(std::move(map));
    }
    for (std::size_t i = 0; i < maps.size(); ++i) {
        for (std::size_t j = i + 1; j < maps.size(); ++j) {
            CHECK(maps[i].groundImages[0] != maps[j].groundImages[0]);
            CHECK(maps[i].groundImages[1] != maps[j].groundImages[1]);
            CHECK(maps[i].waterImages[0] != maps[j].waterImages[0]);
            CHECK(maps[i].ground[20000].position.y != maps[j].ground[20000].position.y);
        }
        // The water moves from frame to frame.
        CHECK(maps[i].waterImages[0] != maps[i].waterImages[1]);
    }
}

TEST_CASE("a generated map cut short or damaged is refused or loads soundly")
{
    testing::DataDirectoryScope data;
    const std::vector<std::uint8_t> good = ReadMap("Grassland.kvm");
    MapData map;
    REQUIRE(ParseMapFile(good, map));

    // Every section boundary, and one byte either side of it.
    const std::uint64_t lists = map.trees.size() + map.rocks.size() + map.starts.size() + map.flags.size();
    std::vector<std::uint64_t> boundaries{4, 56};
    boundaries.push_back(boundaries.back() + 12 * lists);
    boundaries.push_back(boundaries.back() + 36 * map.ground.size());
    boundaries.push_back(boundaries.back() + 2 * map.indices.size());
    boundaries.push_back(boundaries.back() + 32 * map.edges.size());
    boundaries.push_back(boundaries.back() + 128);
    boundaries.push_back(boundaries.back() + 3 * map.groundImages[0].size());
    boundaries.push_back(boundaries.back() + 8 * map.waterImages[0].size());
    REQUIRE(boundaries.back() == good.size());
    for (const std::uint64_t boundary : boundaries) {
        for (const std::uint64_t length : {boundary - 1, boundary, boundary + 1}) {
            if (length >= good.size()) {
                continue;
            }
            MapData out;
            CHECK_FALSE(ParseMapFile(std::span(good.data(), length), out));
        }
    }

    platform::SeedRand(31337);
    std::vector<std::uint8_t> bytes = good;
    for (int round = 0; round < 150; ++round) {
        const std::size_t at = round % 3 == 0 ? static_cast<std::size_t>(platform::Rand()) * 131 % good.size()
                                              : static_cast<std::size_t>(platform::Rand()) % 56;
        const std::uint8_t was = bytes[at];
        bytes[at] = static_cast<std::uint8_t>(platform::Rand());
        MapData out;
        if (ParseMapFile(bytes, out)) {
            Terrain terrain;
            REQUIRE(terrain.LoadFromData(std::move(out)));
            (void)terrain.HeightAt(12.0f, -7.0f);
        }
        bytes[at] = was;
    }
}

TEST_CASE("the blob shadow is black and fades from the middle to nothing at the rim")
{
    testing::DataDirectoryScope data;
    std::vector<std::uint8_t> bytes;
    REQUIRE(platform::ReadDataFile("Maps/shadow.png", bytes));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    REQUIRE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()));
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
    REQUIRE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr));
    const int size = static_cast<int>(image.width);
    REQUIRE(size == static_cast<int>(image.height));
    const auto alpha = [&](int x, int y) { return rgba[(y * size + x) * 4 + 3]; };
    CHECK(alpha(size / 2, size / 2) == doctest::Approx(0.6 * 255).epsilon(0.05));
    CHECK(alpha(0, 0) == 0);
    CHECK(alpha(0, size / 2) < 10);
    CHECK(rgba[(size / 2 * size + size / 2) * 4] == 0);
}
