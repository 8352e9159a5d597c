// Artillerator: wind-up, shell, recoil, cool-down and the shell's blast.
#include "game/Artillerator.h"

#include "game/AnimationCallbacks.h"
#include "game/Battle.h"
#include "game/Projectile.h"

#include <cmath>

namespace {

constexpr double kHeightFactor = 1.25;
constexpr double kReachLimit = 6.0;
constexpr float kCoolDownSeconds = 2.5f;
constexpr double kBlastRadius = 6.0;
constexpr double kBlastStrength = 15.0;
constexpr float kCraterSize = 6.0f;

} // namespace

Artillerator::Artillerator(float x, float y, float z, Army* army, std::uint8_t index, std::uint8_t armyId)
    : RangedUnit(x, y, z, kArtillerator, army, index, armyId, kHeightFactor, kReachLimit)
{
}

void Artillerator::Attack()
{
    if (GiveUpIfTargetGone()) {
        return;
    }
    const Vec3 offset = GetTargetPoint() - GetPosition();
    FaceDirection(offset.x, offset.y, offset.z);
    if (!InReach(LaunchSpeedTo(offset))) {
        CloseIn(false);
        return;
    }
    SetArrived(true);
    GetAnimationController().SetAnimation(kAnimationSpecial);
    SetOrder(kOrderBusy, false);
    AnimationCallbacks::Instance()->Add(
        this, [](Unit& unit) { static_cast<Artillerator&>(unit).FireShell(); }, kOrderBusy, true);
}

void Artillerator::FireShell()
{
    if (GiveUpIfTargetGone()) {
        return;
    }
    SetVelocity(Vec3());
    const Vec3 offset = GetTargetPoint() - GetPosition();
    const double speed = LaunchSpeedTo(offset);
    if (!std::isfinite(speed)) {
        CoolDown();
        return;
    }
    GetAnimationController().SetAnimation(kAnimationFire);
    AnimationCallbacks::Instance()->Add(
        this, [](Unit& unit) { static_cast<Artillerator&>(unit).CoolDown(); }, kOrderBusy, true);
    Fire(ObjectMeshType::Bullet2, offset, speed)->ExplodeOnEvent(kEventUnderWater);
}

void Artillerator::CoolDown()
{
    QueueOrder(kOrderEngage, kOrderBusy, kCoolDownSeconds, false);
    GetAnimationController().SetAnimation(kAnimationIdle);
}

void Artillerator::Blast(Projectile& shell)
{
    const Vec3 at = shell.GetPosition();
    Physics::Instance()->Explosion(at.x, at.y, at.z, kBlastRadius, kBlastStrength, &Unit::ApplyDamage,
                                   reinterpret_cast<ExplosionWord>(static_cast<Physical*>(&shell)));
    Battle::Instance()->DigCrater(kCraterSize, at);
    Battle::Instance()->ShowEffect(BattleEffect::kSplashExplosion, at, Vec3(0.0f, 1.0f, 0.0f));
    if (BattleNetwork* const network = Battle::Instance()->GetNetwork()) {
        network->Explosion(at, kBlastRadius, kBlastStrength, kCraterSize);
    }
}
