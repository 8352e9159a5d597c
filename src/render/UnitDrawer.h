// Draws one unit: its type's model at the pose of its current animation,
// skinned with the health texture of its level (ten skins, from near death
// to full health) and lit in its army's colour. The health textures are
// loaded once, with the first unit drawn.
#pragma once

#include "platform/RenderDevice.h"

#include <array>
#include <cstdint>
#include <memory>

class MeshDrawer;
class Unit;

class UnitDrawer {
public:
    static constexpr int kHealthLevels = 10;

    UnitDrawer(platform::RenderDevice& device, MeshDrawer& meshes) : device_(device), meshes_(meshes) {}

    // Diffuse and ambient the army's colour (its red, green and blue;
    // opaque), white specular of power 30, no glow.
    static platform::Material ArmyMaterial(std::uint32_t colour);
    // "Interface/Textures/LifeTexture<level>.bmp".
    static std::string HealthTexturePath(int level);

    // The army's material, the health skin, then the model; turned by the
    // unit's heading about its spin axis, so a unit thrown by a blast
    // tumbles until it lands.
    void Draw(const Unit& unit);

private:
    void LoadHealthTextures();

    platform::RenderDevice& device_;
    MeshDrawer& meshes_;
    // A texture that failed to load stays null (the unit is drawn untextured)
    // and is not tried again.
    std::array<std::unique_ptr<platform::Texture>, kHealthLevels> healthTextures_;
    bool healthTexturesLoaded_ = false;
};
