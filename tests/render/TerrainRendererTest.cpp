#include "platform/ImageFile.h"
#include "platform/NullRenderDevice.h"
#include "render/TerrainRenderer.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

TEST_CASE("the terrain draws its ground, four skirts and animated water, and nothing without a map")
{
    testing::ManualClockScope clock;
    platform::NullRenderDevice device;
    TerrainRenderer terrain;
    Terrain map;

    SUBCASE("nothing is drawn before a map is uploaded")
    {
        terrain.Draw(device);
        terrain.DrawWater(device);
        CHECK(device.Calls().empty());
        terrain.Upload(device, map); // an empty terrain uploads nothing
        CHECK_FALSE(terrain.IsLoaded());
    }

    SUBCASE("a 2 x 2 grid is one indexed draw of two triangles and four strips of two")
    {
        REQUIRE(map.LoadFromData(MakeHeightFieldMap(400.0f, 2, testing::FlatGround, -5.0f)));
        terrain.Upload(device, map);
        device.ClearCalls();
        terrain.Draw(device);
        CHECK(device.CallsStartingWith("Draw") ==
              std::vector<std::string>{"DrawIndexedPrimitive TriangleList 0 0 4 0 2", "DrawPrimitive TriangleStrip 0 2",
                                       "DrawPrimitive TriangleStrip 4 2", "DrawPrimitive TriangleStrip 8 2",
                                       "DrawPrimitive TriangleStrip 12 2"});
        // The ground is drawn unlit and unblended; what follows finds no
        // shader, no stage 0 texture and the light on.
        CHECK(device.Calls()[4] == "SetRenderState Lighting 0");
        CHECK(device.GetState().pixelShader == nullptr);
        CHECK(device.GetState().textures[0] == nullptr);
        CHECK(device.GetState().IsOn(platform::RenderState::Lighting));
        CHECK(device.GetState().material.power == 30.0f);
    }

    SUBCASE("water frames step once per 0.08 s, up to 7 and back, never skipping, with or without water")
    {
        REQUIRE(map.LoadFromData(MakeHeightFieldMap(400.0f, 2, testing::FlatGround, 5.0f)));
        terrain.Upload(device, map);
        device.ClearCalls();
        terrain.DrawWater(device);
        CHECK(device.CallsStartingWith("Draw") == std::vector<std::string>{"DrawPrimitive TriangleList 0 2"});
        std::vector<int> frames;
        for (int call = 0; call < 16; ++call) {
            clock.Advance(0.05); // too soon: no step
            terrain.DrawWater(device);
            clock.Advance(0.5); // long past: still one step
            terrain.DrawWater(device);
            frames.push_back(terrain.GetWaterFrame());
        }
        CHECK(frames == std::vector<int>{1, 2, 3, 4, 5, 6, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2});
        CHECK(device.GetState().Get(platform::RenderState::SpecularMaterialSource) == platform::kSourceMaterial);
        CHECK_FALSE(device.GetState().IsOn(platform::RenderState::AlphaBlendEnable));
        terrain.Release();
        CHECK(terrain.GetWaterFrame() == 0);

        REQUIRE(map.LoadFromData(MakeHeightFieldMap(400.0f, 2, testing::FlatGround, -5.0f)));
        terrain.Upload(device, map);
        device.ClearCalls();
        clock.Advance(0.5);
        terrain.DrawWater(device);
        CHECK(device.CallsStartingWith("Draw").empty());
        CHECK(terrain.GetWaterFrame() == 1);
    }

    SUBCASE("a crater dug below the water brings water where the map had none")
    {
        REQUIRE(map.LoadFromData(MakeHeightFieldMap(400.0f, 33, testing::FlatGround, -2.0f)));
        terrain.Upload(device, map);
        terrain.Sync(device, map);
        device.ClearCalls();
        terrain.DrawWater(device);
        CHECK(device.CallsStartingWith("Draw").empty());
        // Off the tiles' corners, so one tile alone is wet.
        REQUIRE(map.Crater(10.0f, {-50.0f, 0.0f, 50.0f}));
        terrain.Sync(device, map);
        device.ClearCalls();
        terrain.DrawWater(device);
        CHECK(device.CallsStartingWith("Draw") == std::vector<std::string>{"DrawPrimitive TriangleList 0 2"});
    }
}

