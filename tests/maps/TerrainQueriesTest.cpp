#include "render/Terrain.h"

#include "platform/Random.h"

#include "TestMaps.h"

#include <doctest/doctest.h>

#include <cmath>
#include <limits>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

Terrain LoadedTerrain(MapData map)
{
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(std::move(map)));
    return terrain;
}

// The 2 x 2 map (one cell) with corner heights a = (-x, +z), b = (+x, +z),
// d = (-x, -z), e = (+x, -z).
Terrain OneCell(float a, float b, float d, float e)
{
    return LoadedTerrain(testing::SmallMap(2, 2, 2.0f, [=](float x, float z) {
        if (z > 0.0f) {
            return x < 0.0f ? a : b;
        }
        return x < 0.0f ? d : e;
    }));
}

// Height on whichever indexed triangle of the cell holds (x, z).
bool IndexedHeight(const Terrain& terrain, float x, float z, float& height)
{
    const std::vector<TerrainVertex>& v = terrain.GetGroundVertices();
    const std::vector<std::uint16_t>& indices = terrain.GetIndices();
    for (std::size_t t = 0; t < indices.size(); t += 3) {
        const Vec3 p0 = v[indices[t]].position;
        const Vec3 p1 = v[indices[t + 1]].position;
        const Vec3 p2 = v[indices[t + 2]].position;
        const float det = (p1.x - p0.x) * (p2.z - p0.z) - (p2.x - p0.x) * (p1.z - p0.z);
        const float s = ((x - p0.x) * (p2.z - p0.z) - (p2.x - p0.x) * (z - p0.z)) / det;
        const float u = ((p1.x - p0.x) * (z - p0.z) - (x - p0.x) * (p1.z - p0.z)) / det;
        if (s >= -1e-5f && u >= -1e-5f && s + u <= 1.0f + 1e-5f) {
            height = p0.y + s * (p1.y - p0.y) + u * (p2.y - p0.y);
            return true;
        }
    }
    return false;
}

PickView Camera(const Vec3& eye, const Vec3& at)
{
    PickView view;
    view.eye = eye;
    view.view = MatrixLookAtLH(eye, at, {0.0f, 1.0f, 0.0f});
    view.projection = MatrixPerspectiveFovLH(kPi / 4.0f, 1024.0f / 768.0f, 1.0f, 1000.0f);
    view.screenWidth = 1024.0f;
    view.screenHeight = 768.0f;
    return view;
}

} // namespace

TEST_CASE("height on a flat map is its level inside and on the border, 0 outside")
{
    const Terrain terrain = LoadedTerrain(testing::FlatMap(5, 5, 100.0f, 2.5f));
    CHECK(terrain.HeightAt(0.0f, 0.0f) == 2.5f);
    CHECK(terrain.HeightAt(-13.7f, 31.1f) == doctest::Approx(2.5f));
    CHECK(terrain.HeightAt(50.0f, -50.0f) == doctest::Approx(2.5f));
    CHECK(terrain.HeightAt(-50.0f, 50.0f) == doctest::Approx(2.5f));
    CHECK(terrain.HeightAt(50.01f, 0.0f) == 0.0f);
    CHECK(terrain.HeightAt(0.0f, -50.01f) == 0.0f);
    CHECK(terrain.HeightAt(kNaN, 0.0f) == 0.0f);
    CHECK(terrain.HeightAt(0.0f, kNaN) == 0.0f);
    CHECK(terrain.HeightAt(std::numeric_limits<float>::infinity(), 0.0f) == 0.0f);
}

TEST_CASE("on the last column and row the height is the border vertex's")
{
    const MapData map =
        testing::SmallMap(4, 3, 30.0f, [](float x, float z) { return std::sin(x) * 3.0f + z * z * 0.01f; });
    const Terrain terrain = LoadedTerrain(map);
    const std::vector<TerrainVertex>& v = terrain.GetGroundVertices();
    CHECK(terrain.HeightAt(15.0f, 15.0f) == doctest::Approx(v[3].position.y));   // (last column, row 0)
    CHECK(terrain.HeightAt(15.0f, -15.0f) == doctest::Approx(v[11].position.y)); // the far corner
    CHECK(terrain.HeightAt(-15.0f, -15.0f) == doctest::Approx(v[8].position.y)); // (column 0, last row)
    CHECK(terrain.HeightAt(15.0f, 0.0f) == doctest::Approx(v[7].position.y));    // (last column, row 1)
}

