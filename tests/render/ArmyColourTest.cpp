// Every unit in its army's colour, whatever was drawn before it: one unit of
// each type for each of the eight armies (the game's slot colours), lit by
// the battle's daylight over a plain dark grey ground, drawn once on a fresh
// device and once after the draws of a match frame that colour their
// vertices (health bars, the drag box, particles, the HUD with its close-up
// panel). Each unit's pixels must carry its army's colour, and the two
// pictures must be the same. The second is written to the build folder
// (army_colours.png) to look at.
#include "../units/BattleTestWorld.h"
#include "app/Game.h"
#include "platform/ImageFile.h"
#include "render/HealthBar.h"
#include "render/ParticleManager.h"
#include "render/Renderer.h"
#include "render/RendererCanvas.h"
#include "render/ScreenProjection.h"
#include "screens/HudOverlay.h"
#include "world/MeshLibrary.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::uint32_t kGround = 0xFF404040u;
// Units stand in rows by army and columns by type, this far apart.
constexpr float kColumnStep = 8.0f;
constexpr float kRowStep = 5.0f;
// A unit's pixels are looked for this far around its middle on the screen,
// and at least so many must differ from the ground.
constexpr int kUnitBoxHalf = 16;
constexpr int kFewestUnitPixels = 40;

// The daylight every battle is lit by.
LightRecord Daylight()
{
    LightRecord light;
    light.type = kLightDirectional;
    light.diffuse = {1.0f, 1.0f, 0.8f, 1.0f};
    light.specular = {1.0f, 1.0f, 0.8f, 1.0f};
    light.direction = Vec3Normalize({2.0f, -2.0f, -3.0f});
    return light;
}

CameraView OverTheArmies()
{
    CameraView view;
    view.SetEye({0.0f, 62.0f, 56.0f});
    view.SetAt({0.0f, 0.0f, 0.5f});
    view.SetUp({0.0f, 1.0f, 0.0f});
    view.SetFov(kPi / 7.0f);
    view.SetAspect(static_cast<float>(kWidth) / kHeight);
    view.SetNear(1.0f);
    view.SetFar(500.0f);
    return view;
}

// The units lit in their armies' colours over the ground, as the frame
// draws them, and the picture read back.
platform::RgbImage DrawUnits(Renderer& renderer, const CameraView& view, const LightRecord& light,
                             const std::vector<Unit*>& units)
{
    platform::RenderDevice& device = *renderer.GetDevice();
    device.Clear(kGround, 1.0f);
    renderer.ApplyCamera(view);
    device.SetLight(light);
    device.BeginScene();
    renderer.Set3DStates();
    for (const Unit* unit : units) {
        renderer.GetUnitDrawer()->Draw(*unit);
    }
    renderer.SetDefaultMaterial();
    device.EndScene();
    platform::RgbImage picture;
    REQUIRE(device.ReadPicture(picture));
    return picture;
}

// What a match frame draws around its units with coloured vertices: the
// close-up pass, the selection's health bars and the drag box, particles,
// then the HUD with the close-up panel; cleared away after.
void DrawColouredMarks(Renderer& renderer, const Terrain& ground, const CameraView& view, const LightRecord& light,
                       const std::vector<Unit*>& units)
{
    platform::RenderDevice& device = *renderer.GetDevice();
    HudOverlay* hud = HudOverlay::Instance();
    // The close-up shows another army than the one drawn first after these
    // marks, so a first material lost to colour tracking shows as another
    // army's colour rather than by chance as the right one.
    const std::vector<Unit*> selection(units.end() - 10, units.end() - 5);
    hud->RenderSelectionView(renderer, light, selection, ground, view);
    device.Clear(kGround, 1.0f);
    renderer.ApplyCamera(view);
    device.BeginScene();
    RendererCanvas canvas;
    renderer.SetLineStates();
    const ScreenProjection projection(view, kWidth, kHeight);
    for (const Unit* unit : units) {
        DrawHealthBar(canvas, projection, view, *unit, 0xFF00FF00u);
    }
    canvas.DrawRect({20.0f, 20.0f}, {200.0f, 150.0f}, 0xFFFFFFFFu, false);
    ParticleManager* particles = ParticleManager::Instance();
    particles->SpawnSplashExplosion(units.front()->GetPosition(), {0.0f, 1.0f, 0.0f});
    particles->SpawnProjectileExplosion(units.back()->GetPosition(), {0.0f, 1.0f, 0.0f});
    particles->UpdateAll(0.1f);
    particles->RenderAll(device);
    renderer.Set2DStates();
    const HudDrawStates states{[&renderer] { renderer.Set2DStates(); }, [&renderer] { renderer.SetLineStates(); }};
    hud->Render(canvas, ground, view, states);
    device.EndScene();
}

struct Chroma {
    double r = 0.0;
    double g = 0.0;
};

