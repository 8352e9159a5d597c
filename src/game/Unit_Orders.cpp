// Unit: the order handlers, one per UnitOrder, run by the unit's army every
// frame. A handler's start-up runs once per order (until orderStarted is
// set); the rest runs every frame.
//
// Chasing and fleeing replace the unit's route every frame rather than
// queueing points after it: behaviour never follows the player's move keys,
// and a route that grew by a point a frame would be chased stale.
#include "game/Unit.h"

#include "core/Stopwatch.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/Projectile.h"
#include "platform/Random.h"
#include "world/MeshLibrary.h"

namespace {

// Seconds between an engaging unit's searches for a nearer enemy, and
// between a fleeing unit's looks back.
constexpr float kRecheckSeconds = 1.0f;
// A fleeing unit turns to fight once its attacker is farther than this.
constexpr float kRetreatDistance = 15.0f;

constexpr int kDebrisPieces = 10;
constexpr float kDebrisRise = 2.0f;

// -1 to 1 in steps of 1/50, from the game's generator.
float RandomSpread()
{
    return static_cast<float>(platform::Rand() % 100 - 50) / 50.0f;
}

} // namespace

void Unit::HandleIdle()
{
    if (!orderStarted_) {
        animation_->SetAnimation(kAnimationIdle);
        orderStarted_ = true;
    }
}

void Unit::HandleMove()
{
    if (!orderStarted_) {
        if (animation_->GetAnimation() != kAnimationWalk) {
            animation_->SetAnimation(kAnimationWalk);
        }
        orderStarted_ = true;
    }
}

void Unit::HandleNothing() {}

void Unit::GoIdleWhereItStands()
{
    SetOrder(kOrderIdle, false);
    targetAssigned_ = false;
    MoveTo(GetPosition());
}

void Unit::HandleEngage()
{
    if (!orderStarted_) {
        animation_->SetAnimation(kAnimationWalk);
        if (!targetAssigned_ && !searchSuppressed_ && !FindTarget()) {
            GoIdleWhereItStands();
            return;
        }
        TimerStart(orderTimer_);
    }
    orderStarted_ = true;

    const bool searchDue = TimerElapsed(orderTimer_) > kRecheckSeconds && !targetAssigned_;
    if (!searchSuppressed_ && (searchDue || IsGone(targets_.target))) {
        TimerStart(orderTimer_);
        if (!FindTarget()) {
            GoIdleWhereItStands();
            return;
        }
        if (BattleNetwork* const network = Battle::Instance()->GetNetwork()) {
            network->AttackOrder(*this);
        }
    }

    const Vec3 point = GetTargetPoint();
    MoveTo(point);
    const float distance = Vec3Length(point - GetPosition());
    if (distance < static_cast<float>(GetUnitTypeStats(type_).attackRange)) {
        SetOrder(kOrderAttack, false);
        if (BattleNetwork* const network = Battle::Instance()->GetNetwork()) {
            network->StartAttack(*this);
        }
    }
}

void Unit::HandleAttack()
{
    if (!orderStarted_) {
        Attack();
    }
    orderStarted_ = true;
    if (IsGone(targets_.target)) {
        if (!searchSuppressed_) {
            SetOrder(kOrderEngage, false);
        } else if (type_ != kArtillerator) {
            searchSuppressed_ = false;
        }
        return;
    }
    const Vec3 toTarget = Vec3Normalize(targets_.target->GetPosition() - GetPosition());
    FaceDirection(toTarget.x, toTarget.y, toTarget.z);
}

void Unit::HandleRetreat()
{
    if (!orderStarted_) {
        animation_->SetAnimation(kAnimationWalk);
        orderStarted_ = true;
    }
    const Unit* const attacker = targets_.lastAttacker;
    bool turnToFight = attacker == nullptr;
    if (!turnToFight && TimerElapsed(orderTimer_) > kRecheckSeconds) {
        TimerStart(orderTimer_);
        turnToFight =
            attacker->order_ == kOrderDying || Vec3Length(attacker->GetPosition() - GetPosition()) > kRetreatDistance;
    }
    if (turnToFight) {
        SetOrder(kOrderEngage, false);
        targetAssigned_ = false;
        return;
    }
    const Vec3 position = GetPosition();
    MoveTo(position + (position - attacker->GetPosition()) * kFleeStretch);
}

void Unit::HandleDying()
{
    if (!orderStarted_) {
        if (!Battle::Instance()->GetAuthority()) {
            // The one way out of Dying: a client waits as Busy for the
            // host's word that the unit was destroyed.
            order_ = kOrderBusy;
            orderStarted_ = false;
            return;
        }
        CountDeath();
        ScatterDebris();
    }
    orderStarted_ = true;
    OnDestroyed();
    if (BattleNetwork* const network = Battle::Instance()->GetNetwork()) {
        network->UnitDestroyed(*this);
    }
    if (army_ != nullptr) {
        // Last: the unit leaves its army's live units for the dead ones.
        army_->RemoveUnit(index_);
    }
}

void Unit::OnDestroyed()
{
    PlaySound(BattleSound::kFallApart);
}

// The killer's army is credited and the own army charged, unless the unit
// fell to its own side or the match is already over.
void Unit::CountDeath()
{
    if (Battle::Instance()->GetMatchState() == kMatchStatistics || army_ == nullptr) {
        return;
    }
    Army* const killer = targets_.targetArmy;
    const std::int32_t value = killer == army_ ? 0 : static_cast<std::int32_t>(GetUnitCost(type_));
    if (killer != nullptr) {
        killer->AddDamageDealt(value);
    }
    army_->AddDamageTaken(value);
}

void Unit::ScatterDebris()
{
    Battle* const battle = Battle::Instance();
    for (int i = 0; i < kDebrisPieces; ++i) {
        const Vec3 from = GetPosition() + Vec3(0.0f, kDebrisRise, 0.0f);
        const int mesh = static_cast<int>(ObjectMeshType::Debris1) + (platform::Rand() & 3);
        const float speed = static_cast<float>(1 + (platform::Rand() & 1));
        const float dx = RandomSpread();
        const float dz = RandomSpread();
        auto piece =
            std::make_unique<Projectile>(from, static_cast<ObjectMeshType>(mesh), Vec3(dx, 1.0f, dz), speed, this);
        piece->SetCollisionType(kCollisionNone);
        piece->SetSteering(true);
        const float ax = RandomSpread();
        const float ay = RandomSpread();
        const float az = RandomSpread();
        piece->SetSpinAxis(Vec3(ax, ay, az));
        piece->SetSpinRate(static_cast<float>(platform::Rand() % 15) / 10.0f);
        Projectile* const added = battle->AddProjectile(std::move(piece));
        added->RemoveOnEvent(kEventGroundContact);
    }
}
