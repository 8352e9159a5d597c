// ParticleManager: the presets, the textures and the spawners.
#include "render/ParticleManager.h"

#include "core/ErrorLog.h"

#include <string>

namespace {

// The secondary bursts of the explosions rise this far above the blast.
constexpr float kSecondaryRise = 3.0f;

constexpr const char* kTexturePaths[kParticleTextureCount] = {
    "Maps/Particles/Smoke.png",
    "Maps/Particles/Explosion.png",
    "Maps/Particles/Energy.png",
};

struct Preset {
    int poolSize;
    ParticleParams params;
};

// position, direction, acceleration, spread, speed min and range, life min
// and range, size, start and end colour, texture.
const Preset kPresets[ParticleManager::kSystemCount] = {
    {2048, {{}, {0, 1, 0}, {0, -10, 0}, 0.2f, 10.0f, 1.0f, 0.5f, 2.0f, 0.4f, 0x88FFFF11u, 0x00FF0000u, kParticleSmoke}},
    {64,
     {{}, {0, 1, 0}, {0, -2, 0}, 0.4f, 1.0f, 1.0f, 0.5f, 2.0f, 10.0f, 0x88FF6600u, 0x00FF0000u, kParticleExplosion}},
    {32,
     {{}, {0, 1, 0}, {0, -2, 0}, 0.4f, 1.0f, 1.0f, 0.5f, 2.0f, 15.0f, 0x88FF6600u, 0x00FF0000u, kParticleExplosion}},
    {256, {{}, {0, 0.1f, 0}, {0, 0, 0}, 0.2f, 0.8f, 1.0f, 2.0f, 4.0f, 6.0f, 0x88999999u, 0x00333333u, kParticleSmoke}},
    {2048,
     {{}, {0, 0.1f, 0}, {0, -0.1f, 0}, 0.2f, 0.4f, 1.0f, 0.5f, 1.0f, 0.2f, 0xFF888888u, 0x00111111u, kParticleSmoke}},
    {2048,
     {{}, {0, 0.1f, 0}, {0, -0.1f, 0}, 0.2f, 0.4f, 1.0f, 1.0f, 1.0f, 0.2f, 0x88FF5511u, 0x00FF0000u, kParticleEnergy}},
    {256, {{}, {0, 1, 0}, {0, -10, 0}, 0.5f, 3.0f, 3.0f, 0.5f, 2.0f, 1.0f, 0x88000088u, 0x00FFFFFFu, kParticleEnergy}},
};

} // namespace

const ParticleParams& ParticleManager::GetPreset(int index)
{
    return kPresets[index].params;
}

int ParticleManager::GetPoolSize(int index)
{
    return kPresets[index].poolSize;
}

void ParticleManager::Init(platform::RenderDevice& device)
{
    for (std::size_t t = 0; t < textures_.size(); ++t) {
        std::string why;
        textures_[t] = device.CreateTextureFromFile(kTexturePaths[t], &why);
        if (!textures_[t]) {
            ErrorLog("Renderer.txt", true)
                .Warning(std::string("Particle texture ") + kTexturePaths[t] + " not loaded: " + why);
        }
    }
    for (int s = 0; s < kSystemCount; ++s) {
        systems_[static_cast<std::size_t>(s)].Init(device, kPresets[s].params, kPresets[s].poolSize);
    }
}

void ParticleManager::UpdateAll(float seconds)
{
    for (ParticleSystem& system : systems_) {
        system.Update(seconds);
    }
}

void ParticleManager::RenderAll(platform::RenderDevice& device)
{
    // The sprites are world points; nothing before leaves a reliable world
    // transform behind.
    device.SetTransform(platform::TransformKind::World, Matrix::Identity());
    for (ParticleSystem& system : systems_) {
        if (!system.HasLive()) {
            continue;
        }
        const std::uint32_t index = system.GetTextureIndex();
        device.SetTexture(0, index < textures_.size() ? textures_[index].get() : nullptr);
        system.Render(device);
    }
    device.SetTexture(0, nullptr);
}

void ParticleManager::ClearAll()
{
    for (ParticleSystem& system : systems_) {
        system.KillAll();
    }
}

void ParticleManager::ReleaseAll()
{
    for (ParticleSystem& system : systems_) {
        system.Release();
    }
    for (std::unique_ptr<platform::Texture>& texture : textures_) {
        texture.reset();
    }
}

void ParticleManager::Burst(int system, const Vec3& at, const Vec3& direction, int count)
{
    ParticleSystem& s = systems_[static_cast<std::size_t>(system)];
    s.SetPosition(at);
    s.SetDirection(direction);
    s.Emit(count);
}

void ParticleManager::BurstAbove(int system, const Vec3& at, int count)
{
    ParticleSystem& s = systems_[static_cast<std::size_t>(system)];
    s.SetPosition(at + Vec3(0.0f, kSecondaryRise, 0.0f));
    s.Emit(count);
}

void ParticleManager::SpawnSplashExplosion(const Vec3& at, const Vec3& direction)
{
    Burst(0, at, direction, 256);
    BurstAbove(1, at, 6);
    BurstAbove(3, at, 10);
}

void ParticleManager::SpawnSelfDestructExplosion(const Vec3& at, const Vec3& direction)
{
    Burst(0, at, direction, 256);
    BurstAbove(2, at, 6);
    BurstAbove(3, at, 20);
}

void ParticleManager::SpawnTrail(const Vec3& at, const Vec3& direction)
{
    Burst(4, at, direction, 1);
}

void ParticleManager::SpawnArtilleryTrail(const Vec3& at, const Vec3& direction)
{
    Burst(4, at, direction, 1);
    Burst(5, at, direction, 2);
}

void ParticleManager::SpawnProjectileExplosion(const Vec3& at, const Vec3& direction)
{
    Burst(6, at, direction, 24);
}
