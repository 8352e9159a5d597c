// BattleCollisions: contacts handed from the physics to the units.
#include "game/BattleCollisions.h"

#include "game/Projectile.h"
#include "game/Unit.h"

namespace {

// The collision types promise units and projectiles; a body that only
// claims to be one (a test body, say) is left alone.
void UnitMeetsUnit(Physical* first, Physical* second)
{
    Unit* const a = dynamic_cast<Unit*>(first);
    Unit* const b = dynamic_cast<Unit*>(second);
    if (a != nullptr && b != nullptr) {
        Unit::OnCollideUnit(*a, *b);
    }
}

void ProjectileMeetsUnit(Physical* projectile, Physical* unit)
{
    Projectile* const p = dynamic_cast<Projectile*>(projectile);
    Unit* const u = dynamic_cast<Unit*>(unit);
    if (p != nullptr && u != nullptr) {
        Projectile::OnHitUnit(*p, *u);
    }
}

void UnitMeetsProjectile(Physical* unit, Physical* projectile)
{
    ProjectileMeetsUnit(projectile, unit);
}

} // namespace

CollisionHandlers GetBattleCollisionHandlers()
{
    CollisionHandlers handlers;
    handlers.unitOnCollideUnit = UnitMeetsUnit;
    handlers.unitOnHitByProjectile = UnitMeetsProjectile;
    handlers.projectileOnHitUnit = ProjectileMeetsUnit;
    return handlers;
}
