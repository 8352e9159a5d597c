// A particle system's pool: bursts cut to what is free, aging and recycling
// on the frame clock, the kill that keeps the rest of the list, the vertices
// newest first in their fading colour.
#include "core/Stopwatch.h"
#include "platform/NullRenderDevice.h"
#include "platform/Random.h"
#include "render/ParticleSystem.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <vector>

namespace {

// Still particles of a fixed life, so a test knows when each dies.
ParticleParams StillParams(float life)
{
    ParticleParams params;
    params.lifeMin = life;
    params.startColour = 0xFFFFFFFFu;
    params.endColour = 0x00000000u;
    return params;
}

std::vector<ParticleVertex> Vertices(const ParticleSystem& system)
{
    std::vector<ParticleVertex> vertices(static_cast<std::size_t>(system.GetPoolSize()));
    vertices.resize(system.WriteVertices(vertices));
    return vertices;
}

} // namespace

TEST_CASE("a particle pool emits what is free, ages on the frame clock and takes its dead back")
{
    platform::NullRenderDevice device;
    ParticleSystem system;
    platform::SeedRand(77);

    // An empty or unmade system draws nothing and sets no state, and a burst emits only what is free.
    system.Render(device);
    system.Init(device, StillParams(1.0f), 4);
    device.ClearCalls();
    system.Render(device);
    CHECK(device.Calls().empty());
    system.Emit(2);
    system.Render(device);
    CHECK(device.CallsStartingWith("DrawPrimitive") == std::vector<std::string>{"DrawPrimitive PointList 0 2"});
    CHECK(system.Emit(256) == 2);
    CHECK(system.Emit(1) == 0);
    CHECK(system.CountActive() == 4);
    system.KillAll();
    CHECK(system.CountFree() == 4);
    CHECK_FALSE(system.HasLive());
    system.Release();
    CHECK_FALSE(system.IsInitialised());
    CHECK(system.Emit(1) == 0);

    // A particle as old as its life still shows and goes at the first update past it.
    system.Init(device, StillParams(0.5f), 4);
    system.Emit(1);
    system.Update(0.25f);
    system.Update(0.25f);
    CHECK(system.CountActive() == 1);
    // Its colour has reached the end colour exactly then.
    CHECK(Vertices(system).at(0).colour == 0x00000000u);
    system.Update(0.001f);
    CHECK(system.CountActive() == 0);
    CHECK(system.CountFree() == 4);

    // Killing the middle particle keeps the one after it, newest first.
    // The free list hands out the pool from its end: 7, then 6, then 5.
    system.Init(device, StillParams(1.0f), 8);
    for (const float x : {1.0f, 2.0f, 3.0f}) {
        system.SetPosition({x, 0.0f, 0.0f});
        system.Emit(1);
    }
    CHECK(Vertices(system).front().x == 3.0f);
    system.Kill(5); // the successor of the newest: the second one
    const std::vector<ParticleVertex> left = Vertices(system);
    REQUIRE(left.size() == 2);
    CHECK(left[0].x == 3.0f);
    CHECK(left[1].x == 1.0f);
    CHECK(system.CountFree() == 6);
    system.Kill(Particle::kNone);
    CHECK(Vertices(system).front().x == 1.0f);

    // Over a long run on the manual clock no particle is lost and all come back.
    testing::ManualClockScope clock;
    ParticleParams params = StillParams(0.5f);
    params.lifeRange = 2.0f; // lives vary, so particles die out of order
    params.speedMin = 1.0f;
    params.spread = 0.5f;
    params.direction = {0.0f, 1.0f, 0.0f};
    system.Init(device, params, 64);
    std::int64_t frameStart = 0;
    TimerStart(frameStart);
    for (int frame = 0; frame < 600; ++frame) {
        clock.Advance(1.0 / 60.0);
        const float seconds = TimerLap(frameStart);
        system.Emit(frame < 300 ? 3 : 0);
        system.Update(seconds);
        REQUIRE(system.CountActive() + system.CountFree() == 64);
    }
    CHECK_FALSE(system.HasLive());
    CHECK(system.Emit(100) == 64);
}