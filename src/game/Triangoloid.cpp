// Triangoloid: wind-up and lunge.
#include "game/Triangoloid.h"

#include "game/AnimationCallbacks.h"

namespace {

constexpr float kLungeStrength = 10.0f;
constexpr float kAfterLunge = 1.0f;

} // namespace

Triangoloid::Triangoloid(float x, float y, float z, Army* army, std::uint8_t index, std::uint8_t armyId)
    : Unit(x, y, z, kTriangoloid, army, index, armyId)
{
}

void Triangoloid::Attack()
{
    SetVelocity(Vec3());
    SetArrived(true);
    GetAnimationController().SetAnimation(kAnimationSpecial);
    AnimationCallbacks::Instance()->Add(
        this, [](Unit& unit) { static_cast<Triangoloid&>(unit).Lunge(); }, kOrderAttack, false);
}

void Triangoloid::Lunge()
{
    if (GiveUpIfTargetGone()) {
        return;
    }
    Physics::Instance()->AddForce(this, Vec3Normalize(GetTargetPoint() - GetPosition()) * kLungeStrength);
    QueueOrder(kOrderEngage, kOrderAttack, kAfterLunge, false);
    GetAnimationController().SetAnimation(kAnimationWalk);
    SetSearchSuppressed(false);
}
