// The game's explosions, smoke and projectile trails: seven fixed particle
// systems and the three particle textures, made once the drawing device
// exists. The battle never touches a system: its effects arrive through the
// spawners (the application hands the battle a hook that calls them), each a
// burst or two of fixed sizes from fixed systems.
//
//   system  pool  what                          texture
//   0       2048  blast sparks, yellow to red   smoke
//   1         64  splash fireballs              explosion
//   2         32  self-destruct fireballs       explosion
//   3        256  slow grey smoke clouds        smoke
//   4       2048  grey projectile trails        smoke
//   5       2048  glowing shell trails          energy
//   6        256  impact splashes, blue         energy
#pragma once

#include "core/Singleton.h"
#include "platform/RenderDevice.h"
#include "render/ParticleSystem.h"

#include <array>
#include <memory>

class ParticleManager : public Singleton<ParticleManager> {
    friend class Singleton<ParticleManager>;

public:
    static constexpr int kSystemCount = 7;

    // Loads the textures ("Maps/Particles/Smoke.png", "Explosion.png",
    // "Energy.png"; a missing one is logged and its sprites draw white) and
    // makes every system's pool and buffer, in index order.
    void Init(platform::RenderDevice& device);
    // Every system's particles by the frame time.
    void UpdateAll(float seconds);
    // Every system with live particles, in index order, in its texture, with
    // the world transform at identity; stage 0 is left empty.
    void RenderAll(platform::RenderDevice& device);
    // Every particle back to its pool (a match starts clean).
    void ClearAll();
    // The pools, buffers and textures go, before the device does.
    void ReleaseAll();

    // The effects, each at a point with a direction. The explosions' second
    // bursts rise 3 units above the point in their systems' own directions.
    void SpawnSplashExplosion(const Vec3& at, const Vec3& direction);
    void SpawnSelfDestructExplosion(const Vec3& at, const Vec3& direction);
    void SpawnTrail(const Vec3& at, const Vec3& direction);
    void SpawnArtilleryTrail(const Vec3& at, const Vec3& direction);
    void SpawnProjectileExplosion(const Vec3& at, const Vec3& direction);

    const ParticleSystem& GetSystem(int index) const { return systems_[static_cast<std::size_t>(index)]; }
    // The preset a system starts from, and the pool it gets.
    static const ParticleParams& GetPreset(int index);
    static int GetPoolSize(int index);

private:
    ParticleManager() = default;

    // A burst at a point along a direction; a secondary burst 3 units above
    // a point, in the system's own direction.
    void Burst(int system, const Vec3& at, const Vec3& direction, int count);
    void BurstAbove(int system, const Vec3& at, int count);

    std::array<ParticleSystem, kSystemCount> systems_;
    std::array<std::unique_ptr<platform::Texture>, kParticleTextureCount> textures_;
};
