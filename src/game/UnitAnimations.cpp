// UnitAnimations: the lengths of the unit models' animations.
#include "game/UnitAnimations.h"

#include "world/MeshLibrary.h"

#include <algorithm>
#include <array>

namespace {

std::array<AnimationPeriods, kUnitMeshSetCount> ReadPeriods()
{
    std::array<AnimationPeriods, kUnitMeshSetCount> table{};
    for (int set = 0; set < kUnitMeshSetCount; ++set) {
        const std::vector<AnimatedMesh>& meshes = MeshLibrary::Instance()->GetUnitAnimations(set);
        AnimationPeriods& periods = table[static_cast<std::size_t>(set)];
        periods.count = std::min(meshes.size(), AnimationPeriods::kMaxAnimations);
        for (std::size_t id = 0; id < periods.count; ++id) {
            periods.seconds[id] = meshes[id].GetPeriod();
        }
    }
    return table;
}

} // namespace

const AnimationPeriods& GetUnitAnimationPeriods(int meshSet)
{
    static const std::array<AnimationPeriods, kUnitMeshSetCount> table = ReadPeriods();
    static const AnimationPeriods none;
    if (meshSet < 0 || meshSet >= kUnitMeshSetCount) {
        return none;
    }
    return table[static_cast<std::size_t>(meshSet)];
}
