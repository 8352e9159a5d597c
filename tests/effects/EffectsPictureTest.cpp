// Particles on an offscreen GL picture: a sprite is 768 x size / distance
// pixels across at a 768-pixel height (here scaled to the picture's) and adds
// its colour to what is there. The picture is written
// next to the tests in the build folder (effects_sprites.png) to look at.
#include "platform/ImageFile.h"
#include "render/ParticleSystem.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 192;

void Save(const platform::RgbImage& image, const char* name)
{
    platform::WriteWholeFile(std::string(KV_TEST_OUTPUT_DIR) + "/" + name, platform::EncodePngRgb(image));
}

void LookAt(platform::RenderDevice& device, const Vec3& eye, const Vec3& up)
{
    device.SetTransform(platform::TransformKind::View, MatrixLookAtLH(eye, {}, up));
    device.SetTransform(platform::TransformKind::Projection,
                        MatrixPerspectiveFovLH(kPi / 4.0f, static_cast<float>(kWidth) / kHeight, 1.0f, 800.0f));
}

// One still white particle of the given size at the origin, drawn with no
// texture: a plain square, seen from 10 units.
platform::RgbImage DrawSprite(platform::RenderDevice& device, float size)
{
    ParticleParams params;
    params.size = size;
    params.lifeMin = 10.0f;
    params.startColour = 0xFFFFFFFFu;
    params.endColour = 0xFFFFFFFFu;
    ParticleSystem system;
    system.Init(device, params, 4);
    system.Emit(1);
    device.Clear(0xFF000040u, 1.0f);
    device.SetTexture(0, nullptr);
    system.Render(device);
    platform::RgbImage image;
    device.ReadPicture(image);
    return image;
}

} // namespace

TEST_CASE("sprites shrink with distance and add their colour")
{
    testing::GlTestScreen screen = testing::OpenGlTestScreen(kWidth, kHeight);
    if (!screen.device) {
        MESSAGE("no offscreen GL; skipped");
        testing::ReportSkipped();
        return;
    }
    platform::RenderDevice& device = *screen.device;
    device.SetViewport({0.0f, 0.0f, static_cast<float>(kWidth), static_cast<float>(kHeight), 0.0f, 1.0f});
    LookAt(device, {0.0f, 0.0f, -10.0f}, {0.0f, 1.0f, 0.0f});
    const int cx = kWidth / 2;
    const int cy = kHeight / 2;

    // A 0.4 sprite 10 units off is 192 x 0.4 / 10, about 8 pixels, across, white over blue.
    const platform::RgbImage image = DrawSprite(device, 0.4f);
    Save(image, "effects_sprites.png");
    CHECK(testing::PixelAt(image, cx, cy) == 0xFFFFFFu);
    CHECK(testing::PixelAt(image, cx + 2, cy) == 0xFFFFFFu);
    CHECK(testing::PixelAt(image, cx + 6, cy) == 0x000040u);
    CHECK(testing::PixelAt(image, cx, cy - 6) == 0x000040u);
}
