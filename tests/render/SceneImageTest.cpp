// A whole frame of a fixed scene against a reference picture: the Grassland
// map with the menus' battle on it (scenery, the flag, eight armies in their
// colours), seen from close over the middle army, with water and a line of
// text, on the manual clock and a fixed seed. The frame is also written next
// to the tests in the build folder (render_scene.png) to look at.
//
// To regenerate the reference after a deliberate change of the picture, from
// the build folder:
//   KV_UPDATE_REFERENCE=1 ctest -R "reference picture"
// and commit tests/render/reference/background_scene.png.
#include "app/Game.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/BattleCollisions.h"
#include "game/GameRules.h"
#include "game/WorldPopulation.h"
#include "physics/Physics.h"
#include "platform/ImageFile.h"
#include "platform/Random.h"
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

// As the game fills the battle behind its menus: the map's scenery and
// flags, then eight armies of five Smashtors and five Triangoloids in their
// slots' colours, settled onto the ground by a second of physics.
void PopulateBattle(const Terrain& terrain)
{
    Battle* const battle = Battle::Instance();
    battle->SetTerrain(&terrain);
    Physics::Instance()->SetTerrain(&terrain);
    Physics::Instance()->SetCollisionHandlers(GetBattleCollisionHandlers());
    GameRules::Instance()->BeginMatch(kModeLastManOnTheHill, 5.0f, 0.0f);
    PopulateWorldObjects(*battle, terrain, GameRules::Instance()->GetMode());
    for (std::size_t i = 0; i < kBackgroundArmyPositions.size(); ++i) {
        auto army = std::make_unique<Army>();
        army->SetPoints(4000);
        for (int n = 0; n < 5; ++n) {
            army->AddUnit(kSmashtor);
            army->AddUnit(kTriangoloid);
        }
        army->Place(kBackgroundArmyPositions[i].x, kBackgroundArmyPositions[i].y, kBackgroundArmyPositions[i].z);
        army->SetColour(kSlotColours[i]);
        battle->AddArmy(std::move(army));
    }
    for (int frame = 0; frame < 60; ++frame) {
        Physics::Instance()->Step(1.0f / 60.0f);
    }
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
    // Textures load as they are first drawn, so the data stays the working
    // directory for the whole frame.
    testing::DataDirectoryScope data;
    renderer->CreateDevice(std::move(screen.device));
    REQUIRE(renderer->GetTerrainRenderer().HasGroundShader());
    REQUIRE(terrain.Load("Grassland.kvm"));
    MeshLibrary::Instance();
    renderer->UploadMap(terrain);
    platform::SeedRand(2026);
    PopulateBattle(terrain);
    TextManager::Instance()->Init(device);
    camera.GetView().SetEye({24.0f, 30.0f, 30.0f});
    camera.GetView().SetAt({});
    camera.GetView().SetAspect(static_cast<float>(kWidth) / kHeight);
    LightRecord light;
    light.type = kLightDirectional;
    light.diffuse = {1.0f, 1.0f, 0.8f, 1.0f};
    light.specular = {1.0f, 1.0f, 0.8f, 1.0f};
    light.direction = Vec3Normalize({2.0f, -2.0f, -3.0f});
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
    GameRules::Instance()->DeleteFlags();
    Battle::Instance()->Clear();
    Battle::Instance()->SetTerrain(nullptr);
    Physics::Instance()->SetTerrain(nullptr);
    renderer->ReleaseDevice();
}
