// The renderer: its presets, flat drawing, the order of work in a frame, and
// the numbered screenshots.
#include "../units/BattleTestWorld.h"
#include "game/Flag.h"
#include "game/GameRules.h"
#include "platform/FileSystem.h"
#include "platform/ImageFile.h"
#include "platform/NullRenderDevice.h"
#include "render/Renderer.h"
#include "render/TextManager.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using platform::NullRenderDevice;
using testing::NullRenderer;

namespace {

// Where call first comes among the calls, or their count when it does not.
std::ptrdiff_t IndexOf(const std::vector<std::string>& calls, const std::string& call)
{
    return std::find(calls.begin(), calls.end(), call) - calls.begin();
}

// Where the first call starting with prefix comes at or after from.
std::ptrdiff_t FindAfter(const std::vector<std::string>& calls, std::ptrdiff_t from, std::string_view prefix)
{
    return std::find_if(calls.begin() + from, calls.end(),
                        [prefix](const std::string& call) { return call.starts_with(prefix); }) -
           calls.begin();
}

template <typename Vertex> std::vector<Vertex> StreamVertices(const platform::RenderDevice& device, std::size_t count)
{
    std::vector<Vertex> vertices(count);
    std::memcpy(vertices.data(), device.GetState().stream->Lock().data(), count * sizeof(Vertex));
    return vertices;
}

} // namespace

TEST_CASE("the renderer sets its lasting states and its presets set exactly theirs")
{
    testing::DataDirectoryScope data;
    NullRenderer null;
    NullRenderDevice* device = null.device;
    Renderer* renderer = Renderer::Instance();
    const platform::DeviceState& state = device->GetState();
    CHECK(state.Get(platform::RenderState::Ambient) == 0xFF1F1F1Fu);
    CHECK(state.Get(platform::RenderState::SrcBlend) == platform::kBlendSrcAlpha);
    CHECK(state.Get(platform::RenderState::DestBlend) == platform::kBlendInvSrcAlpha);
    CHECK(state.Get(platform::RenderState::LocalViewer) == 0);
    CHECK(state.Get(platform::RenderState::CullMode) == platform::kCullCounterClockwise);
    CHECK(state.lightEnabled);
    CHECK(renderer->GetTerrainRenderer().HasGroundShader());

    device->ClearCalls();
    renderer->Set3DStates();
    renderer->SetLineStates();
    renderer->Set2DStates();
    renderer->SetBlendedObjectStates();
    renderer->RestoreAmbient();
    CHECK(device->Calls() ==
          std::vector<std::string>{
              "SetRenderState Lighting 1", "SetRenderState SpecularEnable 1", "SetRenderState AlphaBlendEnable 0",
              "SetVertexFormat 00000044", "SetRenderState Lighting 0", "SetTexture 0 none", "SetVertexFormat 00000144",
              "SetRenderState Lighting 0", "SetRenderState AlphaBlendEnable 1", "SetRenderState AlphaBlendEnable 1",
              "SetRenderState SpecularEnable 0", "SetMaterial FFFFFFFF 0.000000", "SetRenderState Ambient 4280229663"});
}

