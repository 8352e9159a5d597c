// Draws what stands or flies on the map with one object model: scenery,
// flags and projectiles, each with its own texture, placed by its body.
// Flags and projectiles are lit in their own colour; scenery keeps the
// material the frame set for blended objects.
#pragma once

#include "platform/RenderDevice.h"

#include <cstdint>

class Flag;
class MeshDrawer;
class MeshObject;
class Projectile;

class WorldObjectDrawer {
public:
    WorldObjectDrawer(platform::RenderDevice& device, MeshDrawer& meshes) : device_(device), meshes_(meshes) {}

    // Diffuse and ambient the colour's red, green and blue, opaque, power 30.
    static platform::Material ColourMaterial(std::uint32_t colour);

    // The model's texture, then the model turned by the body's heading
    // about its spin axis.
    void DrawMeshObject(const MeshObject& object);
    // In the flag's colour (who holds it).
    void DrawFlag(const Flag& flag);
    // In its colour; debris tumbles by its body's turn, a shot or shell
    // turns by its heading and then tips by its flight's pitch.
    void DrawProjectile(const Projectile& projectile);

private:
    platform::RenderDevice& device_;
    MeshDrawer& meshes_;
};
