// WorldPopulation: scenery, start slots and flags from the map's lists.
#include "game/WorldPopulation.h"

#include "game/Flag.h"
#include "platform/Random.h"
#include "world/Terrain.h"

#include <algorithm>
#include <memory>

void PopulateWorldObjects(Battle& battle, const Terrain& terrain, GameMode mode)
{
    std::vector<std::unique_ptr<MeshObject>>& scenery = battle.GetWorldObjects();
    for (std::uint32_t i = 0; i < terrain.GetTreeCount(); ++i) {
        const Vec3 at = terrain.GetTreePosition(i);
        scenery.push_back(std::make_unique<MeshObject>(at.x, at.y, at.z, ObjectMeshType::Tree));
    }
    for (std::uint32_t i = 0; i < terrain.GetRockCount(); ++i) {
        const Vec3 at = terrain.GetRockPosition(i);
        scenery.push_back(std::make_unique<MeshObject>(at.x, at.y, at.z, ObjectMeshType::Rock));
    }

    std::array<StartSlot, kStartSlotCount>& slots = battle.GetStartSlots();
    // The map reader refuses more than eight; fewer leave slots unfilled.
    const std::uint32_t starts = terrain.GetStartCount();
    for (std::size_t i = 0; i < kStartSlotCount; ++i) {
        slots[i] = StartSlot{};
        if (i < starts) {
            slots[i].position = terrain.GetStartPosition(static_cast<std::uint32_t>(i));
            slots[i].filled = true;
        }
    }

    const ObjectMeshType flagMesh = mode == kModeStealTheBacon ? ObjectMeshType::Bacon : ObjectMeshType::Flag;
    const std::size_t kept = GetKeptFlagCount(mode, terrain.GetFlagCount());
    for (std::uint32_t i = 0; i < terrain.GetFlagCount(); ++i) {
        const Vec3 at = terrain.GetFlagPosition(i);
        auto flag = std::make_unique<Flag>(at.x, at.y, at.z, flagMesh, mode);
        flag->SetHeading(static_cast<float>(platform::Rand() % 628) / 100.0f);
        if (i < kept) {
            battle.GetFlags().push_back(std::move(flag));
        }
    }
}

std::size_t GetKeptFlagCount(GameMode mode, std::size_t mapFlags)
{
    switch (mode) {
    case kModeTerritories:
        return mapFlags;
    case kModeBodyCount:
        return 0;
    default:
        return std::min<std::size_t>(mapFlags, 1);
    }
}