Chroma ChromaOf(double r, double g, double b)
{
    const double sum = r + g + b;
    return sum > 0.0 ? Chroma{r / sum, g / sum} : Chroma{1.0 / 3.0, 1.0 / 3.0};
}

double Distance(const Chroma& a, const Chroma& b)
{
    return std::hypot(a.r - b.r, a.g - b.g);
}

// The share of red and green in an army's colour as the daylight shows it.
Chroma ExpectedChroma(std::uint32_t colour, const LightRecord& light)
{
    const ColorValue c = UnpackColor(colour);
    return ChromaOf(c.r * light.diffuse.r, c.g * light.diffuse.g, c.b * light.diffuse.b);
}

// The share of red and green over the pixels near a unit that are not the
// ground, and how many there are.
struct UnitPixels {
    Chroma chroma;
    int count = 0;
};

UnitPixels PixelsOf(const platform::RgbImage& picture, const Vec2& at, int half)
{
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    UnitPixels pixels;
    for (int y = static_cast<int>(at.y) - half; y <= static_cast<int>(at.y) + half; ++y) {
        for (int x = static_cast<int>(at.x) - half; x <= static_cast<int>(at.x) + half; ++x) {
            if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) {
                continue;
            }
            const std::uint32_t p = testing::PixelAt(picture, x, y);
            if (p == (kGround & 0xFFFFFFu)) {
                continue;
            }
            r += (p >> 16) & 0xFFu;
            g += (p >> 8) & 0xFFu;
            b += p & 0xFFu;
            ++pixels.count;
        }
    }
    pixels.chroma = ChromaOf(r, g, b);
    return pixels;
}

} // namespace

TEST_CASE("every unit is drawn in its army's colour whatever was drawn before it")
{
    testing::ManualClockScope clock;
    units_test::BattleWorld world;
    testing::GlTestScreen screen = testing::OpenGlTestScreen(kWidth, kHeight);
    REQUIRE(screen.device);
    Renderer* renderer = Renderer::Instance();
    renderer->CreateDevice(std::move(screen.device));
    platform::RenderDevice& device = *renderer->GetDevice();
    MeshLibrary::Instance();
    ParticleManager::Instance()->Init(device);
    HudOverlay::Instance()->Init(nullptr, &device, kWidth, kHeight);
    REQUIRE(HudOverlay::Instance()->HasCloseUpTarget());

    std::vector<Unit*> units;
    for (std::size_t army = 0; army < kSlotColours.size(); ++army) {
        Army& owner = world.AddArmy(4000);
        owner.SetColour(kSlotColours[army]);
        const float z = (static_cast<float>(army) - 3.5f) * kRowStep;
        for (std::uint32_t type = 0; type < kUnitTypeCount; ++type) {
            const float x = (static_cast<float>(type) - 2.0f) * kColumnStep;
            units.push_back(&world.AddUnit(owner, static_cast<UnitType>(type), x, z));
        }
    }
    const CameraView view = OverTheArmies();
    const LightRecord light = Daylight();

    const platform::RgbImage alone = DrawUnits(*renderer, view, light, units);
    DrawColouredMarks(*renderer, world.Ground(), view, light, units);
    const platform::RgbImage afterMarks = DrawUnits(*renderer, view, light, units);
    platform::WriteWholeFile(std::string(KV_TEST_OUTPUT_DIR) + "/army_colours.png", platform::EncodePngRgb(afterMarks));

    std::vector<Chroma> expected;
    for (const std::uint32_t colour : kSlotColours) {
        expected.push_back(ExpectedChroma(colour, light));
    }
    const ScreenProjection projection(view, kWidth, kHeight);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::size_t army = i / kUnitTypeCount;
        CAPTURE(army);
        CAPTURE(i % kUnitTypeCount);
        Vec2 at;
        REQUIRE(projection.ToScreen(units[i]->GetPosition() + Vec3(0.0f, 0.5f, 0.0f), at));
        const UnitPixels pixels = PixelsOf(afterMarks, at, kUnitBoxHalf);
        CAPTURE(pixels.chroma.r);
        CAPTURE(pixels.chroma.g);
        CHECK(pixels.count >= kFewestUnitPixels);
        // Highlights and seams whiten a unit a little; another army's colour,
        // grey or white are much further off.
        CHECK(Distance(pixels.chroma, expected[army]) < 0.25);
        for (std::size_t other = 0; other < expected.size(); ++other) {
            CAPTURE(other);
            CHECK(
                (other == army || Distance(pixels.chroma, expected[army]) < Distance(pixels.chroma, expected[other])));
        }
    }
    CHECK(alone.rgb == afterMarks.rgb);

    HudOverlay::Instance()->Release();
    ParticleManager::Instance()->ReleaseAll();
    renderer->ReleaseDevice();
}
