// UnitDrawer: the health skin, the army material and the animated model.
#include "render/UnitDrawer.h"

#include "core/ErrorLog.h"
#include "game/Army.h"
#include "game/Unit.h"
#include "render/MeshDrawer.h"
#include "world/MeshLibrary.h"

#include <string>

platform::Material UnitDrawer::ArmyMaterial(std::uint32_t colour)
{
    const auto channel = [colour](int shift) { return static_cast<float>((colour >> shift) & 0xFFu) / 255.0f; };
    const ColorValue army{channel(16), channel(8), channel(0), 1.0f};
    platform::Material m;
    m.diffuse = army;
    m.ambient = army;
    m.specular = {1.0f, 1.0f, 1.0f, 1.0f};
    m.power = 30.0f;
    return m;
}

std::string UnitDrawer::HealthTexturePath(int level)
{
    return "Interface/Textures/LifeTexture" + std::to_string(level) + ".bmp";
}

void UnitDrawer::LoadHealthTextures()
{
    healthTexturesLoaded_ = true;
    for (int level = 0; level < kHealthLevels; ++level) {
        std::string why;
        healthTextures_[level] = device_.CreateTextureFromFile(HealthTexturePath(level), &why);
        if (!healthTextures_[level]) {
            ErrorLog("Meshes.txt", true).Warning("Texture " + HealthTexturePath(level) + " not loaded: " + why);
        }
    }
}

void UnitDrawer::Draw(const Unit& unit)
{
    if (!healthTexturesLoaded_) {
        LoadHealthTextures();
    }
    const std::uint32_t colour = unit.GetArmy() ? unit.GetArmy()->GetColour() : 0xFFFFFFFFu;
    device_.SetMaterial(ArmyMaterial(colour));
    device_.SetTexture(0, healthTextures_[static_cast<std::size_t>(unit.GetHealthLevel())].get());
    const std::vector<AnimatedMesh>& animations = MeshLibrary::Instance()->GetUnitAnimations(unit.GetType());
    const AnimationController& animation = unit.GetAnimationController();
    if (animation.GetAnimation() >= animations.size()) {
        return;
    }
    meshes_.DrawAnimatedMesh(animations[animation.GetAnimation()], unit.GetPosition(), unit.GetSpinAxis(),
                             unit.GetHeading(), animation.GetElapsed());
}