TEST_CASE("flat drawing writes its vertices and turns the depth test off around each draw")
{
    NullRenderer null;
    Renderer* renderer = Renderer::Instance();

    // An outline closes on its first corner, a filled rectangle is a fan of the four.
    renderer->DrawRect({10, 20}, {30, 40}, 0xFF112233u, false);
    CHECK(null.device->Calls().front() == "SetRenderState ZEnable 0");
    CHECK(null.device->Calls().back() == "SetRenderState ZEnable 1");
    CHECK(null.device->CallsStartingWith("Draw") == std::vector<std::string>{"DrawPrimitive LineStrip 0 4"});
    const auto outline = StreamVertices<platform::ScreenVertex>(*null.device, 5);
    CHECK(outline[4].x == 10.0f);
    CHECK(outline[4].y == 20.0f);
    CHECK(outline[2].x == 30.0f);
    CHECK(outline[2].y == 40.0f);
    CHECK(outline[1].color == 0xFF112233u);
    null.device->ClearCalls();
    renderer->DrawRect({10, 20}, {30, 40}, 0xFF112233u, true);
    CHECK(null.device->CallsStartingWith("Draw") == std::vector<std::string>{"DrawPrimitive TriangleFan 0 2"});
    // One buffer per kind, made once.
    CHECK(null.device->CallsStartingWith("CreateVertexBuffer").empty());

    // A line is one line, a quad stretches its whole texture.
    null.device->ClearCalls();
    renderer->DrawLine({1, 2}, {3, 4}, 0xFFFFFFFFu);
    CHECK(null.device->CallsStartingWith("Draw") == std::vector<std::string>{"DrawPrimitive LineList 0 1"});
    null.device->ClearCalls();
    const std::vector<std::uint8_t> pixels(4 * 4, 255);
    std::unique_ptr<platform::Texture> texture = null.device->CreateTextureFromPixels(2, 2, pixels);
    renderer->DrawTexturedRect({0, 0}, {100, 50}, 0x80FFFFFFu, texture.get());
    CHECK(null.device->GetState().textures[0] == texture.get());
    const auto quad = StreamVertices<platform::ScreenTexVertex>(*null.device, 4);
    CHECK(quad[0].u == 0.0f);
    CHECK(quad[0].v == 0.0f);
    CHECK(quad[2].x == 100.0f);
    CHECK(quad[2].u == 1.0f);
    CHECK(quad[2].v == 1.0f);
    CHECK(quad[3].u == 0.0f);
    CHECK(quad[3].v == 1.0f);
    CHECK(null.device->Calls().back() == "SetRenderState ZEnable 1");
}

TEST_CASE("rectangles, lines and quads come out in their colours under either preset")
{
    testing::GlTestScreen screen = testing::OpenGlTestScreen(64, 48);
    REQUIRE(screen.device);
    platform::RenderDevice* device = screen.device.get();
    Renderer* renderer = Renderer::Instance();
    renderer->CreateDevice(std::move(screen.device));
    const std::vector<std::uint8_t> teal = {32, 80, 80, 255, 32, 80, 80, 255, 32, 80, 80, 255, 32, 80, 80, 255};
    std::unique_ptr<platform::Texture> background = device->CreateTextureFromPixels(2, 2, teal);
    device->Clear(0xFF000000u, 1.0f);

    // As the statistics draw their rows: a picture, then panels a third
    // opaque over it, in the quads' preset.
    renderer->Set2DStates();
    renderer->DrawTexturedRect({0, 0}, {64, 48}, 0xFFFFFFFFu, background.get());
    renderer->DrawRect({0, 0}, {32, 16}, 0x55FF0000u, true);
    renderer->DrawLine({0, 20}, {64, 20}, 0xFF00FF00u);
    renderer->DrawRect({40, 30}, {50, 40}, 0xFFFFFF00u, false);
    // And a quad after the lines' preset, its texture stretched over it.
    renderer->SetLineStates();
    std::vector<std::uint8_t> redThenBlue;
    for (int x = 0; x < 8; ++x) {
        const std::uint8_t red = x < 4 ? 255 : 0;
        redThenBlue.insert(redThenBlue.end(), {red, 0, static_cast<std::uint8_t>(255 - red), 255});
    }
    std::unique_ptr<platform::Texture> halves = device->CreateTextureFromPixels(8, 1, redThenBlue);
    renderer->DrawTexturedRect({0, 40}, {16, 48}, 0xFFFFFFFFu, halves.get());
    platform::RgbImage picture;
    REQUIRE(device->ReadPicture(picture));
    // 0xFF / 3 + 0x20 x 2 / 3, 0x50 x 2 / 3.
    const std::uint32_t panel = testing::PixelAt(picture, 10, 8);
    CHECK(std::abs(static_cast<int>(panel >> 16) - 0x6B) <= 1);
    CHECK(std::abs(static_cast<int>((panel >> 8) & 0xFFu) - 0x35) <= 1);
    CHECK(std::abs(static_cast<int>(panel & 0xFFu) - 0x35) <= 1);
    CHECK(testing::PixelAt(picture, 40, 8) == 0x205050u);
    CHECK(testing::PixelAt(picture, 30, 20) == 0x00FF00u);
    CHECK(testing::PixelAt(picture, 45, 30) == 0xFFFF00u);
    CHECK(testing::PixelAt(picture, 45, 35) == 0x205050u);
    CHECK(testing::PixelAt(picture, 4, 44) == 0xFF0000u);
    CHECK(testing::PixelAt(picture, 12, 44) == 0x0000FFu);
    background.reset();
    halves.reset();
    renderer->ReleaseDevice();
}

