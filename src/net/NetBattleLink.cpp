// NetBattleLink.
#include "net/NetBattleLink.h"

#include "game/Army.h"
#include "game/Unit.h"
#include "net/NetSenders.h"

UnitHead NetBattleLink::HeadOf(const Unit& unit)
{
    return {unit.GetIndex(), unit.GetArmyId()};
}

TargetBytes NetBattleLink::TargetBytesOf(const Unit& unit)
{
    const UnitTargets& targets = unit.GetTargets();
    TargetBytes bytes;
    if (targets.target != nullptr) {
        bytes.targetUnit = targets.target->GetIndex();
        bytes.targetArmy = targets.target->GetArmyId();
    } else if (targets.targetArmy != nullptr) {
        bytes.targetArmy = targets.targetArmy->GetId();
    }
    if (targets.lastAttacker != nullptr) {
        bytes.lastUnit = targets.lastAttacker->GetIndex();
        bytes.lastArmy = targets.lastAttacker->GetArmyId();
    }
    return bytes;
}

void NetBattleLink::MoveOrder(const Unit& unit, const Vec3& point)
{
    SendMoveOrder(net_, HeadOf(unit), point);
}

void NetBattleLink::AttackOrder(const Unit& unit)
{
    AttackOrderMessage order;
    order.head = HeadOf(unit);
    order.point = unit.GetTargets().target != nullptr ? unit.GetTargets().target->GetPosition() : unit.GetPosition();
    order.targets = TargetBytesOf(unit);
    order.targetAssigned = unit.GetTargetAssigned() ? 1 : 0;
    SendAttackOrder(net_, order);
}

void NetBattleLink::StartAttack(const Unit& unit)
{
    SendStartAttack(net_, HeadOf(unit));
}

void NetBattleLink::UnitDestroyed(const Unit& unit)
{
    SendUnitDestroyed(net_, HeadOf(unit));
}

void NetBattleLink::Explosion(const Vec3& centre, double radius, double strength, float crater)
{
    SendExplosion(net_, centre, radius, strength, crater);
}
