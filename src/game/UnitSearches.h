// The searches over the units of every army of the battle that unit
// behaviour, the computer armies and the player's controls share. Distances
// are in three dimensions; ties keep the first unit in army and unit order.
#pragma once

#include "platform/math/Vector.h"

#include <vector>

class Army;
class Physical;
class Unit;

// Appends every unit of the other armies closer than 20.0 to point.
void FindEnemyUnitsNear(const Army* excluded, std::vector<Unit*>& out, const Vec3& point);
// The nearest unit of the other armies (within 1e6), or null.
Unit* FindNearestEnemyUnit(const Army* excluded, const Vec3& point);
// Appends the army's units closer to unit than the mode's alert radius
// (unit itself included when it belongs to army).
void FindArmyUnitsInAlertRadius(const Army* army, std::vector<Unit*>& out, const Unit& unit);
// Writes the army's unit nearest to object strictly within maxDistance into
// out; out is left as it was when there is none.
void FindNearestUnitOfArmy(const Army* army, const Physical& object, Unit*& out, double maxDistance);
