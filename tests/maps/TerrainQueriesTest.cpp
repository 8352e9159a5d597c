// The terrain's queries: height checked against the drawn triangles on their
// own, the blended normal, the largest map's corners, and picking that misses.
#include "world/Terrain.h"

#include "platform/Random.h"
#include "world/MapFile.h"

#include "TestMaps.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <array>
#include <cmath>
#include <limits>

using testing::LoadedTerrain;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

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

TEST_CASE("a cell splits along the diagonal whose ends differ least, and height lies on the drawn triangles")
{
    // Corner heights a = (-x, +z), b = (+x, +z), d = (-x, -z), e = (+x, -z).
    const std::vector<std::uint16_t> alongBD{0, 1, 2, 1, 3, 2};
    const std::vector<std::uint16_t> alongAE{0, 3, 2, 0, 1, 3};
    const std::pair<std::array<float, 4>, const std::vector<std::uint16_t>&> cases[] = {
        {{0, 0, 0, 1}, alongBD}, {{0, 1, 0, 0}, alongAE}, {{1, 0, 0, 0}, alongBD}, {{1, 0, 1, 0}, alongAE}};
    for (const auto& [h, indices] : cases) {
        INFO(h[0] << ' ' << h[1] << ' ' << h[2] << ' ' << h[3]);
        const Terrain terrain = LoadedTerrain(testing::SmallMap(
            2, 2, 16.0f, [&](float x, float z) { return h[(z > 0.0f ? 0 : 2) + (x < 0.0f ? 0 : 1)]; }));
        CHECK(terrain.GetIndices() == indices);
        CHECK(terrain.HeightAt(0.0f, 0.0f) == doctest::Approx((indices == alongAE ? h[0] + h[3] : h[1] + h[2]) / 2));
    }

    // Height lies on the drawn triangles up to the border, and is 0 outside or for NaN.
    const Terrain terrain = LoadedTerrain(testing::SmallMap(9, 7, 80.0f, [](float x, float z) {
        return 4.0f * std::sin(0.31f * x) * std::cos(0.17f * z) + 0.05f * x * z / 8.0f;
    }));
    platform::SeedRand(99);
    for (int i = 0; i < 2000; ++i) {
        const float x = -40.0f + 80.0f * platform::Rand() / platform::kRandMax;
        const float z = -40.0f + 80.0f * platform::Rand() / platform::kRandMax;
        float expected = 0.0f;
        REQUIRE(testing::DrawnHeightAt(terrain, x, z, expected));
        INFO("at " << x << ", " << z);
        CHECK(terrain.HeightAt(x, z) == doctest::Approx(expected).epsilon(1e-4));
    }
    const std::vector<TerrainVertex>& v = terrain.GetGroundVertices();
    CHECK(terrain.HeightAt(40.0f, 40.0f) == doctest::Approx(v[8].position.y)); // last column, first row
    CHECK(terrain.HeightAt(40.0f, -40.0f) == doctest::Approx(v[62].position.y));
    CHECK(terrain.HeightAt(-40.0f, -40.0f) == doctest::Approx(v[54].position.y));
    for (const auto& [x, z] : {std::pair{40.01f, 0.0f}, {0.0f, -40.01f}, {kNaN, 0.0f}, {0.0f, kNaN}}) {
        CHECK(terrain.HeightAt(x, z) == 0.0f);
    }
    CHECK(terrain.HeightAt(std::numeric_limits<float>::infinity(), 0.0f) == 0.0f);
}