TEST_CASE("a cell splits along the diagonal whose ends differ least")
{
    SUBCASE("corners 0, 0, 0 and 1 split along b-d; the centre lies at 0")
    {
        const Terrain terrain = OneCell(0.0f, 0.0f, 0.0f, 1.0f);
        CHECK(terrain.HeightAt(0.0f, 0.0f) == doctest::Approx(0.0f));
        CHECK(terrain.HeightAt(0.5f, -0.5f) == doctest::Approx(0.5f));
        CHECK(terrain.GetIndices() == std::vector<std::uint16_t>{0, 1, 2, 1, 3, 2});
    }
    SUBCASE("a raised b splits along a-e; the centre lies at 0")
    {
        const Terrain terrain = OneCell(0.0f, 1.0f, 0.0f, 0.0f);
        CHECK(terrain.HeightAt(0.0f, 0.0f) == doctest::Approx(0.0f));
        CHECK(terrain.HeightAt(0.5f, 0.5f) == doctest::Approx(0.5f));
        CHECK(terrain.GetIndices() == std::vector<std::uint16_t>{0, 3, 2, 0, 1, 3});
    }
    SUBCASE("a raised a splits along b-d, and a tie goes to a-e")
    {
        const Terrain terrain = OneCell(1.0f, 0.0f, 0.0f, 0.0f);
        CHECK(terrain.GetIndices() == std::vector<std::uint16_t>{0, 1, 2, 1, 3, 2});
        const Terrain tie = OneCell(1.0f, 0.0f, 1.0f, 0.0f);
        CHECK(tie.GetIndices() == std::vector<std::uint16_t>{0, 3, 2, 0, 1, 3});
    }
}

TEST_CASE("height lies on the triangles the index list draws")
{
    const Terrain terrain = LoadedTerrain(testing::SmallMap(9, 7, 80.0f, [](float x, float z) {
        return 4.0f * std::sin(0.31f * x) * std::cos(0.17f * z) + 0.05f * x * z / 8.0f;
    }));
    platform::SeedRand(99);
    for (int i = 0; i < 2000; ++i) {
        const float x = -40.0f + 80.0f * platform::Rand() / platform::kRandMax;
        const float z = -40.0f + 80.0f * platform::Rand() / platform::kRandMax;
        float expected = 0.0f;
        REQUIRE(IndexedHeight(terrain, x, z, expected));
        INFO("at " << x << ", " << z);
        CHECK(terrain.HeightAt(x, z) == doctest::Approx(expected).epsilon(1e-4));
    }
}

TEST_CASE("the normal blends the vertex normals of the half-cell-shifted cell")
{
    SUBCASE("flat ground faces straight up")
    {
        const Terrain terrain = LoadedTerrain(testing::FlatMap(5, 5, 100.0f, 0.0f));
        Vec3 n;
        terrain.NormalAt(3.0f, -7.0f, n);
        CHECK(n.x == doctest::Approx(0.0f));
        CHECK(n.y == doctest::Approx(1.0f));
        CHECK(n.z == doctest::Approx(0.0f));
    }
    SUBCASE("differing normals")
    {
        MapData map = testing::FlatMap(3, 3, 20.0f, 0.0f);
        for (std::uint32_t r = 0; r < 3; ++r) {
            for (std::uint32_t c = 0; c < 3; ++c) {
                map.ground[r * 3 + c].normal = {static_cast<float>(c), 1.0f, static_cast<float>(r)};
            }
        }
        const Terrain terrain = LoadedTerrain(map);
        Vec3 n;
        terrain.NormalAt(0.0f, 0.0f, n); // vertex (1, 1): the mean of (0, 0), (1, 0), (0, 1), (1, 1)
        CHECK(n.x == doctest::Approx(0.5f));
        CHECK(n.y == doctest::Approx(1.0f));
        CHECK(n.z == doctest::Approx(0.5f));
        terrain.NormalAt(-10.0f, 10.0f, n); // the -x, +z corner reaches half a cell past vertex (0, 0)
        CHECK(n.x == doctest::Approx(-0.5f));
        CHECK(n.y == doctest::Approx(1.0f));
        CHECK(n.z == doctest::Approx(-0.5f));
        terrain.NormalAt(10.0f, -10.0f, n); // the far corner: the last cell's four, equally
        CHECK(n.x == doctest::Approx(1.5f));
        CHECK(n.z == doctest::Approx(1.5f));
    }
    SUBCASE("outside the map the normal is left alone")
    {
        const Terrain terrain = LoadedTerrain(testing::FlatMap(3, 3, 20.0f, 0.0f));
        Vec3 n{7.0f, 8.0f, 9.0f};
        terrain.NormalAt(10.5f, 0.0f, n);
        terrain.NormalAt(kNaN, 0.0f, n);
        CHECK(n == Vec3{7.0f, 8.0f, 9.0f});
    }
}

