// Smashtor: hop, leap and landing.
#include "game/Smashtor.h"

namespace {

constexpr Vec3 kHop{0.0f, 7.0f, 0.0f};
constexpr float kLeapReach = 10.0f;
constexpr float kLeapStrength = 15.0f;
// The attack ends this long after landing, or after it began, whichever
// comes first.
constexpr float kAfterLanding = 2.0f;
constexpr float kLongest = 5.0f;

} // namespace

Smashtor::Smashtor(float x, float y, float z, Army* army, std::uint8_t index, std::uint8_t armyId)
    : Unit(x, y, z, kSmashtor, army, index, armyId)
{
}

void Smashtor::Attack()
{
    SetVelocity(Vec3());
    Physics* const physics = Physics::Instance();
    physics->AddForce(this, kHop);
    physics->AddCallback(
        this, [](Physical* body) { static_cast<Smashtor*>(body)->Leap(); }, kEventApex, true);
    physics->AddCallback(
        this, [](Physical* body) { static_cast<Smashtor*>(body)->Land(); }, kEventGroundContact, true);
    GetAnimationController().SetAnimation(kAnimationIdle);
    QueueOrder(kOrderEngage, kOrderAttack, kLongest, false);
}

void Smashtor::Leap()
{
    if (GiveUpIfTargetGone()) {
        return;
    }
    const Vec3 toTarget = GetTargetPoint() - GetPosition();
    if (Vec3Length(toTarget) > kLeapReach) {
        return;
    }
    PlaySound(BattleSound::kSwoosh);
    Physics::Instance()->AddForce(this, Vec3Normalize(toTarget) * kLeapStrength);
    SetSearchSuppressed(false);
}

void Smashtor::Land()
{
    QueueOrder(kOrderEngage, kOrderAttack, kAfterLanding, false);
}
