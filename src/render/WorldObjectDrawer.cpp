// WorldObjectDrawer: textures, colour materials and the turns of the
// object models.
#include "render/WorldObjectDrawer.h"

#include "game/Flag.h"
#include "game/MeshObject.h"
#include "game/Projectile.h"
#include "render/MeshDrawer.h"

platform::Material WorldObjectDrawer::ColourMaterial(std::uint32_t colour)
{
    const auto channel = [colour](int shift) { return static_cast<float>((colour >> shift) & 0xFFu) / 255.0f; };
    const ColorValue own{channel(16), channel(8), channel(0), 1.0f};
    platform::Material m;
    m.diffuse = own;
    m.ambient = own;
    m.power = 30.0f;
    return m;
}

void WorldObjectDrawer::DrawMeshObject(const MeshObject& object)
{
    const ObjectMesh& mesh = object.GetMesh();
    device_.SetTexture(0, meshes_.GetObjectTexture(mesh));
    const Vec3 axes[1] = {object.GetSpinAxis()};
    const float angles[1] = {object.GetHeading()};
    meshes_.DrawObjectMesh(mesh, object.GetPosition(), axes, angles);
}

void WorldObjectDrawer::DrawFlag(const Flag& flag)
{
    device_.SetMaterial(ColourMaterial(flag.GetColour()));
    DrawMeshObject(flag);
}

void WorldObjectDrawer::DrawProjectile(const Projectile& projectile)
{
    const ObjectMesh& mesh = projectile.GetMesh();
    device_.SetTexture(0, meshes_.GetObjectTexture(mesh));
    device_.SetMaterial(ColourMaterial(projectile.GetColour()));
    // Debris is the moving object that collides with nothing. A flight
    // straight up or down has a zero pitch axis, and the turn about a zero
    // axis is no turn at all: such a shot is drawn untipped.
    const bool tips = projectile.GetCollisionType() != kCollisionNone;
    const Vec3 axes[2] = {projectile.GetSpinAxis(), projectile.GetPitchAxis()};
    const float angles[2] = {projectile.GetHeading(), projectile.GetPitch()};
    const std::size_t turns = tips ? 2 : 1;
    meshes_.DrawObjectMesh(mesh, projectile.GetPosition(), std::span(axes, turns), std::span(angles, turns));
}
