// What a unit is doing. Each order has a handler that the unit's army runs
// every frame; network order messages carry these same numbers.
#pragma once

#include <cstdint>

enum UnitOrder : std::uint32_t {
    kOrderIdle = 0,
    kOrderMove = 1,    // walking its waypoints
    kOrderEngage = 2,  // seeking and closing in on an enemy
    kOrderAttack = 3,  // running its type's attack
    kOrderStand = 4,   // nothing
    kOrderRetreat = 5, // fleeing a melee attacker
    kOrderDying = 6,   // counted, scattered and removed by its handler
    kOrderBusy = 7,    // waiting for an animation, a physics event or the order queue
    kOrderCount = 8,
};

// Orders can come from the network as any 32-bit value; they index a table.
inline constexpr bool IsValidUnitOrder(std::uint32_t order)
{
    return order < kOrderCount;
}