namespace {

constexpr int kAcrossWidth = 512;
constexpr int kAcrossHeight = 384;
constexpr std::uint32_t kMagenta = 0xFF00FFu;

// The ground seen from over the middle of one side of the map (0 to 3),
// high up and looking in across it, so that only ground fills the view,
// over a picture cleared to magenta, which no ground is.
platform::RgbImage ViewAcross(platform::RenderDevice& device, TerrainRenderer& renderer, int side)
{
    const Vec3 out =
        side % 2 == 0 ? Vec3{0.0f, 0.0f, side == 0 ? -1.0f : 1.0f} : Vec3{side == 1 ? -1.0f : 1.0f, 0.0f, 0.0f};
    device.Clear(0xFF000000u | kMagenta, 1.0f);
    device.SetTransform(platform::TransformKind::View,
                        MatrixLookAtLH(160.0f * out + Vec3{0.0f, 120.0f, 0.0f}, 40.0f * out, {0.0f, 1.0f, 0.0f}));
    device.SetTransform(platform::TransformKind::Projection,
                        MatrixPerspectiveFovLH(kPi / 4.0f, 4.0f / 3.0f, 2.0f, 800.0f));
    renderer.Draw(device);
    platform::RgbImage picture;
    REQUIRE(device.ReadPicture(picture));
    return picture;
}

int MagentaPixels(const platform::RgbImage& picture)
{
    int count = 0;
    for (int y = 0; y < kAcrossHeight; ++y) {
        for (int x = 0; x < kAcrossWidth; ++x) {
            count += testing::PixelAt(picture, x, y) == kMagenta ? 1 : 0;
        }
    }
    return count;
}

void Save(const platform::RgbImage& picture, const std::string& name)
{
    platform::WriteWholeFile(std::string(KV_TEST_OUTPUT_DIR) + "/" + name, platform::EncodePngRgb(picture));
}

} // namespace

TEST_CASE("seen across every map from high up, the ground shows no crack where its blocks change level")
{
    // A crack between two blocks shows the magenta the picture was cleared
    // to. Seen from every side, blocks change level both towards and away
    // from the camera; then shells dig the middle of the map, across block
    // borders. The first view of each map, before and after, is written next
    // to the tests (ground_far_<map>.png, ground_far_<map>_shelled.png).
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    testing::GlTestScreen screen = testing::OpenGlTestScreen(kAcrossWidth, kAcrossHeight);
    REQUIRE(screen.device);
    platform::RenderDevice& device = *screen.device;
    TerrainRenderer renderer;
    REQUIRE(renderer.LoadGroundShader(device));
    LightRecord sun;
    sun.diffuse = {1.0f, 1.0f, 0.8f, 1.0f};
    sun.direction = Vec3Normalize({2.0f, -2.0f, -3.0f});
    for (const std::string map : {"Grassland", "Desert", "Tundra", "Ex-Cathedra"}) {
        CAPTURE(map);
        Terrain terrain;
        REQUIRE(terrain.Load(map + ".kvm"));
        renderer.Upload(device, terrain);
        terrain.Relight(&sun, kGroundAmbient);
        renderer.Sync(device, terrain);
        for (int side = 0; side < 4; ++side) {
            CAPTURE(side);
            const platform::RgbImage picture = ViewAcross(device, renderer, side);
            if (side == 0) {
                Save(picture, "ground_far_" + map + ".png");
            }
            CHECK(MagentaPixels(picture) == 0);
        }
        for (int shell = 0; shell < 25; ++shell) {
            const float x = static_cast<float>(shell % 5) * 17.0f - 34.0f;
            const float z = static_cast<float>(shell / 5) * 17.0f - 34.0f;
            REQUIRE(terrain.Crater(shell % 2 == 0 ? 6.0f : 10.0f, {x, terrain.HeightAt(x, z), z}));
        }
        renderer.Sync(device, terrain);
        for (int side = 0; side < 4; ++side) {
            CAPTURE(side);
            const platform::RgbImage picture = ViewAcross(device, renderer, side);
            if (side == 0) {
                Save(picture, "ground_far_" + map + "_shelled.png");
            }
            CHECK(MagentaPixels(picture) == 0);
        }
    }
    renderer = TerrainRenderer();
}
