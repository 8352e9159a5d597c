// Shots in flight: turned by their heading, tipped by their pitch, and
// upright when they fly straight up, where the pitch has no axis.
#include "../units/BattleTestWorld.h"
#include "platform/NullRenderDevice.h"
#include "render/MeshDrawer.h"
#include "render/WorldObjectDrawer.h"
#include "world/ObjectMesh.h"

#include <doctest/doctest.h>

#include <cmath>
#include <memory>

namespace {

void CheckSameMatrix(const Matrix& actual, const Matrix& expected)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            CAPTURE(r);
            CAPTURE(c);
            REQUIRE(std::isfinite(actual.m[r][c]));
            CHECK(actual.m[r][c] == doctest::Approx(expected.m[r][c]).epsilon(1e-5));
        }
    }
}

} // namespace

TEST_CASE("a shot is drawn turned by its heading and tipped by its flight, upright when it flies straight up")
{
    units_test::BattleWorld world;
    platform::NullRenderDevice device;
    MeshDrawer meshes(device);
    WorldObjectDrawer drawer(device, meshes);
    Battle* const battle = Battle::Instance();
    const Projectile& up = *battle->AddProjectile(
        std::make_unique<Projectile>(Vec3(0, 5, 0), ObjectMeshType::Bullet, Vec3(0, 1, 0), 2.0f, nullptr));
    const Projectile& arcing = *battle->AddProjectile(
        std::make_unique<Projectile>(Vec3(20, 5, 0), ObjectMeshType::Bullet, Vec3(1, 1, 0), 2.0f, nullptr));
    world.Frame(3);
    REQUIRE(battle->GetProjectiles().size() == 2);

    CHECK(Vec3Length(up.GetPitchAxis()) == 0.0f);
    drawer.DrawProjectile(up);
    const Vec3 spin[1] = {up.GetSpinAxis()};
    const float heading[1] = {up.GetHeading()};
    CheckSameMatrix(device.GetState().GetTransform(platform::TransformKind::World),
                    ObjectMesh::GetWorldMatrix(up.GetPosition(), spin, heading));

    REQUIRE(Vec3Length(arcing.GetPitchAxis()) > 0.5f);
    REQUIRE(std::fabs(arcing.GetPitch()) > 0.1f);
    drawer.DrawProjectile(arcing);
    const Vec3 turns[2] = {arcing.GetSpinAxis(), arcing.GetPitchAxis()};
    const float angles[2] = {arcing.GetHeading(), arcing.GetPitch()};
    CheckSameMatrix(device.GetState().GetTransform(platform::TransformKind::World),
                    ObjectMesh::GetWorldMatrix(arcing.GetPosition(), turns, angles));
}
