// The particle manager: the spawners' bursts, the draw of the systems with
// something to show in their states and textures, and the clearing at a
// match's start.
#include "platform/NullRenderDevice.h"
#include "platform/Random.h"
#include "render/ParticleManager.h"
#include "render/Renderer.h"
#include "world/MapData.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
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

    // Only systems with live particles draw, each in its texture, additive, and the states come back.
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

    // A burst into a full pool keeps what fits, and after clearing every pool is whole and draws nothing.
    for (int i = 0; i < 20; ++i) {
        particles->SpawnSelfDestructExplosion(at, up);
    }
    CHECK(LiveCounts()[2] == ParticleManager::GetPoolSize(2));
    CHECK(LiveCounts()[0] == ParticleManager::GetPoolSize(0));
    particles->SpawnSplashExplosion(at, up);
    particles->SpawnArtilleryTrail(at, up);
    particles->ClearAll();
    for (int s = 0; s < ParticleManager::kSystemCount; ++s) {
        CHECK(particles->GetSystem(s).CountFree() == ParticleManager::GetPoolSize(s));
    }
    device.ClearCalls();
    particles->RenderAll(device);
    CHECK(device.CallsStartingWith("Draw").empty());

    particles->ReleaseAll();
}

// Where the sky comes in the frame is the renderer test's part, how it keeps
// off the depth buffer the sky test's.
TEST_CASE("a frame draws the particles after the water, and releasing the device takes them and the sky")
{
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    auto owned = std::make_unique<NullRenderDevice>();
    NullRenderDevice* device = owned.get();
    Renderer* renderer = Renderer::Instance();
    renderer->CreateDevice(std::move(owned));
    ParticleManager::Instance()->Init(*device);
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(MakeHeightFieldMap(
        400.0f, 3, [](float, float) { return 1.0f; }, 5.0f)));
    renderer->UploadMap(terrain);
    renderer->CreateSky();
    ParticleManager::Instance()->SpawnProjectileExplosion({0.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    // The new map's minimap is drawn into its own picture, a pass of its own.
    renderer->GetTerrainRenderer().Sync(*device, terrain);
    device->ClearCalls();
    REQUIRE(renderer->RenderGame({nullptr, &terrain, nullptr, 0.1f}));

    const std::vector<std::string>& calls = device->Calls();
    const auto at = [&calls](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    CHECK(at("DrawPrimitive TriangleList 0 2") < at("DrawPrimitive PointList 0 24")); // the water, then the burst
    CHECK(at("DrawPrimitive PointList 0 24") < at("EndScene"));
    // Releasing the device takes the particles' pools and the sky with it.
    renderer->ReleaseDevice();
    CHECK_FALSE(ParticleManager::Instance()->GetSystem(6).IsInitialised());
    CHECK_FALSE(renderer->GetSky().IsCreated());
}
