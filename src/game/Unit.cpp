// Unit: construction, orders, targets and waypoints.
#include "game/Unit.h"

#include "core/Stopwatch.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/OrderQueue.h"
#include "game/UnitAnimations.h"
#include "game/UnitSearches.h"
#include "physics/PhysicalDataFile.h"

#include <algorithm>

namespace {

// How far an engaging unit looks for a new enemy.
constexpr double kTargetSearchRadius = 70.0;

} // namespace

const Unit::OrderHandler Unit::kOrderHandlers[kOrderCount] = {
    &Unit::HandleIdle,    &Unit::HandleMove,    &Unit::HandleEngage, &Unit::HandleAttack,
    &Unit::HandleNothing, &Unit::HandleRetreat, &Unit::HandleDying,  &Unit::HandleNothing,
};

Unit::Unit(float x, float y, float z, UnitType type, Army* army, std::uint8_t index, std::uint8_t armyId)
    : Physical(x, y, z, PhysicalDataFile::PathForType(GetUnitTypeName(type)).c_str()), type_(type), army_(army),
      animation_(std::make_unique<AnimationController>(GetUnitAnimationPeriods(static_cast<int>(type)),
                                                       army ? army->GetColour() : 0u)),
      hitPoints_(GetUnitTypeStats(type).hitPoints), index_(index), armyId_(armyId)
{
    SetCollisionType(kCollisionUnit);
    TimerStart(orderTimer_);
    TimerStart(hitTimer_);
}

Unit::~Unit() = default;

bool Unit::SetOrder(std::uint32_t order, bool keep)
{
    if (!IsValidUnitOrder(order)) {
        return false;
    }
    if (order_ == kOrderDying && order != kOrderDying && Battle::Instance()->GetAuthority()) {
        return false;
    }
    if (order != order_ && !keep) {
        orderStarted_ = false;
    }
    order_ = static_cast<UnitOrder>(order);
    return true;
}

void Unit::UpdateOrder()
{
    if (!IsValidUnitOrder(order_)) {
        return;
    }
    const OrderHandler handler = kOrderHandlers[order_];
    (this->*handler)();
}

void Unit::SetHitPoints(std::int32_t hitPoints)
{
    hitPoints_ = std::min(hitPoints, GetFullHitPoints());
}

int Unit::GetHealthLevel() const
{
    const std::int64_t full = GetFullHitPoints();
    const std::int64_t level = (static_cast<std::int64_t>(hitPoints_) * 10 - 1) / full;
    return static_cast<int>(std::clamp<std::int64_t>(level, 0, 9));
}

// An army with no unit named is still searched. That is how a client
// player's attack order reaches the host when the unit clicked on has died
// there while the order was on its way; a frame sooner it would have named
// the dying unit and the search would have run. Failing it would leave the
// ordered units standing idle by a race the player cannot see.
bool Unit::FindTarget()
{
    if (targets_.targetArmy == nullptr || targets_.targetArmy == army_) {
        return false;
    }
    Unit* nearest = nullptr;
    FindNearestUnitOfArmy(targets_.targetArmy, *this, nearest, kTargetSearchRadius);
    if (nearest != nullptr) {
        targets_ = {nearest, nearest->GetArmy(), nearest};
        return true;
    }
    return targets_.target != nullptr && targets_.target->GetOrder() != kOrderDying;
}

void Unit::MoveTo(const Vec3& point)
{
    waypoints_.clear();
    waypoints_.push_back(point);
    NextWaypoint();
}

void Unit::AddWaypoint(const Vec3& point)
{
    waypoints_.insert(waypoints_.begin(), point);
    if (GetArrived()) {
        NextWaypoint();
    }
}

void Unit::OnArrived()
{
    NextWaypoint();
}

void Unit::NextWaypoint()
{
    if (!waypoints_.empty()) {
        const Vec3 next = waypoints_.back();
        waypoints_.pop_back();
        SetDestination(next.x, next.y, next.z);
        return;
    }
    if (order_ == kOrderMove) {
        // The walk is over: idle without running Idle's start-up again.
        SetOrder(kOrderIdle, true);
        animation_->SetAnimation(kAnimationIdle);
    }
}

Vec3 Unit::GetTargetPoint() const
{
    if (searchSuppressed_ || targets_.target == nullptr) {
        return GetDestination();
    }
    return targets_.target->GetPosition();
}

bool Unit::GiveUpIfTargetGone()
{
    if (searchSuppressed_ || !IsGone(targets_.target)) {
        return false;
    }
    SetOrder(kOrderEngage, false);
    return true;
}

void Unit::QueueOrder(UnitOrder newOrder, UnitOrder expected, float delay, bool keep)
{
    OrderQueue::Instance()->Add(this, newOrder, expected, delay, keep);
}

void Unit::PlaySound(BattleSound sound) const
{
    Battle::Instance()->PlaySound(sound, GetPosition());
}
