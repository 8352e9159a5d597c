// The minimap's picture on the real GL (offscreen): a map lit bright only in
// its -x, +z quarter, drawn through the terrain renderer's sync, then the
// picture laid on the screen and read back: row 0 must be +z and column 0
// -x. Then ridges one grid line wide, which show only if every grid line is
// drawn; that picture and the shipped maps' are written next to the tests
// (minimap_ridges.png, minimap_<map>.png).
#include "platform/ImageFile.h"
#include "render/Minimap.h"
#include "render/TerrainRenderer.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr int kPicture = 128;

platform::RgbImage ShowMinimapAt(platform::RenderDevice& device, platform::Texture* minimap, float corner, float side);

// The picture of the minimap drawn over the whole screen, read back.
platform::RgbImage ShowMinimap(platform::RenderDevice& device, platform::Texture* minimap)
{
    return ShowMinimapAt(device, minimap, 0.0f, static_cast<float>(kPicture));
}

// The quad from corner to corner + side on both axes. Pixel centres lie on
// whole screen coordinates, so a quad from -0.5 with a side of the
// picture's shows each texel whole in one pixel.
platform::RgbImage ShowMinimapAt(platform::RenderDevice& device, platform::Texture* minimap, float corner, float side)
{
    using platform::RenderState;
    const float a = corner;
    const float b = corner + side;
    const platform::ScreenTexVertex quad[4] = {{a, a, 0.5f, 1.0f, 0xFFFFFFFFu, 0.0f, 0.0f},
                                               {b, a, 0.5f, 1.0f, 0xFFFFFFFFu, 1.0f, 0.0f},
                                               {b, b, 0.5f, 1.0f, 0xFFFFFFFFu, 1.0f, 1.0f},
                                               {a, b, 0.5f, 1.0f, 0xFFFFFFFFu, 0.0f, 1.0f}};
    std::unique_ptr<platform::VertexBuffer> buffer = device.CreateVertexBuffer(sizeof quad);
    std::memcpy(buffer->Lock().data(), quad, sizeof quad);
    buffer->Unlock();
    device.Clear(0xFF0000FFu, 1.0f);
    device.SetRenderState(RenderState::ZEnable, 0);
    device.SetRenderState(RenderState::Lighting, 0);
    device.SetVertexFormat(platform::kScreenTexVertexFormat);
    device.SetStreamSource(buffer.get(), sizeof(platform::ScreenTexVertex));
    device.SetTexture(0, minimap);
    device.DrawPrimitive(platform::Primitive::TriangleFan, 0, 2);
    device.SetTexture(0, nullptr);
    device.Present();
    platform::RgbImage picture;
    REQUIRE(device.ReadPicture(picture));
    return picture;
}

} // namespace

TEST_CASE("the minimap shows +x to the right and +z up")
{
    testing::ManualClockScope clock;
    testing::GlTestScreen screen = testing::OpenGlTestScreen(kPicture, kPicture);
    REQUIRE(screen.device);
    platform::RenderDevice* const device = screen.device.get();
    // Dry land in the -x, +z quarter; elsewhere deep under water, where the
    // light fades to 0.15.
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(
        400.0f, 33, [](float x, float z) { return x < -10.0f && z > 10.0f ? 1.0f : -20.0f; }, 0.0f)));
    TerrainRenderer renderer;
    renderer.Upload(*device, terrain);
    LightRecord sun;
    sun.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    sun.direction = {0.0f, -1.0f, 0.0f};

    terrain.Relight(&sun, 0xFF000000u);
    renderer.Sync(*device, terrain);
    REQUIRE(renderer.GetMinimapTexture() != nullptr);
    const platform::RgbImage picture = ShowMinimap(*device, renderer.GetMinimapTexture());
    CHECK(testing::PixelAt(picture, 8, 8) == 0xFFFFFFu);
    const std::uint32_t dim = 0x262626u; // 0.15 of white
    CHECK(testing::PixelAt(picture, kPicture - 8, 8) == dim);
    CHECK(testing::PixelAt(picture, 8, kPicture - 8) == dim);
    CHECK(testing::PixelAt(picture, kPicture - 8, kPicture - 8) == dim);

    renderer = TerrainRenderer();
}

namespace {

// Each channel of the pixel within tolerance of the colour's (0xRRGGBB).
bool NearColour(std::uint32_t pixel, std::uint32_t colour, int tolerance)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int have = static_cast<int>((pixel >> shift) & 0xFFu);
        const int want = static_cast<int>((colour >> shift) & 0xFFu);
        if (std::abs(have - want) > tolerance) {
            return false;
        }
    }
    return true;
}

