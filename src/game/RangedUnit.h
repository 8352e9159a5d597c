// What the two shooters share: the ballistic reach of a 45-degree shot, the
// walk closer when the target is out of reach, the launch of a projectile,
// and the flight from melee units instead of calling comrades.
#pragma once

#include "game/Unit.h"
#include "world/MeshLibrary.h"

class Projectile;

class RangedUnit : public Unit {
public:
    // The launch speed that carries a 45-degree shot over offset (target
    // minus shooter) under gravity; heightFactor weighs the height
    // difference. Not a number when no shot can make it (the target too
    // close below, or no gravity).
    static double LaunchSpeed(const Vec3& offset, double gravity, double heightFactor);

protected:
    RangedUnit(float x, float y, float z, UnitType type, Army* army, std::uint8_t index, std::uint8_t armyId,
               double heightFactor, double reachLimit);

    bool RetreatsFrom(const Unit& attacker) const override;

    double LaunchSpeedTo(const Vec3& offset) const;
    bool InReach(double speed) const;
    // Out of reach: busy for 0.3 s, then back to Engage, walking closer
    // meanwhile unless the unit aims at a ground point.
    void CloseIn(bool keepStarted);
    // Launches a projectile of mesh at speed from above the unit toward
    // offset, removed by its first ground contact or collision.
    Projectile* Fire(ObjectMeshType mesh, const Vec3& offset, double speed);

private:
    double heightFactor_ = 1.0;
    double reachLimit_ = 0.0;
};