TEST_CASE("the normal blends the vertex normals of the half-cell-shifted cell, and is left alone outside")
{
    MapData map = testing::FlatMap(3, 3, 20.0f, 0.0f);
    for (std::uint32_t i = 0; i < 9; ++i) {
        // (column / 2, 1, row / 2)
        map.ground[i].normal = {0.5f * static_cast<float>(i % 3), 1.0f, 0.5f * static_cast<float>(i / 3)};
    }
    const Terrain terrain = LoadedTerrain(map);
    Vec3 n;
    terrain.NormalAt(0.0f, 0.0f, n); // vertex (1, 1): the mean of (0, 0), (1, 0), (0, 1), (1, 1)
    CHECK(Vec3Length(n - Vec3{0.25f, 1.0f, 0.25f}) < 1e-5f);
    terrain.NormalAt(-10.0f, 10.0f, n); // the -x, +z corner reaches half a cell past vertex (0, 0)
    CHECK(Vec3Length(n - Vec3{-0.25f, 1.0f, -0.25f}) < 1e-5f);
    terrain.NormalAt(10.0f, -10.0f, n); // the far corner: the last cell's four, equally
    CHECK(Vec3Length(n - Vec3{0.75f, 1.0f, 0.75f}) < 1e-5f);

    const Vec3 untouched{7.0f, 8.0f, 9.0f};
    n = untouched;
    terrain.NormalAt(10.5f, 0.0f, n);
    terrain.NormalAt(kNaN, 0.0f, n);
    Terrain().NormalAt(0.0f, 0.0f, n);
    CHECK(n == untouched);
}

TEST_CASE("the largest map the validator takes answers finite heights and normals up to its corners")
{
    const float half = kMapMaxSize / 2.0f;
    MapData map = MakeHeightFieldMap(
        kMapMaxSize, 256, [](float x, float z) { return 900.0f * std::sin(x / 300.0f) * std::cos(z / 200.0f); },
        -kMapMaxHeight);
    map.heightScale = kMapMaxHeightScale;
    const Terrain terrain = LoadedTerrain(std::move(map));
    for (const float x : {-half, -half + 0.01f, -1.0f, 0.0f, half - 0.01f, std::nextafter(half, 0.0f), half}) {
        for (const float z : {-half, std::nextafter(-half, 0.0f), 0.0f, 17.3f, half}) {
            CAPTURE(x);
            CAPTURE(z);
            CHECK(std::isfinite(terrain.HeightAt(x, z)));
            Vec3 n{kNaN, kNaN, kNaN};
            terrain.NormalAt(x, z, n);
            CHECK(Vec3IsFinite(n));
        }
    }
}

TEST_CASE("picking ends, and leaves out alone, where there is no ground point")
{
    const Terrain terrain = LoadedTerrain(testing::FlatMap(5, 5, 400.0f, 0.0f));
    const Vec3 untouched{1.0f, 2.0f, 3.0f};
    Vec3 out = untouched;
    PickView broken = Camera({0.0f, 50.0f, -50.0f}, {0.0f, 0.0f, 0.0f});
    broken.projection = Matrix{}; // cannot be inverted
    const std::pair<PickView, float> misses[] = {
        {Camera({0.0f, 10.0f, -150.0f}, {0.0f, 10.0f, 0.0f}), 384.0f},  // a level ray
        {Camera({0.0f, 10.0f, -150.0f}, {0.0f, 10.0f, 0.0f}), 0.0f},    // a rising ray
        {Camera({0.0f, -40.0f, -10.0f}, {0.0f, -60.0f, 0.0f}), 384.0f}, // an eye below the height range
        {broken, 384.0f}};
    for (const auto& [view, y] : misses) {
        CHECK_FALSE(terrain.ScreenToTerrain(view, 512.0f, y, out));
    }
    CHECK_FALSE(Terrain().ScreenToTerrain(Camera({0.0f, 50.0f, -50.0f}, {}), 512.0f, 384.0f, out));
    CHECK(out == untouched);

    // Far from the origin, where halving stops shrinking the segment.
    const PickView far = Camera({1.0e7f, 50.0f, 1.0e7f}, {1.0e7f + 30.0f, 0.0f, 1.0e7f + 30.0f});
    if (terrain.ScreenToTerrain(far, 512.0f, 384.0f, out)) {
        CHECK(Vec3IsFinite(out));
    }
}
