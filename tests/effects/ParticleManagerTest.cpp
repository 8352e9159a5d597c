// The particle manager: the spawners' bursts, the draw of the systems with
// something to show in their states and textures, and the clearing at a
// match's start.
#include "platform/NullRenderDevice.h"
#include "platform/Random.h"
#include "render/ParticleManager.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <array>
#include <string>
#include <vector>

using platform::NullRenderDevice;

namespace {

std::array<int, ParticleManager::kSystemCount> LiveCounts()
{
    std::array<int, ParticleManager::kSystemCount> counts{};
    for (int s = 0; s < ParticleManager::kSystemCount; ++s) {
        counts[static_cast<std::size_t>(s)] = ParticleManager::Instance()->GetSystem(s).CountActive();
    }
    return counts;
}

} // namespace

TEST_CASE("the particle manager bursts, draws what lives and clears")
{
    testing::DataDirectoryScope data;
    NullRenderDevice device;
    ParticleManager* particles = ParticleManager::Instance();
    particles->Init(device);
    platform::SeedRand(5);
    const Vec3 at(10.0f, 2.0f, -4.0f);
    const Vec3 up(0.0f, 1.0f, 0.0f);

    SUBCASE("a burst into a full pool keeps what fits and drops the rest")
    {
        for (int i = 0; i < 20; ++i) {
            particles->SpawnSelfDestructExplosion(at, up);
        }
        CHECK(LiveCounts()[2] == ParticleManager::GetPoolSize(2));
        CHECK(LiveCounts()[0] == ParticleManager::GetPoolSize(0));
    }
    SUBCASE("only systems with live particles draw, each in its texture, additive, and the states come back")
    {
        particles->SpawnTrail(at, up);
        particles->SpawnProjectileExplosion(at, up);
        device.ClearCalls();
        particles->RenderAll(device);
        CHECK(device.CallsStartingWith("DrawPrimitive") ==
              std::vector<std::string>{"DrawPrimitive PointList 0 1", "DrawPrimitive PointList 0 24"});
        const platform::DeviceState& state = device.GetState();
        using platform::RenderState;
        CHECK(state.Get(RenderState::DestBlend) == platform::kBlendInvSrcAlpha);
        CHECK(state.IsOn(RenderState::ZWriteEnable));
        CHECK_FALSE(state.IsOn(RenderState::AlphaBlendEnable));
        CHECK_FALSE(state.IsOn(RenderState::PointSpriteEnable));
        CHECK(state.textures[0] == nullptr);
    }
    SUBCASE("after clearing every pool is whole and the next draw shows nothing")
    {
        particles->SpawnSplashExplosion(at, up);
        particles->SpawnArtilleryTrail(at, up);
        particles->ClearAll();
        for (int s = 0; s < ParticleManager::kSystemCount; ++s) {
            CHECK(particles->GetSystem(s).CountFree() == ParticleManager::GetPoolSize(s));
        }
        device.ClearCalls();
        particles->RenderAll(device);
        CHECK(device.CallsStartingWith("Draw").empty());
    }
    particles->ReleaseAll();
}