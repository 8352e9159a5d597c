// The minimap's picture on the real GL (offscreen): a map lit bright only in
// its -x, +z quarter, drawn through the terrain renderer's sync, then the
// picture laid on the screen and read back: row 0 must be +z and column 0
// -x. Then ridges one grid line wide, which show only if every grid line is
// drawn; that picture and the shipped maps' are written next to the tests
// (minimap_ridges.png, minimap_<map>.png). Then craters: each redraws only
// the texels over the ground it changed, exactly as a whole redraw draws
// them (minimap_crater_<where>.png). Last, on the null device, the game
// draws no minimap behind the menus and the whole of it at a match's start.
#include "app/Game.h"
#include "platform/ImageFile.h"
#include "platform/Random.h"
#include "render/Minimap.h"
#include "render/TerrainRenderer.h"
#include "screens/HudOverlay.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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

TEST_CASE("a crater redraws only the minimap texels over the ground it changed, each as a whole redraw draws it")
{
    // Before each crater a patch of the picture far from it is painted
    // magenta, which no ground is: a redraw of the whole picture would paint
    // over it. Everywhere else the picture must come out as a whole redraw
    // of the same ground draws it, texel for texel. (The picture is read
    // back through a quad whose sampling takes a trace of each neighbour, so
    // the texels next to the patch are left out.) One blast in the middle,
    // one shell in a corner, where the texels and the grid end.
    constexpr int kSide = Minimap::kSize;
    constexpr std::uint32_t kMagenta = 0xFF00FFu;
    constexpr platform::ScissorRect kPatch{8, 8, 40, 40};
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    testing::GlTestScreen screen = testing::OpenGlTestScreen(kSide, kSide);
    REQUIRE(screen.device);
    platform::RenderDevice& device = *screen.device;
    TerrainRenderer renderer;
    REQUIRE(renderer.LoadGroundShader(device));
    Terrain terrain;
    REQUIRE(terrain.Load("Grassland.kvm"));
    LightRecord sun;
    sun.diffuse = {1.0f, 1.0f, 0.8f, 1.0f};
    sun.direction = Vec3Normalize({2.0f, -2.0f, -3.0f});
    renderer.Upload(device, terrain);
    terrain.Relight(&sun, kGroundAmbient);
    renderer.Sync(device, terrain);
    REQUIRE(renderer.GetMinimapTexture() != nullptr);
    const auto show = [&] { return ShowMinimapAt(device, renderer.GetMinimapTexture(), -0.5f, kSide); };
    const auto inPatch = [&](int x, int y, int grow) {
        return x >= kPatch.left - grow && x < kPatch.right + grow && y >= kPatch.top - grow && y < kPatch.bottom + grow;
    };

    struct Shot {
        const char* where;
        float radius;
        float x;
        float z;
    };
    for (const Shot& shot : {Shot{"middle", 10.0f, 3.3f, -7.1f}, Shot{"corner", 6.0f, 197.5f, -198.2f}}) {
        const std::string where = shot.where;
        CAPTURE(where);
        const platform::RgbImage before = show();
        device.SetRenderTarget(renderer.GetMinimapTexture());
        device.SetScissorRect(&kPatch);
        device.Clear(0xFF000000u | kMagenta, 1.0f);
        device.SetRenderTarget(nullptr);
        REQUIRE(terrain.Crater(shot.radius, {shot.x, terrain.HeightAt(shot.x, shot.z), shot.z}));
        renderer.Sync(device, terrain);
        const platform::RgbImage partial = show();
        SavePicture(partial, "minimap_crater_" + where + ".png");
        // The same ground uploaded afresh is drawn whole.
        renderer.Upload(device, terrain);
        renderer.Sync(device, terrain);
        const platform::RgbImage whole = show();

        int changed = 0;
        int unlike = 0;
        int patchRedrawn = 0;
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const std::uint32_t drawn = testing::PixelAt(partial, x, y);
                const std::uint32_t full = testing::PixelAt(whole, x, y);
                changed += full != testing::PixelAt(before, x, y) ? 1 : 0;
                if (inPatch(x, y, -1)) {
                    patchRedrawn += drawn != kMagenta ? 1 : 0;
                } else if (!inPatch(x, y, 1)) {
                    unlike += drawn != full ? 1 : 0;
                }
            }
        }
        MESSAGE(where << ": " << changed << " texels changed by the crater");
        CHECK(changed > 0);
        CHECK(unlike == 0);
        CHECK(patchRedrawn == 0);
    }
    renderer = TerrainRenderer();
}

