// The cost of drawing the background battle: a 1024x768 offscreen picture of
// a map (all four in turn) under the menu camera's orbit, with its ground,
// edges, water, scenery, flags, the eight armies of the menus' battle and
// text, frame after frame as the game draws it, presented each time. Each map
// is drawn three ways, by turns in short blocks so a change in the machine's
// load falls on all three alike: the plain battle; with the nebula sky under
// it; and with the sky and a busy battle's particles (shell and shot trails
// every frame, a splash blast every half second, a self-destruct every second
// and a half, aged as the frames pass). Prints, for each, the frames per
// second, the wall-clock and processor milliseconds a frame and their
// difference from the plain frame, and the llvmpipe thread count it ran with
// (LP_NUM_THREADS; unset lets Mesa pick).
// KV_BENCH_PICTURE=<file.png> also saves the last frame, effects on, of the
// first map.
// The ground is relit as the game relights it; the blob shadows are on. Then
// the cost of the effects that come and go: the upload of a map (with its
// baked ground picture), the relight, a crater with the frame that follows
// it (the ground's buffers refilled and the minimap drawn again where the
// crater changed it), and a relight by another light with the frame that
// follows it (the whole minimap drawn again, as at a match's start).
// The short form draws a few frames of each.
#include "BenchRun.h"
#include "app/Game.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/BattleCollisions.h"
#include "game/GameRules.h"
#include "game/WorldPopulation.h"
#include "physics/Physics.h"
#include "platform/GlRenderDevice.h"
#include "platform/ImageFile.h"
#include "platform/Random.h"
#include "platform/SdlWindow.h"
#include "render/ParticleManager.h"
#include "render/Renderer.h"
#include "render/TextManager.h"
#include "world/MeshLibrary.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
struct Lengths {
    int warmUpFrames = 10;
    int cycles = 10;
    int blockFrames = 20;
    int particleWarmUpFrames = 180;
    int craterFrames = 25;
    int redrawFrames = 10;
};
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

enum class Effects { kNone, kSky, kSkyAndParticles };

const char* EffectsName(Effects effects)
{
    switch (effects) {
    case Effects::kNone:
        return "plain";
    case Effects::kSky:
        return "+sky";
    case Effects::kSkyAndParticles:
        return "+sky+particles";
    }
    return "?";
}

// A busy battle's sights for one frame: ten shells and ten shots in flight
// over the armies, and now and then a blast at one of them.
void SpawnBattleEffects(const Terrain& terrain, int frame)
{
    ParticleManager* const particles = ParticleManager::Instance();
    const auto ground = [&terrain](const Vec3& p, float above) {
        return Vec3(p.x, terrain.HeightAt(p.x, p.z) + above, p.z);
    };
    const float t = static_cast<float>(frame) / 60.0f;
    for (int i = 0; i < 10; ++i) {
        const Vec3& army = kBackgroundArmyPositions[static_cast<std::size_t>(i) % kBackgroundArmyPositions.size()];
        const float swing = std::sin(t + static_cast<float>(i));
        const Vec3 flight(army.x + 10.0f * swing, 0.0f, army.z - 10.0f * swing);
        particles->SpawnArtilleryTrail(ground(flight, 8.0f), {-0.7f, 0.2f, 0.7f});
        particles->SpawnTrail(ground(flight, 4.0f), {0.7f, 0.1f, -0.7f});
    }
    const Vec3& target = kBackgroundArmyPositions[static_cast<std::size_t>(platform::Rand()) % 8];
    if (frame % 30 == 0) {
        particles->SpawnSplashExplosion(ground(target, 0.0f), {0.0f, 1.0f, 0.0f});
    }
    if (frame % 90 == 45) {
        particles->SpawnSelfDestructExplosion(ground(target, 0.0f), {0.0f, 1.0f, 0.0f});
    }
    if (frame % 20 == 10) {
        particles->SpawnProjectileExplosion(ground(target, 0.0f), {0.0f, 1.0f, 0.0f});
    }
}

