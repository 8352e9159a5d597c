// A small world for the physics tests: a private working directory for the
// logs, a 400-unit map built in memory, silent sound, an empty engine, and
// bodies that either walk like units or float free of the ground.
#pragma once

#include "core/Game.h"
#include "physics/Physical.h"
#include "physics/Physics.h"
#include "platform/AudioBackend.h"
#include "platform/AudioNullBackend.h"
#include "render/MapData.h"
#include "render/Terrain.h"

#include "TestSupport.h"

#include <functional>
#include <memory>

namespace physics_test {

inline constexpr float kMapSize = 400.0f;

inline float FlatGround(float, float)
{
    return 0.0f;
}

class TestWorld {
public:
    explicit TestWorld(const std::function<float(float, float)>& height = FlatGround, float waterLevel = -50.0f)
    {
        platform::SetAudioBackendFactory([] { return std::make_unique<platform::AudioNullBackend>(); });
        Game::Instance()->GetTerrain().LoadFromData(MakeHeightFieldMap(kMapSize, 101, height, waterLevel));
        Physics::Instance()->Clear();
        Physics::Instance()->SetCollisionHandlers({});
        Game::Instance()->SetFrameTime(1.0f / 60.0f);
    }
    ~TestWorld()
    {
        Physics::Instance()->Clear();
        Physics::Instance()->SetCollisionHandlers({});
    }
    TestWorld(const TestWorld&) = delete;
    TestWorld& operator=(const TestWorld&) = delete;

    static void Step(float dt, int count = 1)
    {
        Game::Instance()->SetFrameTime(dt);
        for (int i = 0; i < count; ++i) {
            Physics::Instance()->Step();
        }
    }

    const std::filesystem::path& Directory() const { return directory_.Path(); }

private:
    testing::TempDirectory directory_;
};

// A registered body that moves in straight lines: no gravity, drag,
// friction or steering, so each step moves it by exactly velocity * dt.
inline std::unique_ptr<Physical> MakeFreeBody(const Vec3& position, const Vec3& velocity = Vec3())
{
    auto body = std::make_unique<Physical>(position.x, position.y, position.z, nullptr);
    body->SetGravityEnabled(false);
    body->SetDragEnabled(false);
    body->SetFrictionEnabled(false);
    body->SetSteering(false);
    body->SetVelocity(velocity);
    body->SetCollisionType(kCollisionUnit);
    Physics::Instance()->AddObject(body.get());
    return body;
}

// A registered body standing on the ground with a unit's constants.
inline std::unique_ptr<Physical> MakeUnitBody(const char* path, float x, float z)
{
    const float y = Game::Instance()->GetTerrain().HeightAt(x, z);
    auto body = std::make_unique<Physical>(x, y, z, path);
    body->SetCollisionType(kCollisionUnit);
    Physics::Instance()->AddObject(body.get());
    return body;
}

} // namespace physics_test
