// The minimap's picture on the real GL (offscreen): a map lit bright only in
// its -x, +z quarter, drawn through the terrain renderer's sync, then the
// picture laid on the screen and read back: row 0 must be +z and column 0
// -x.
#include "render/TerrainRenderer.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cstring>

namespace {

constexpr int kPicture = 128;

// The picture of the minimap drawn over the whole screen, read back.
platform::RgbImage ShowMinimap(platform::RenderDevice& device, platform::Texture* minimap)
{
    using platform::RenderState;
    const float side = static_cast<float>(kPicture);
    const platform::ScreenTexVertex quad[4] = {{0.0f, 0.0f, 0.5f, 1.0f, 0xFFFFFFFFu, 0.0f, 0.0f},
                                               {side, 0.0f, 0.5f, 1.0f, 0xFFFFFFFFu, 1.0f, 0.0f},
                                               {side, side, 0.5f, 1.0f, 0xFFFFFFFFu, 1.0f, 1.0f},
                                               {0.0f, side, 0.5f, 1.0f, 0xFFFFFFFFu, 0.0f, 1.0f}};
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
