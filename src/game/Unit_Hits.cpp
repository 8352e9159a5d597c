// Unit: the hit rules. A unit is struck by contact with an attacking unit,
// by a projectile (struck by its owner) and by explosions; each strike may
// call its idle comrades into the fight and may kill it.
#include "game/Unit.h"

#include "core/Stopwatch.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/Projectile.h"
#include "game/UnitSearches.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// One strike per attacker in this time, whomever it strikes.
constexpr float kHitInterval = 0.35f;

// Hit points less a blow's damage (truncated toward 0), held at the int's
// least: a unit may have been handed any hit points, and may take any number
// of blows, and none wraps round to full health. A blow never heals, and
// damage that is no number does nothing.
std::int32_t LessDamage(std::int32_t hitPoints, double damage)
{
    if (!(damage >= 1.0)) {
        return hitPoints;
    }
    constexpr double kLeast = std::numeric_limits<std::int32_t>::min();
    const double left = static_cast<double>(hitPoints) - std::trunc(damage);
    return left <= kLeast ? std::numeric_limits<std::int32_t>::min() : static_cast<std::int32_t>(left);
}

// The unit an explosion's source stands for: the Detagon itself, or the
// unit that fired the shell.
Unit* AttackerOf(ExplosionWord source)
{
    Physical* const body = reinterpret_cast<Physical*>(source);
    if (Unit* const unit = dynamic_cast<Unit*>(body)) {
        return unit;
    }
    const Projectile* const projectile = dynamic_cast<const Projectile*>(body);
    return projectile != nullptr ? projectile->GetOwner() : nullptr;
}

// Every unit of a computer army turns on the army that hit it, aimed at that
// army's first live unit (or the attacker, when none is left).
void EngageWholeArmy(Army& army, Unit& attacker)
{
    Army* const enemy = attacker.GetArmy();
    Unit* aim = &attacker;
    if (enemy != nullptr && !enemy->GetUnits().empty()) {
        aim = enemy->GetUnits().front().get();
    }
    const UnitTargets targets{aim, enemy, aim};
    for (const std::unique_ptr<Unit>& unit : army.GetUnits()) {
        if (unit->GetOrder() == kOrderDying) {
            continue;
        }
        unit->SetTargets(targets);
        unit->SetOrder(kOrderEngage, false);
    }
}

} // namespace

void Unit::OnHit(Unit& attacker)
{
    if (TimerElapsed(attacker.hitTimer_) < kHitInterval) {
        return;
    }
    TimerStart(attacker.hitTimer_);
    PlaySound(BattleSound::kHit);
    if (attacker.army_ == army_) {
        return;
    }
    hitPoints_ = LessDamage(hitPoints_, GetUnitTypeStats(attacker.type_).damage);
    targets_ = {&attacker, attacker.army_, &attacker};
    if (RetreatsFrom(attacker)) {
        SetOrder(kOrderRetreat, false);
    } else if (order_ == kOrderIdle) {
        AlertComrades();
    }
    if (hitPoints_ < 1) {
        SetOrder(kOrderDying, false);
    }
}

// Idle units of the army near this one, itself included, take up its fight.
void Unit::AlertComrades()
{
    if (army_ == nullptr) {
        return;
    }
    std::vector<Unit*> near;
    FindArmyUnitsInAlertRadius(army_, near, *this);
    const UnitTargets targets = targets_;
    for (Unit* const comrade : near) {
        if (comrade->order_ == kOrderIdle && comrade->hitPoints_ >= 0) {
            comrade->SetTargets(targets);
            comrade->SetOrder(kOrderEngage, false);
        }
    }
}

void Unit::ApplyDamage(Physical* body, double falloff, ExplosionWord userData)
{
    Unit* const unit = dynamic_cast<Unit*>(body);
    Unit* const attacker = AttackerOf(userData);
    if (unit == nullptr || attacker == nullptr) {
        return;
    }
    unit->hitPoints_ = LessDamage(unit->hitPoints_, GetUnitTypeStats(attacker->type_).damage * falloff);
    if (unit->hitPoints_ < 1) {
        unit->SetOrder(kOrderDying, false);
    }
    const UnitTargets targets{attacker, attacker->army_, attacker};
    if (attacker->army_ == unit->army_) {
        // Only a kill is remembered against a comrade, for the statistics.
        if (unit->order_ == kOrderDying) {
            unit->targets_ = targets;
        }
        return;
    }
    unit->targets_ = targets;
    if (unit->army_ != nullptr && unit->army_->IsComputer()) {
        EngageWholeArmy(*unit->army_, *attacker);
    } else {
        unit->AlertComrades();
    }
    if (unit->hitPoints_ < 1) {
        unit->SetOrder(kOrderDying, false);
    }
}

void Unit::OnCollideUnit(Unit& first, Unit& second)
{
    if (first.order_ == kOrderAttack) {
        second.OnHit(first);
    }
    if (second.order_ == kOrderAttack) {
        first.OnHit(second);
    }
}