TEST_CASE("picking finds the ground under a pixel")
{
    SUBCASE("flat ground: the crossing with its plane")
    {
        const float level = 1.5f;
        const Terrain terrain = LoadedTerrain(testing::FlatMap(9, 9, 400.0f, level));
        const PickView view = Camera({20.0f, 80.0f, -100.0f}, {0.0f, 0.0f, 0.0f});
        for (const Vec2 pixel : {Vec2{512.0f, 384.0f}, Vec2{700.0f, 500.0f}, Vec2{10.0f, 760.0f}}) {
            Matrix inverse;
            REQUIRE(MatrixInverse(view.view * view.projection, inverse));
            const Vec3 nearPoint =
                Vec3TransformCoord({(pixel.x - 512.0f) / 512.0f, -(pixel.y - 384.0f) / 384.0f, 0.0f}, inverse);
            const float t = (level - view.eye.y) / (nearPoint.y - view.eye.y);
            const Vec3 crossing = view.eye + (nearPoint - view.eye) * t;
            Vec3 out;
            REQUIRE(terrain.ScreenToTerrain(view, pixel.x, pixel.y, out));
            CHECK(out.y == level);
            CHECK(std::fabs(out.x - crossing.x) <= 0.1f);
            CHECK(std::fabs(out.z - crossing.z) <= 0.2f);
        }
    }
    SUBCASE("a ground point projected to the screen picks back to itself")
    {
        const Terrain terrain = LoadedTerrain(testing::SmallMap(
            33, 33, 400.0f, [](float x, float z) { return 6.0f * std::sin(x / 40.0f) + 4.0f * std::cos(z / 30.0f); }));
        const PickView view = Camera({-30.0f, 90.0f, -60.0f}, {10.0f, 0.0f, 20.0f});
        const Viewport viewport{0.0f, 0.0f, 1024.0f, 768.0f, 0.0f, 1.0f};
        for (const Vec2 place : {Vec2{10.0f, 20.0f}, Vec2{-25.0f, 41.0f}, Vec2{30.0f, 5.0f}}) {
            const Vec3 ground{place.x, terrain.HeightAt(place.x, place.y), place.y};
            const Vec3 screen = Vec3Project(ground, viewport, view.projection, view.view, Matrix::Identity());
            Vec3 out;
            REQUIRE(terrain.ScreenToTerrain(view, screen.x, screen.y, out));
            CHECK(std::fabs(out.x - ground.x) < 0.25f);
            CHECK(std::fabs(out.z - ground.z) < 0.25f);
            CHECK(std::fabs(out.y - ground.y) < 0.2f);
        }
    }
}

TEST_CASE("picking ends, and leaves out alone, where there is no ground point")
{
    const Terrain terrain = LoadedTerrain(testing::FlatMap(5, 5, 400.0f, 0.0f));
    const Vec3 untouched{1.0f, 2.0f, 3.0f};
    Vec3 out = untouched;

    SUBCASE("a level ray and a rising ray never come down")
    {
        const PickView level = Camera({0.0f, 10.0f, -150.0f}, {0.0f, 10.0f, 0.0f});
        CHECK_FALSE(terrain.ScreenToTerrain(level, 512.0f, 384.0f, out));
        CHECK_FALSE(terrain.ScreenToTerrain(level, 512.0f, 0.0f, out));
    }
    SUBCASE("an eye below the floor of the height range")
    {
        const PickView under = Camera({0.0f, -40.0f, -10.0f}, {0.0f, -60.0f, 0.0f});
        CHECK_FALSE(terrain.ScreenToTerrain(under, 512.0f, 384.0f, out));
    }
    SUBCASE("a camera that cannot be inverted")
    {
        PickView broken = Camera({0.0f, 50.0f, -50.0f}, {0.0f, 0.0f, 0.0f});
        broken.projection = Matrix{};
        CHECK_FALSE(terrain.ScreenToTerrain(broken, 512.0f, 384.0f, out));
    }
    SUBCASE("no map")
    {
        const Terrain empty;
        CHECK_FALSE(empty.ScreenToTerrain(Camera({0.0f, 50.0f, -50.0f}, {}), 512.0f, 384.0f, out));
    }
    CHECK(out == untouched);

    SUBCASE("far from the origin, where halving stops shrinking the segment")
    {
        const PickView far = Camera({1.0e7f, 50.0f, 1.0e7f}, {1.0e7f + 30.0f, 0.0f, 1.0e7f + 30.0f});
        if (terrain.ScreenToTerrain(far, 512.0f, 384.0f, out)) {
            CHECK(Vec3IsFinite(out));
        }
    }
}

TEST_CASE("an empty terrain answers 0 and writes nothing")
{
    const Terrain terrain;
    CHECK(terrain.HeightAt(0.0f, 0.0f) == 0.0f);
    Vec3 n{4.0f, 5.0f, 6.0f};
    terrain.NormalAt(0.0f, 0.0f, n);
    CHECK(n == Vec3{4.0f, 5.0f, 6.0f});
    CHECK(terrain.GetMapSize() == 0.0f);
    CHECK(terrain.GetWaterLevel() == 0.0f);
    CHECK(terrain.GetTreeCount() == 0);
    CHECK(terrain.GetStartPosition(0) == Vec3{});
}

TEST_CASE("a list index past the count gives the origin")
{
    const Terrain terrain = LoadedTerrain(testing::FlatMap(3, 3, 20.0f, 0.0f));
    REQUIRE(terrain.GetFlagCount() == 1);
    CHECK(terrain.GetFlagPosition(1) == Vec3{});
    CHECK(terrain.GetRockPosition(0) == Vec3{});
    CHECK(terrain.GetStartPosition(8) == Vec3{});
}
