// What the battle tells the other machines of a network match: orders given,
// units destroyed, explosions. The network lives above the simulation, so
// the battle only reports the event; the application hands the battle an
// implementation (Battle::SetNetwork) that queues the records. Without one
// (single play, tests) nothing is sent.
#pragma once

#include "platform/math/Vector.h"

class Unit;

class BattleNetwork {
public:
    virtual ~BattleNetwork() = default;

    virtual void MoveOrder(const Unit& unit, const Vec3& point) = 0;
    // The unit's current targets, their position and its assigned flag.
    virtual void AttackOrder(const Unit& unit) = 0;
    virtual void StartAttack(const Unit& unit) = 0;
    virtual void UnitDestroyed(const Unit& unit) = 0;
    virtual void Explosion(const Vec3& centre, double radius, double strength, float crater) = 0;
};
