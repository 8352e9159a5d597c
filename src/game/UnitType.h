// The five unit types and their fixed statistics: hit points, the distance at
// which an engaging unit starts its attack, the damage one of its hits (or
// its explosion at full strength) does, and what a unit costs its army.
#pragma once

#include <cstdint>

enum UnitType : std::uint32_t {
    kSmashtor = 0,
    kTriangoloid = 1,
    kTrajectagon = 2,
    kArtillerator = 3,
    kDetagon = 4,
    kUnitTypeCount = 5,
};

struct UnitTypeStats {
    std::int32_t hitPoints = 0;
    // Columns 2, 3 and 5 travel with the table but no rule reads them.
    float column2 = 0.0f;
    std::int32_t column3 = 0;
    std::int32_t attackRange = 0;
    std::int32_t column5 = 0;
    std::int32_t damage = 0;
};

// Types can arrive from the network and the menus as plain numbers.
inline constexpr bool IsValidUnitType(std::uint32_t type)
{
    return type < kUnitTypeCount;
}

// type must be valid.
const UnitTypeStats& GetUnitTypeStats(UnitType type);
// "Smashtor" ... "Detagon": also the name of the type's physical data file.
const char* GetUnitTypeName(UnitType type);
// Points an army pays for one unit of type (every type costs 1, so points
// count units).
std::uint32_t GetUnitCost(UnitType type);