TEST_CASE("a frame runs the camera before its view, draws the world in order with the seen units in army colours, "
          "then the overlay and the text, and presents")
{
    // Flat ground under water, so the frame has water to draw.
    units_test::BattleWorld world(5.0f);
    NullRenderer null;
    Renderer* renderer = Renderer::Instance();
    renderer->UploadMap(world.Ground());
    TextManager::Instance()->Init(null.device);
    Battle* battle = Battle::Instance();
    Army& green = world.AddArmy();
    green.SetColour(0xFF00FF00u);
    world.AddUnit(green, kSmashtor, 10.0f, 10.0f);
    Army& yellow = world.AddArmy();
    yellow.SetColour(0xFFFFFF00u);
    Unit& farAway = world.AddUnit(yellow, kSmashtor, -190.0f, 190.0f);
    battle->GetWorldObjects().push_back(std::make_unique<MeshObject>(-10.0f, 0.0f, -10.0f, ObjectMeshType::Tree));
    battle->GetFlags().push_back(std::make_unique<Flag>(0.0f, 0.0f, 20.0f, ObjectMeshType::Flag, kModeTerritories));
    battle->GetFlags().back()->SetColour(0xFFFF0000u);
    battle->AddProjectile(
        std::make_unique<Projectile>(Vec3(0, 5, 0), ObjectMeshType::Bullet, Vec3(1, 0, 0), 1.0f, &farAway));
    Camera camera;
    camera.GetView().SetEye({0, 150, -60});
    camera.AddCommand(kCameraZoomIn);
    camera.SetSpeed(0.5f);
    const LightRecord light;
    renderer->CreateSky();
    // Windows whose last widget left the line states (and a mark in the calls).
    renderer->SetOverlays(
        [&null, renderer] {
            renderer->SetLineStates();
            null.device->SetPointSize(7.0f);
        },
        {});
    // The new map's minimap is drawn into its own picture, a pass of its own.
    renderer->GetTerrainRenderer().Sync(*null.device, world.Ground());
    null.device->ClearCalls();
    REQUIRE(renderer->RenderGame({&camera, &world.Ground(), &light, 0.2f}));
    renderer->ReleaseSky();
    // The zoom ran before the view was set: the view sees the eye a tenth nearer.
    const Vec3 eyeInView =
        Vec3TransformCoord({0, 0, 0}, null.device->GetState().GetTransform(platform::TransformKind::View));
    CHECK(eyeInView.z == doctest::Approx(0.9f * std::sqrt(150.0f * 150.0f + 60.0f * 60.0f)));

    const std::vector<std::string>& calls = null.device->Calls();
    const auto at = [&calls](const std::string& call) { return IndexOf(calls, call); };
    const auto count = [&calls](const std::string& call) { return std::ranges::count(calls, call); };
    const auto drawAfter = [&calls](std::ptrdiff_t from) { return FindAfter(calls, from, "DrawIndexedPrimitive"); };
    CHECK(at("Clear FF000000 1.000000") == 0);
    CHECK(at("SetTransform View") < at("BeginScene"));
    CHECK(at("SetLight") < at("BeginScene"));
    // The ground is the frame's first indexed draw.
    const std::ptrdiff_t ground = drawAfter(0);
    CHECK(at("BeginScene") < ground);
    const std::ptrdiff_t unit = at("SetMaterial FF00FF00 30.000000");
    const std::ptrdiff_t blended = at("SetMaterial FFFFFFFF 0.000000");
    const std::ptrdiff_t projectile = at("SetMaterial FFFFFF00 30.000000");
    const std::ptrdiff_t white = at("SetRenderState Ambient 4294967295");
    const std::ptrdiff_t flag = at("SetMaterial FFFF0000 30.000000");
    // The water, in as many triangles as its patches need, follows the flags.
    const std::ptrdiff_t water = FindAfter(calls, flag, "DrawPrimitive TriangleList");
    CHECK(ground < unit);
    const std::ptrdiff_t defaultMaterial =
        std::find(calls.begin() + unit, calls.end(), "SetMaterial FFFFFFFF 30.000000") - calls.begin();
    CHECK(drawAfter(unit) < defaultMaterial);
    CHECK(defaultMaterial < blended);
    // The sky fills what the opaque units left empty before the blended
    // objects mix with it.
    const std::ptrdiff_t sky = at("DrawPrimitive TriangleFan 0 2");
    CHECK(drawAfter(unit) < sky);
    CHECK(sky < blended);
    // The tree and the flag, plainly, through the grid.
    CHECK(drawAfter(drawAfter(blended) + 1) < projectile);
    CHECK(drawAfter(projectile) < white);
    CHECK(white < flag);
    CHECK(drawAfter(flag) < at("SetRenderState Ambient 4280229663"));
    CHECK(at("SetRenderState Ambient 4280229663") < water);
    // The 2-D states for the rules' overlay come after the water, before the text.
    const auto twoD = std::find(calls.rbegin(), calls.rend(), "SetVertexFormat 00000144").base() - calls.begin() - 1;
    CHECK(water < twoD);
    CHECK(twoD < at("BeginSprites"));
    // Whatever the windows left, the rules' panels get the 2-D states.
    CHECK(at("SetRenderState PointSize 7") < twoD);
    renderer->SetOverlays({}, {});
    CHECK(at("BeginSprites") < at("EndScene"));
    CHECK(calls.back() == "Present");
    // The far unit's cell is out of sight; its army's colour shows only on
    // the projectile it fired.
    CHECK(count("SetMaterial FFFFFF00 30.000000") == 1);
    CHECK(count("SetMaterial FF00FF00 30.000000") == 1);
    GameRules::Instance()->DeleteFlags();
}