// What one configuration's frames took: wall-clock seconds, and the
// process's processor seconds (llvmpipe's threads included), which other
// programs on the machine disturb less.
struct Tally {
    double wall = 0.0;
    double cpu = 0.0;
    int frames = 0;
    int drawCalls = 0;
};

// One map's battle under the menu camera's orbit, drawn in blocks of frames
// with or without the effects.
class EffectsRun {
public:
    EffectsRun(Renderer& renderer, platform::GlRenderDevice& gl, const Terrain& terrain)
        : renderer_(renderer), gl_(gl), terrain_(terrain)
    {
        camera_.GetView().SetEye({61.25f, 87.5f, 61.25f});
        camera_.GetView().SetAt({});
        camera_.GetView().SetAspect(1024.0f / 768.0f);
        camera_.SetSpeed(0.1f);
        camera_.AddCommand(kCameraOrbitRight);
    }

    // frames frames with the effects; counted into tally when given.
    void Block(Effects effects, int frames, Tally* tally)
    {
        if (effects == Effects::kNone) {
            renderer_.ReleaseSky();
        } else if (!renderer_.GetSky().IsCreated()) {
            renderer_.CreateSky();
        }
        const Clock::time_point start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        for (int i = 0; i < frames; ++i) {
            Frame(effects);
        }
        if (tally) {
            tally->wall += std::chrono::duration<double>(Clock::now() - start).count();
            tally->cpu += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
            tally->frames += frames;
            tally->drawCalls = gl_.DrawCallsLastFrame();
        }
    }

private:
    void Frame(Effects effects)
    {
        // The particles stand still while they are not shown, so each
        // particle block goes on from the numbers the last one reached.
        if (effects == Effects::kSkyAndParticles) {
            SpawnBattleEffects(terrain_, particleFrame_++);
            ParticleManager::Instance()->UpdateAll(kFrameTime);
        }
        TextManager::Instance()->DrawText("Kostrivane", 20, 20, "GameOverFont", kDefaultTextColor);
        renderer_.RenderGame({&camera_, &terrain_, &light_, kFrameTime});
    }

    static constexpr float kFrameTime = 1.0f / 60.0f;
    Renderer& renderer_;
    platform::GlRenderDevice& gl_;
    const Terrain& terrain_;
    Camera camera_;
    const LightRecord light_ = SceneLight();
    int particleFrame_ = 0;
};

int LiveParticles()
{
    int live = 0;
    for (int s = 0; s < ParticleManager::kSystemCount; ++s) {
        live += ParticleManager::Instance()->GetSystem(s).CountActive();
    }
    return live;
}

} // namespace

