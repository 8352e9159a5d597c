// Projectile: launch, flight attitude and removal of shots, shells and debris.
#include "game/Projectile.h"

#include "game/Army.h"
#include "game/Artillerator.h"
#include "game/Battle.h"
#include "game/Unit.h"

#include <algorithm>
#include <cmath>

namespace {

// pi/2 at single precision, as the headings of every other body.
constexpr float kHalfPi = 1.5707964f;

} // namespace

Projectile::Projectile(const Vec3& at, ObjectMeshType type, const Vec3& direction, float strength, Unit* owner)
    : MeshObject(at.x, at.y, at.z, type), owner_(owner)
{
    SetMovable(true);
    SetSteering(false);
    SetGravityEnabled(true);
    SetDragEnabled(false);
    SetCollisionResponse(false);
    ownerArmy_ = owner != nullptr ? owner->GetArmy() : nullptr;
    colour_ = ownerArmy_ != nullptr ? ownerArmy_->GetColour() : 0xFFFFFFFFu;
    SetHeading(kHalfPi - static_cast<float>(std::atan2(direction.z, direction.x)));
    Physics::Instance()->AddForce(this, direction * strength);
    SetCollisionType(kCollisionProjectile);
}

void Projectile::Update()
{
    const Vec3 velocity = GetVelocity();
    const bool rising = velocity.y > 0.0f;
    const Vec3 level = Vec3Normalize(Vec3(velocity.x, 0.0f, velocity.z));
    const Vec3 along = Vec3Normalize(velocity);
    // Rounding can put the dot a hair past 1, where acos has no answer.
    const float cosine = std::clamp(Vec3Dot(along, level), -1.0f, 1.0f);
    const float pitch = std::acos(cosine);
    pitch_ = rising ? pitch : -pitch;
    pitchAxis_ = Vec3Cross(level, Vec3(0.0f, 1.0f, 0.0f));
    // A live shell glows as it flies; shots and debris leave plain smoke.
    const bool liveShell =
        GetCollisionType() != kCollisionNone && owner_ != nullptr && owner_->GetType() == kArtillerator;
    Battle::Instance()->ShowEffect(liveShell ? BattleEffect::kArtilleryTrail : BattleEffect::kTrail, GetPosition(),
                                   -along);
}

void Projectile::Remove()
{
    Battle* const battle = Battle::Instance();
    const bool shell =
        GetCollisionType() == kCollisionProjectile && owner_ != nullptr && owner_->GetType() == kArtillerator;
    if (shell && GetPosition().y >= battle->GetWaterLevel() && battle->GetAuthority()) {
        Artillerator::Blast(*this);
    }
    battle->RetireProjectile(this);
}

void Projectile::Explode()
{
    Battle::Instance()->PlaySound(BattleSound::kPlop, GetPosition());
    Battle::Instance()->ShowEffect(BattleEffect::kProjectileExplosion, GetPosition(), Vec3(0.0f, 1.0f, 0.0f));
    Remove();
}

void Projectile::RemoveOnEvent(PhysicsEvent event)
{
    Physics::Instance()->AddCallback(
        this, [](Physical* body) { static_cast<Projectile*>(body)->Remove(); }, event, true);
}

void Projectile::ExplodeOnEvent(PhysicsEvent event)
{
    Physics::Instance()->AddCallback(
        this, [](Physical* body) { static_cast<Projectile*>(body)->Explode(); }, event, true);
}

void Projectile::OnHitUnit(Projectile& projectile, Unit& unit)
{
    Battle::Instance()->PlaySound(BattleSound::kProjectileHit, projectile.GetPosition());
    Unit* const owner = projectile.owner_;
    if (owner != nullptr && owner->GetOrder() != kOrderDying) {
        unit.OnHit(*owner);
    }
}