namespace {

// The areas of the minimap passes among the calls, and the triangles drawn
// into each: a pass limits its drawing to its area by the scissor.
struct MinimapPass {
    platform::ScissorRect area;
    std::uint32_t triangles = 0;
};

std::vector<MinimapPass> MinimapPasses(const std::vector<std::string>& calls)
{
    std::vector<MinimapPass> passes;
    bool inPass = false;
    for (const std::string& call : calls) {
        platform::ScissorRect area;
        if (std::sscanf(call.c_str(), "SetScissorRect %d %d %d %d", &area.left, &area.top, &area.right, &area.bottom) ==
            4) {
            passes.push_back({area, 0});
            inPass = true;
            continue;
        }
        if (call == "SetScissorRect none") {
            inPass = false;
        }
        unsigned first = 0;
        unsigned count = 0;
        if (inPass &&
            std::sscanf(call.c_str(), "DrawIndexedPrimitive TriangleList %*d %*u %*u %u %u", &first, &count) == 2) {
            passes.back().triangles += count;
        }
    }
    return passes;
}

} // namespace

TEST_CASE("behind the menus no minimap is drawn, a match's first frame draws it whole and a crater a few blocks of it")
{
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    testing::NullRenderer null;
    Game* const game = Game::Instance();
    game->Init();
    platform::SeedRand(5);
    game->LoadAfterSplash();
    const TerrainRenderer& terrainRenderer = Renderer::Instance()->GetTerrainRenderer();
    Terrain& terrain = game->GetTerrain();
    game->SetFrameTime(1.0f / 60.0f);

    // The background battle, shelled now and then.
    for (int frame = 0; frame < 20; ++frame) {
        clock.Advance(1.0 / 60.0);
        if (frame % 5 == 0) {
            const float x = static_cast<float>(frame) * 3.0f - 30.0f;
            REQUIRE(terrain.Crater(6.0f, {x, terrain.HeightAt(x, 5.0f), 5.0f}));
        }
        game->MenuFrame();
    }
    CHECK_FALSE(terrainRenderer.IsMinimapShown());
    CHECK(terrainRenderer.GetMinimapTexture() == nullptr);
    CHECK(MinimapPasses(null.device->Calls()).empty());

    game->SetSetting(kSettingGameState, kStateMatch);
    REQUIRE(game->SetOptions(kModeLastManOnTheHill, 1.0f, kAllowAllUnitTypes, 0, 20, 2));
    game->EndMatch();
    game->StartMatch();
    REQUIRE(HudOverlay::Instance()->IsVisible());
    null.device->ClearCalls();
    clock.Advance(1.0 / 60.0);
    game->PlayFrame();
    CHECK(terrainRenderer.GetMinimapTexture() != nullptr);
    const std::uint32_t columns = terrain.GetColumns();
    const std::uint32_t rows = terrain.GetRows();
    std::vector<MinimapPass> passes = MinimapPasses(null.device->Calls());
    REQUIRE(passes.size() == 1);
    CHECK(passes[0].area == Minimap::kWholePicture);
    CHECK(passes[0].triangles == 2 * (columns - 1) * (rows - 1));

    // A blast: one small rectangle, from the few blocks under it.
    REQUIRE(terrain.Crater(10.0f, {12.0f, terrain.HeightAt(12.0f, -20.0f), -20.0f}));
    null.device->ClearCalls();
    clock.Advance(1.0 / 60.0);
    game->PlayFrame();
    passes = MinimapPasses(null.device->Calls());
    REQUIRE(passes.size() == 1);
    const platform::ScissorRect& area = passes[0].area;
    CHECK(area.right - area.left < 24);
    CHECK(area.bottom - area.top < 24);
    const std::uint32_t blockTriangles = 2 * GroundBlocks::kBlockCells * GroundBlocks::kBlockCells;
    CHECK(passes[0].triangles > 0);
    CHECK(passes[0].triangles <= 16 * blockTriangles);

    // Nothing changed, nothing drawn.
    null.device->ClearCalls();
    clock.Advance(1.0 / 60.0);
    game->PlayFrame();
    CHECK(MinimapPasses(null.device->Calls()).empty());

    game->SetSetting(kSettingGameState, kStateMenus);
    game->EndMatch();
    HudOverlay::Instance()->Release();
}
