// A unit standing in fresh craters far from the camera must still be seen:
// the ground drawn there, however coarse, may not close over the bowls it
// stands in. The frame is drawn with the unit and again without it, and the
// pixels around where it stands must turn to its army's colour. The frame
// with the unit is written next to the tests in the build folder
// (unit_among_craters.png) to look at.
#include "app/Game.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/BattleCollisions.h"
#include "game/Unit.h"
#include "physics/Physics.h"
#include "platform/ImageFile.h"
#include "render/Renderer.h"
#include "world/MeshLibrary.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int kWidth = 512;
constexpr int kHeight = 384;

platform::RgbImage DrawFrame(Renderer& renderer, Camera& camera, const Terrain& terrain, const LightRecord& light)
{
    REQUIRE(renderer.RenderGame({&camera, &terrain, &light, 0.0f}));
    platform::RgbImage picture;
    REQUIRE(renderer.GetDevice()->ReadPicture(picture));
    return picture;
}

int Channel(std::uint32_t rgb, int shift)
{
    return static_cast<int>((rgb >> shift) & 0xFFu);
}

} // namespace

TEST_CASE("a unit in fresh craters far from the camera is still drawn")
{
    testing::ManualClockScope clock;
    testing::GlTestScreen screen = testing::OpenGlTestScreen(kWidth, kHeight);
    REQUIRE(screen.device);
    Renderer* renderer = Renderer::Instance();
    testing::DataDirectoryScope data;
    renderer->CreateDevice(std::move(screen.device));
    Terrain terrain;
    REQUIRE(terrain.Load("Grassland.kvm"));
    MeshLibrary::Instance();
    renderer->UploadMap(terrain);
    LightRecord light;
    light.type = kLightDirectional;
    light.diffuse = {1.0f, 1.0f, 0.8f, 1.0f};
    light.direction = Vec3Normalize({2.0f, -2.0f, -3.0f});
    terrain.Relight(&light, kGroundAmbient);

    // In the middle of a cell of every eighth grid line (400 units over 255
    // cells), so ground drawn from every eighth line alone would pass over
    // the bowls; blasts of radius 6 on the spot and 4 units around it.
    const float cell = 400.0f / 255.0f;
    const Vec3 spot{-200.0f + 52.0f * cell, 0.0f, 200.0f - 204.0f * cell};
    const float groundBefore = terrain.HeightAt(spot.x, spot.z);
    for (const Vec3& offset :
         {Vec3{}, Vec3{4.0f, 0.0f, 0.0f}, Vec3{-4.0f, 0.0f, 0.0f}, Vec3{0.0f, 0.0f, 4.0f}, Vec3{0.0f, 0.0f, -4.0f}}) {
        const Vec3 at = spot + offset;
        REQUIRE(terrain.Crater(6.0f, {at.x, terrain.HeightAt(at.x, at.z), at.z}));
    }

    Battle* const battle = Battle::Instance();
    battle->SetTerrain(&terrain);
    Physics::Instance()->SetTerrain(&terrain);
    Physics::Instance()->SetCollisionHandlers(GetBattleCollisionHandlers());
    auto army = std::make_unique<Army>();
    army->SetPoints(4000);
    REQUIRE(army->AddUnit(kSmashtor));
    army->Place(spot.x, terrain.HeightAt(spot.x, spot.z), spot.z);
    army->SetColour(kSlotColours[0]);
    battle->AddArmy(std::move(army));
    for (int frame = 0; frame < 60; ++frame) {
        Physics::Instance()->Step(1.0f / 60.0f);
    }
    const Vec3 feet = battle->GetArmies().front()->GetUnits().front()->GetPosition();
    // Standing in the bowls, well below the ground that was there.
    REQUIRE(feet.y < groundBefore - 2.0f);

    // From some 490 units off through a long lens (an eighth of the usual
    // view's width), so the unit is about 15 pixels across: how coarse the
    // ground may be drawn depends on what the picture shows, not on the
    // distance alone.
    Camera camera;
    camera.GetView().SetEye(feet + Vec3{320.0f, 240.0f, 290.0f});
    camera.GetView().SetAt(feet);
    camera.GetView().SetFov(kPi / 48.0f);
    camera.GetView().SetAspect(static_cast<float>(kWidth) / kHeight);
    clock.Advance(0.1);
    const platform::RgbImage withUnit = DrawFrame(*renderer, camera, terrain, light);
    platform::WriteWholeFile(std::string(KV_TEST_OUTPUT_DIR) + "/unit_among_craters.png",
                             platform::EncodePngRgb(withUnit));
    battle->Clear();
    const platform::RgbImage without = DrawFrame(*renderer, camera, terrain, light);

    // The unit stands at the picture's middle. Its blob shadow only darkens
    // the green ground; the model, in its army's red, brings red pixels.
    int red = 0;
    for (int y = kHeight / 2 - 40; y <= kHeight / 2 + 40; ++y) {
        for (int x = kWidth / 2 - 40; x <= kWidth / 2 + 40; ++x) {
            const std::uint32_t a = testing::PixelAt(withUnit, x, y);
            const std::uint32_t b = testing::PixelAt(without, x, y);
            int change = 0;
            for (const int shift : {16, 8, 0}) {
                change += std::abs(Channel(a, shift) - Channel(b, shift));
            }
            const bool reddish = Channel(a, 16) > Channel(a, 8) + 16 && Channel(a, 16) > Channel(a, 0) + 16;
            red += change > 48 && reddish ? 1 : 0;
        }
    }
    CHECK(red >= 30);

    Battle::Instance()->Clear();
    Battle::Instance()->SetTerrain(nullptr);
    Physics::Instance()->SetTerrain(nullptr);
    renderer->ReleaseDevice();
}