int main(int argc, char** argv)
{
    const bool shortForm = bench::ShortForm(argc, argv);
    bench::RunLimit limit("bench_render", bench::RunSeconds(shortForm));
    const Lengths lengths = shortForm ? Lengths{2, 1, 2, 10, 2, 2} : Lengths{};
    limit.Stage("opening the window");
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
    ParticleManager::Instance()->Init(*gl);
    Physics::Instance()->SetCollisionHandlers(GetBattleCollisionHandlers());
    MeshLibrary::Instance();
    TextManager::Instance()->Init(gl);
    platform::SeedRand(2026);
    std::printf("llvmpipe threads: %s\n", threads ? threads : "(Mesa's choice)");

    bool firstMap = true;
    limit.Stage("drawing the maps");
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
        const LightRecord light = SceneLight();
        terrain.Relight(&light, kGroundAmbient);
        const double relightMs = Milliseconds(relightStart);
        const std::size_t units = PopulateBattle(terrain);
        ParticleManager::Instance()->ClearAll();
        EffectsRun run(*renderer, *gl, terrain);
        // Warm up, the particles up to their steady numbers; then the three
        // by turns in short blocks, so a change in the machine's load falls
        // on all of them alike.
        run.Block(Effects::kNone, lengths.warmUpFrames, nullptr);
        run.Block(Effects::kSkyAndParticles, lengths.particleWarmUpFrames, nullptr);
        std::array<Tally, 3> tallies{};
        for (int cycle = 0; cycle < lengths.cycles; ++cycle) {
            for (std::size_t e = 0; e < tallies.size(); ++e) {
                run.Block(static_cast<Effects>(e), lengths.blockFrames, &tallies[e]);
            }
        }
        const double plainMs = 1000.0 * tallies[0].wall / tallies[0].frames;
        const double plainCpuMs = 1000.0 * tallies[0].cpu / tallies[0].frames;
        for (std::size_t e = 0; e < tallies.size(); ++e) {
            const Tally& t = tallies[e];
            const double ms = 1000.0 * t.wall / t.frames;
            const double cpuMs = 1000.0 * t.cpu / t.frames;
            std::printf("%-16s %-15s fps: %5.1f (%6.2f ms a frame, %+6.2f ms on plain; processor %6.2f ms, %+6.2f ms; "
                        "%d draw calls, %zu units, %zu scenery objects)\n",
                        map, EffectsName(static_cast<Effects>(e)), t.frames / t.wall, ms, ms - plainMs, cpuMs,
                        cpuMs - plainCpuMs, t.drawCalls, units, Battle::Instance()->GetWorldObjects().size());
        }
        std::printf("%-16s %d particles live\n", map, LiveParticles());
        // The picture is of a frame with the effects on, before the craters
        // below change the ground.
        const char* picture = std::getenv("KV_BENCH_PICTURE");
        if (firstMap && picture) {
            run.Block(Effects::kSkyAndParticles, 1, nullptr);
            platform::RgbImage image;
            gl->ReadPicture(image);
            platform::WriteWholeFile(picture, platform::EncodePngRgb(image));
        }
        // Shells land around the middle army, one before each frame.
        double craterMs = 0.0;
        const Clock::time_point cratersStart = Clock::now();
        for (int frame = 0; frame < lengths.craterFrames; ++frame) {
            const float x = static_cast<float>(frame % 5) * 7.0f - 14.0f;
            const float z = static_cast<float>(frame / 5) * 7.0f - 14.0f;
            const Clock::time_point craterStart = Clock::now();
            terrain.Crater(6.0f, {x, terrain.HeightAt(x, z), z});
            craterMs += Milliseconds(craterStart);
            run.Block(Effects::kNone, 1, nullptr);
        }
        const double withCraterMs = Milliseconds(cratersStart) / lengths.craterFrames;
        std::printf("%-16s upload %.1f ms, relight %.2f ms, crater %.2f ms and its frame %.2f ms more than a plain "
                    "one\n",
                    "", uploadMs, relightMs, craterMs / lengths.craterFrames,
                    withCraterMs - craterMs / lengths.craterFrames - plainMs);
        // The sun swings a little either way, each frame after a relight by it.
        double lightMs = 0.0;
        const Clock::time_point redrawsStart = Clock::now();
        for (int frame = 0; frame < lengths.redrawFrames; ++frame) {
            LightRecord swung = SceneLight();
            swung.direction = Vec3Normalize({frame % 2 == 0 ? 1.5f : 2.5f, -2.0f, -3.0f});
            const Clock::time_point lightStart = Clock::now();
            terrain.Relight(&swung, kGroundAmbient);
            lightMs += Milliseconds(lightStart);
            run.Block(Effects::kNone, 1, nullptr);
        }
        const double withRedrawMs = Milliseconds(redrawsStart) / lengths.redrawFrames;
        std::printf("%-16s relight by another light %.2f ms and its frame (the whole minimap) %.2f ms more than a "
                    "plain one\n",
                    "", lightMs / lengths.redrawFrames, withRedrawMs - lightMs / lengths.redrawFrames - plainMs);
        firstMap = false;
    }
    GameRules::Instance()->DeleteFlags();
    Battle::Instance()->Clear();
    Battle::Instance()->SetTerrain(nullptr);
    Physics::Instance()->SetTerrain(nullptr);
    renderer->ReleaseDevice();
    return 0;
}