void SavePicture(const platform::RgbImage& picture, const std::string& name)
{
    platform::WriteWholeFile(std::string(KV_TEST_OUTPUT_DIR) + "/" + name, platform::EncodePngRgb(picture));
}

} // namespace

TEST_CASE("the minimap is drawn from every grid line, so a ridge one line wide shows")
{
    // The shipped maps' grid: 255 cells across 400 units, 256 texels. Column
    // 129 and row 129 stand dry and lit; every other point lies deep under
    // water, at the flat 0.15. Drawn from every other grid line, the ridges
    // would not show at all. Vertex 129 falls on texel 129's middle in both
    // directions (129 x 256 / 255 = 129.506), so the texel shows the
    // vertex's own light.
    constexpr int kSide = Minimap::kSize;
    constexpr std::uint32_t kGrid = 256;
    constexpr float kMapSize = 400.0f;
    constexpr float kCell = kMapSize / static_cast<float>(kGrid - 1);
    const float ridgeX = -kMapSize / 2.0f + 129.0f * kCell;
    const float ridgeZ = kMapSize / 2.0f - 129.0f * kCell;
    testing::ManualClockScope clock;
    testing::GlTestScreen screen = testing::OpenGlTestScreen(kSide, kSide);
    REQUIRE(screen.device);
    platform::RenderDevice& device = *screen.device;
    TerrainRenderer renderer;
    LightRecord sun;
    sun.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    sun.direction = {0.0f, -1.0f, 0.0f};
    {
        Terrain terrain;
        REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(
            kMapSize, kGrid,
            [&](float x, float z) {
                const bool onRidge = std::fabs(x - ridgeX) < kCell / 4.0f || std::fabs(z - ridgeZ) < kCell / 4.0f;
                return onRidge ? 1.0f : -20.0f;
            },
            0.0f)));
        renderer.Upload(device, terrain);
        terrain.Relight(&sun, 0xFF000000u);
        renderer.Sync(device, terrain);
        REQUIRE(renderer.GetMinimapTexture() != nullptr);
        const platform::RgbImage picture =
            ShowMinimapAt(device, renderer.GetMinimapTexture(), -0.5f, static_cast<float>(kSide));
        SavePicture(picture, "minimap_ridges.png");
        const auto light = [&terrain](std::uint32_t column, std::uint32_t row) {
            return terrain.GetGroundVertices()[row * kGrid + column].diffuse & 0xFFFFFFu;
        };
        constexpr std::uint32_t kDim = 0x262626u; // 0.15 of white
        for (const int along : {20, 60, 200, 240}) {
            CAPTURE(along);
            const auto at = static_cast<std::uint32_t>(along);
            REQUIRE((light(129, at) & 0xFFu) > 0x60u); // the ridge stands out from the water
            CHECK(NearColour(testing::PixelAt(picture, 129, along), light(129, at), 6));
            CHECK(NearColour(testing::PixelAt(picture, along, 129), light(at, 129), 6));
            // One grid line wide: the texels on the neighbouring lines are dim.
            CHECK(NearColour(testing::PixelAt(picture, 127, along), kDim, 4));
            CHECK(NearColour(testing::PixelAt(picture, 131, along), kDim, 4));
            CHECK(NearColour(testing::PixelAt(picture, along, 127), kDim, 4));
            CHECK(NearColour(testing::PixelAt(picture, along, 131), kDim, 4));
        }
    }

    // The shipped maps as the HUD shows them, for the eye.
    testing::DataDirectoryScope data;
    REQUIRE(renderer.LoadGroundShader(device));
    LightRecord gameSun;
    gameSun.diffuse = {1.0f, 1.0f, 0.8f, 1.0f};
    gameSun.direction = Vec3Normalize({2.0f, -2.0f, -3.0f});
    for (const std::string map : {"Grassland", "Desert", "Tundra", "Ex-Cathedra"}) {
        CAPTURE(map);
        Terrain terrain;
        REQUIRE(terrain.Load(map + ".kvm"));
        renderer.Upload(device, terrain);
        terrain.Relight(&gameSun, kGroundAmbient);
        renderer.Sync(device, terrain);
        REQUIRE(renderer.GetMinimapTexture() != nullptr);
        SavePicture(ShowMinimapAt(device, renderer.GetMinimapTexture(), -0.5f, static_cast<float>(kSide)),
                    "minimap_" + map + ".png");
    }
    renderer = TerrainRenderer();
}
