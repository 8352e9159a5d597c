// The unit-type table.
#include "game/UnitType.h"

#include <array>

namespace {

constexpr std::array<UnitTypeStats, kUnitTypeCount> kStats = {{
    {10, 3.0f, 5, 2, 0, 1},
    {12, 3.5f, 5, 7, 0, 1},
    {6, 2.5f, 5, 60, 20, 2},
    {10, 2.2f, 5, 40, 10, 10},
    {10, 2.0f, 5, 3, 0, 15},
}};

constexpr std::array<const char*, kUnitTypeCount> kNames = {"Smashtor", "Triangoloid", "Trajectagon", "Artillerator",
                                                            "Detagon"};

constexpr std::array<std::uint32_t, kUnitTypeCount> kCosts = {1, 1, 1, 1, 1};

} // namespace

const UnitTypeStats& GetUnitTypeStats(UnitType type)
{
    return kStats[type];
}

const char* GetUnitTypeName(UnitType type)
{
    return kNames[type];
}

std::uint32_t GetUnitCost(UnitType type)
{
    return kCosts[type];
}
