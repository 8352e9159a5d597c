// Trajectagon: a direct shot and the reload.
#include "game/Trajectagon.h"

#include "game/AnimationCallbacks.h"

namespace {

constexpr double kReachLimit = 8.0;
constexpr float kReloadSeconds = 2.5f;

} // namespace

Trajectagon::Trajectagon(float x, float y, float z, Army* army, std::uint8_t index, std::uint8_t armyId)
    : RangedUnit(x, y, z, kTrajectagon, army, index, armyId, 1.0, kReachLimit)
{
}

void Trajectagon::Attack()
{
    if (GiveUpIfTargetGone()) {
        return;
    }
    const Vec3 offset = GetTargetPoint() - GetPosition();
    FaceDirection(offset.x, offset.y, offset.z);
    const double speed = LaunchSpeedTo(offset);
    if (!InReach(speed)) {
        // The reach keeps the order started, so Engage goes on without a
        // fresh search.
        CloseIn(true);
        return;
    }
    SetVelocity(Vec3());
    SetArrived(true);
    GetAnimationController().SetAnimation(kAnimationSpecial);
    AnimationCallbacks::Instance()->Add(
        this, [](Unit& unit) { static_cast<Trajectagon&>(unit).Reload(); }, kOrderBusy, false);
    SetOrder(kOrderBusy, false);
    Fire(ObjectMeshType::Bullet, offset, speed);
}

void Trajectagon::Reload()
{
    QueueOrder(kOrderEngage, kOrderBusy, kReloadSeconds, false);
    GetAnimationController().SetAnimation(kAnimationIdle);
}
