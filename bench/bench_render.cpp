// The cost of drawing the background battle: a 1024x768 offscreen picture of
// a map (all four in turn) under the menu camera's orbit, with its ground,
// edges, water, scenery, flags, the eight armies of the menus' battle and
// text, frame after frame as the game draws it, presented each time. Prints the frames per second over a fixed number
// of frames per map and the llvmpipe thread count it ran with (LP_NUM_THREADS; unset lets Mesa pick).
// The ground is relit as the game relights it; the blob shadows are on.
// Processor time over all threads is printed beside the wall time, since a
// busy machine shows in the first far less than in the second. Then the
// cost of the effects that come and go: the upload of a map (with its baked
// ground picture), the relight, and a crater with the frame that follows it
// (the ground's buffers refilled and the minimap drawn again).
// KV_BENCH_PICTURE=<file.png> also saves the last frame of the first map.
#include "app/Game.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/BattleCollisions.h"
#include "game/GameRules.h"
#include "game/WorldPopulation.h"
#include "physics/Physics.h"
#include "platform/GlRenderDevice.h"
#include "platform/ImageFile.h"
#include "platform/SdlWindow.h"
#include "render/Renderer.h"
#include "render/TextManager.h"
#include "world/MeshLibrary.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWarmUpFrames = 10;
constexpr int kFrames = 200;
constexpr int kCraterFrames = 25;
const char* const kMaps[] = {"Grassland.kvm", "Desert.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"};

double Milliseconds(Clock::time_point since)
{
    return 1000.0 * std::chrono::duration<double>(Clock::now() - since).count();
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

// The menus' battle on a freshly loaded map: its scenery and flags, then
// eight armies of five Smashtors and five Triangoloids, each in its slot's
// colour, settled onto the ground by a second of physics.
std::size_t PopulateBattle(const Terrain& terrain)
{
    Battle* const battle = Battle::Instance();
    GameRules::Instance()->DeleteFlags();
    Army::ResetIdCounter();
    battle->Clear();
    battle->SetTerrain(&terrain);
    Physics::Instance()->SetTerrain(&terrain);
    GameRules::Instance()->BeginMatch(kModeLastManOnTheHill, 5.0f, 0.0f);
    PopulateWorldObjects(*battle, terrain, GameRules::Instance()->GetMode());
    std::size_t units = 0;
    for (std::size_t i = 0; i < kBackgroundArmyPositions.size(); ++i) {
        auto army = std::make_unique<Army>();
        army->SetPoints(4000);
        for (int n = 0; n < 5; ++n) {
            army->AddUnit(kSmashtor);
            army->AddUnit(kTriangoloid);
        }
        army->Place(kBackgroundArmyPositions[i].x, kBackgroundArmyPositions[i].y, kBackgroundArmyPositions[i].z);
        army->SetColour(kSlotColours[i]);
        units += army->GetUnits().size();
        battle->AddArmy(std::move(army));
    }
    for (int frame = 0; frame < 60; ++frame) {
        Physics::Instance()->Step(1.0f / 60.0f);
    }
    return units;
}

} // namespace

int main()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    const char* threads = std::getenv("LP_NUM_THREADS");
    std::filesystem::current_path(KV_BENCH_DATA_DIR);
    platform::WindowConfig config;
    config.windowed = true;
    std::unique_ptr<platform::SdlWindow> window = platform::SdlWindow::Open(config);
    if (!window) {
        std::fprintf(stderr, "bench_render: no window\n");
        return 1;
    }
    std::string why;
    std::unique_ptr<platform::GlRenderDevice> device = platform::GlRenderDevice::Create(*window, &why);
    if (!device) {
        std::fprintf(stderr, "bench_render: no drawing device: %s\n", why.c_str());
        return 1;
    }
    platform::GlRenderDevice* gl = device.get();
    Renderer* renderer = Renderer::Instance();
    renderer->CreateDevice(std::move(device));
    Physics::Instance()->SetCollisionHandlers(GetBattleCollisionHandlers());
    MeshLibrary::Instance();
    TextManager::Instance()->Init(gl);
    std::printf("llvmpipe threads: %s\n", threads ? threads : "(Mesa's choice)");

    const LightRecord light = SceneLight();
    const float frameTime = 1.0f / 60.0f;
    bool firstMap = true;
    for (const char* map : kMaps) {
        Terrain terrain;
        if (!terrain.Load(map)) {
            std::fprintf(stderr, "bench_render: %s did not load\n", map);
            return 1;
        }
        const Clock::time_point uploadStart = Clock::now();
        renderer->UploadMap(terrain);
        const double uploadMs = Milliseconds(uploadStart);
        const Clock::time_point relightStart = Clock::now();
        terrain.Relight(&light, kGroundAmbient);
        const double relightMs = Milliseconds(relightStart);
        const std::size_t units = PopulateBattle(terrain);
        Camera camera;
        camera.GetView().SetEye({61.25f, 87.5f, 61.25f});
        camera.GetView().SetAt({});
        camera.GetView().SetAspect(1024.0f / 768.0f);
        camera.SetSpeed(0.1f);
        camera.AddCommand(kCameraOrbitRight);
        int drawCalls = 0;
        for (int frame = 0; frame < kWarmUpFrames; ++frame) {
            renderer->RenderGame({&camera, &terrain, &light, frameTime});
        }
        const Clock::time_point start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        for (int frame = 0; frame < kFrames; ++frame) {
            TextManager::Instance()->DrawText("Kostrivane", 20, 20, "GameOverFont", kDefaultTextColor);
            renderer->RenderGame({&camera, &terrain, &light, frameTime});
            drawCalls = gl->DrawCallsLastFrame();
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        std::printf("%-16s fps: %.1f (%.2f ms a frame, %.2f ms of processor time over all threads, %d draw calls, "
                    "%zu units, %zu scenery objects)\n",
                    map, kFrames / seconds, 1000.0 * seconds / kFrames, 1000.0 * cpuSeconds / kFrames, drawCalls, units,
                    Battle::Instance()->GetWorldObjects().size());
        const double frameMs = 1000.0 * seconds / kFrames;
        // Shells land around the middle army, one before each frame.
        double craterMs = 0.0;
        const Clock::time_point cratersStart = Clock::now();
        for (int frame = 0; frame < kCraterFrames; ++frame) {
            const float x = static_cast<float>(frame % 5) * 7.0f - 14.0f;
            const float z = static_cast<float>(frame / 5) * 7.0f - 14.0f;
            const Clock::time_point craterStart = Clock::now();
            terrain.Crater(6.0f, {x, terrain.HeightAt(x, z), z});
            craterMs += Milliseconds(craterStart);
            renderer->RenderGame({&camera, &terrain, &light, frameTime});
        }
        const double withCraterMs = Milliseconds(cratersStart) / kCraterFrames;
        std::printf("%-16s upload %.1f ms, relight %.2f ms, crater %.2f ms and its frame %.2f ms more than a plain "
                    "one\n",
                    "", uploadMs, relightMs, craterMs / kCraterFrames,
                    withCraterMs - craterMs / kCraterFrames - frameMs);
        const char* picture = std::getenv("KV_BENCH_PICTURE");
        if (firstMap && picture) {
            platform::RgbImage image;
            gl->ReadPicture(image);
            platform::WriteWholeFile(picture, platform::EncodePngRgb(image));
        }
        firstMap = false;
    }
    GameRules::Instance()->DeleteFlags();
    Battle::Instance()->Clear();
    Battle::Instance()->SetTerrain(nullptr);
    Physics::Instance()->SetTerrain(nullptr);
    renderer->ReleaseDevice();
    return 0;
}
