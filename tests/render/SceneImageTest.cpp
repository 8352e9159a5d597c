// A whole frame of a fixed scene against a reference picture: the Grassland
// map under the menu camera, its scenery, water and a line of text, on the
// manual clock. The frame is also written next to the tests in the build
// folder (render_scene.png) to look at.
//
// To regenerate the reference after a deliberate change of the picture, from
// the build folder:
//   KV_UPDATE_REFERENCE=1 ctest -R "reference picture"
// and commit tests/render/reference/background_scene.png.
#include "platform/ImageFile.h"
#include "render/Renderer.h"
#include "render/TextManager.h"
#include "world/MeshLibrary.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 192;

std::string ReferencePath()
{
    return std::string(KV_TEST_SOURCE_DIR) + "/render/reference/background_scene.png";
}

LightRecord SceneLight()
{
    LightRecord light;
    light.type = kLightDirectional;
    light.diffuse = {1.0f, 1.0f, 0.8f, 1.0f};
    light.specular = {1.0f, 1.0f, 0.8f, 1.0f};
    light.direction = Vec3Normalize({2.0f, -2.0f, -3.0f});
    return light;
}

} // namespace

TEST_CASE("a frame of the background scene matches its reference picture")
{
    testing::ManualClockScope clock;
    testing::GlTestScreen screen = testing::OpenGlTestScreen(kWidth, kHeight);
    REQUIRE(screen.device);
    platform::RenderDevice* device = screen.device.get();
    Renderer* renderer = Renderer::Instance();
    Terrain terrain;
    Camera camera;
    {
        testing::DataDirectoryScope data;
        renderer->CreateDevice(std::move(screen.device));
        REQUIRE(renderer->GetTerrainRenderer().HasGroundShader());
        REQUIRE(terrain.Load("Grassland.kvm"));
        MeshLibrary::Instance();
        renderer->UploadMap(terrain);
        TextManager::Instance()->Init(device);
    }
    camera.GetView().SetEye({61.25f, 87.5f, 61.25f});
    camera.GetView().SetAt({});
    camera.GetView().SetAspect(static_cast<float>(kWidth) / kHeight);
    const LightRecord light = SceneLight();
    TextManager::Instance()->DrawText("Kostrivane", 8, 8, "Default", kDefaultTextColor);
    clock.Advance(0.1);
    REQUIRE(renderer->RenderGame({&camera, &terrain, &light, 0.0f}));

    platform::RgbImage picture;
    REQUIRE(device->ReadPicture(picture));
    platform::WriteWholeFile(std::string(KV_TEST_OUTPUT_DIR) + "/render_scene.png", platform::EncodePngRgb(picture));
    if (std::getenv("KV_UPDATE_REFERENCE")) {
        REQUIRE(platform::WriteWholeFile(ReferencePath(), platform::EncodePngRgb(picture)));
    }
    std::string referenceText = testing::ReadTextFile(ReferencePath());
    const std::vector<std::uint8_t> referenceBytes(referenceText.begin(), referenceText.end());
    platform::RgbaImage reference;
    REQUIRE(platform::DecodeImage(referenceBytes, reference));
    REQUIRE(reference.width == kWidth);
    REQUIRE(reference.height == kHeight);
    // Small driver differences are allowed; a moved camera, a lost layer or
    // a missing object is not.
    double total = 0.0;
    int farOff = 0;
    for (int p = 0; p < kWidth * kHeight; ++p) {
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(static_cast<int>(picture.rgb[p * 3 + c]) - reference.rgba[p * 4 + c]);
            total += d;
            farOff += d > 40 ? 1 : 0;
        }
    }
    const double mean = total / (kWidth * kHeight * 3.0);
    CAPTURE(mean);
    CAPTURE(farOff);
    CHECK(mean < 2.0);
    CHECK(farOff < kWidth * kHeight * 3 / 200);
    renderer->ReleaseDevice();
}
