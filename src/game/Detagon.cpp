// Detagon: fuse and self-destruction.
#include "game/Detagon.h"

#include "game/AnimationCallbacks.h"
#include "game/Battle.h"

namespace {

constexpr double kBlastRadius = 12.0;
constexpr double kBlastStrength = 24.0;
constexpr float kCraterSize = 10.0f;

} // namespace

Detagon::Detagon(float x, float y, float z, Army* army, std::uint8_t index, std::uint8_t armyId)
    : Unit(x, y, z, kDetagon, army, index, armyId)
{
}

void Detagon::Attack()
{
    SetVelocity(Vec3());
    SetArrived(true);
    AnimationCallbacks::Instance()->Add(
        this, [](Unit& unit) { static_cast<Detagon&>(unit).Detonate(); }, kOrderBusy, false);
    SetOrder(kOrderBusy, false);
    GetAnimationController().SetAnimation(kAnimationSpecial);
    PlaySound(BattleSound::kWhir);
}

// Its targets name itself, so its own death counts for no one.
void Detagon::Detonate()
{
    SetTargets({this, GetArmy(), this});
    SetOrder(kOrderDying, false);
    if (!Battle::Instance()->GetAuthority()) {
        return;
    }
    const Vec3 at = GetPosition();
    Physics::Instance()->Explosion(at.x, at.y, at.z, kBlastRadius, kBlastStrength, &Unit::ApplyDamage,
                                   reinterpret_cast<ExplosionWord>(static_cast<Physical*>(this)));
    Battle::Instance()->DigCrater(kCraterSize, at);
    Battle::Instance()->ShowEffect(BattleEffect::kSelfDestructExplosion, at, Vec3(0.0f, 1.0f, 0.0f));
    if (BattleNetwork* const network = Battle::Instance()->GetNetwork()) {
        network->Explosion(at, kBlastRadius, kBlastStrength, kCraterSize);
    }
}

// Brought down by anything but another Detagon, it goes off; a Detagon's
// blast does not set off a chain.
void Detagon::OnDestroyed()
{
    const Unit* const killer = GetTargets().target;
    if (killer == nullptr || killer->GetType() != kDetagon) {
        Detonate();
    }
}
