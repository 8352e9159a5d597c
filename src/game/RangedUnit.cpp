// RangedUnit: reach, closing in and firing.
#include "game/RangedUnit.h"

#include "game/Battle.h"
#include "game/Projectile.h"

#include <cmath>
#include <limits>

namespace {

// A shot leaves this far above the shooter's base.
constexpr Vec3 kMuzzle{0.0f, 2.0f, 0.0f};
constexpr float kCloseInPause = 0.3f;

} // namespace

RangedUnit::RangedUnit(float x, float y, float z, UnitType type, Army* army, std::uint8_t index, std::uint8_t armyId,
                       double heightFactor, double reachLimit)
    : Unit(x, y, z, type, army, index, armyId), heightFactor_(heightFactor), reachLimit_(reachLimit)
{
}

double RangedUnit::LaunchSpeed(const Vec3& offset, double gravity, double heightFactor)
{
    const double h = std::hypot(static_cast<double>(offset.x), static_cast<double>(offset.z));
    // Long shots are aimed a little farther and short ones a little nearer,
    // which the straight formula misses on the way down.
    const double adjusted = h + (h - 20.0) / 20.0;
    const double radicand = (adjusted + heightFactor * offset.y) / (gravity / 40.0);
    if (!(gravity > 0.0) || !(radicand >= 0.0) || !std::isfinite(radicand)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return std::sqrt(radicand);
}

bool RangedUnit::RetreatsFrom(const Unit& attacker) const
{
    return attacker.GetType() == kSmashtor || attacker.GetType() == kTriangoloid;
}

double RangedUnit::LaunchSpeedTo(const Vec3& offset) const
{
    return LaunchSpeed(offset, GetGravity(), heightFactor_);
}

bool RangedUnit::InReach(double speed) const
{
    return std::isfinite(speed) && speed <= reachLimit_;
}

void RangedUnit::CloseIn(bool keepStarted)
{
    SetOrder(kOrderBusy, false);
    QueueOrder(kOrderEngage, kOrderBusy, kCloseInPause, keepStarted);
    const Unit* const target = GetTargets().target;
    if (!GetSearchSuppressed() && target != nullptr) {
        MoveTo(target->GetPosition());
    }
}

Projectile* RangedUnit::Fire(ObjectMeshType mesh, const Vec3& offset, double speed)
{
    const Vec3 launch = GetPosition() + kMuzzle;
    Vec3 direction = Vec3Normalize(Vec3(offset.x, 0.0f, offset.z));
    direction.y = 1.0f;
    Battle* const battle = Battle::Instance();
    Projectile* const shot =
        battle->AddProjectile(std::make_unique<Projectile>(launch, mesh, direction, static_cast<float>(speed), this));
    shot->RemoveOnEvent(kEventGroundContact);
    shot->RemoveOnEvent(kEventCollision);
    battle->PlaySound(BattleSound::kShot, launch);
    return shot;
}