TEST_CASE("screenshots take the first number with no file and save the presented frame")
{
    testing::TempDirectory temp;

    // Numbering by existence, whatever the file is.
    std::filesystem::create_directory("Screenshots");
    std::ofstream("Screenshots/ScreenShot - 0.bmp") << "x";
    std::ofstream("Screenshots/ScreenShot - 1.bmp") << "x";
    std::filesystem::create_directory("Screenshots/ScreenShot - 3.bmp");
    std::filesystem::permissions("Screenshots/ScreenShot - 1.bmp", std::filesystem::perms::owner_read);
    CHECK(Renderer::FreeScreenshotName("Screenshots") == "Screenshots/ScreenShot - 2.bmp");
    std::ofstream("Screenshots/ScreenShot - 2.bmp") << "x";
    CHECK(Renderer::FreeScreenshotName("Screenshots") == "Screenshots/ScreenShot - 4.bmp");

    // The BMP holds the last presented frame, in the first free number; the
    // folder made on the way is the play-through's F10.
    testing::GlTestScreen screen = testing::OpenGlTestScreen(64, 48);
    REQUIRE(screen.device);
    platform::RenderDevice* device = screen.device.get();
    Renderer* renderer = Renderer::Instance();
    renderer->CreateDevice(std::move(screen.device));
    device->Clear(0xFF203040u, 1.0f);
    renderer->SetLineStates();
    renderer->DrawRect({5, 6}, {20, 30}, 0xFFFF8000u, true);
    device->Present();
    platform::RgbImage presented;
    REQUIRE(device->ReadPicture(presented));
    const std::string name = renderer->SaveScreenshot();
    CHECK(name == "Screenshots/ScreenShot - 4.bmp");
    std::vector<std::uint8_t> bytes;
    REQUIRE(platform::ReadDataFile(name, 1 << 20, bytes));
    // What a presented frame reads back as is the play-through's to check
    // on its pixels, the BMP's round trip the image file test's.
    CHECK(bytes == platform::EncodeBmp24(presented));
    CHECK(renderer->SaveScreenshot() == "Screenshots/ScreenShot - 5.bmp");
    renderer->ReleaseDevice();
}
