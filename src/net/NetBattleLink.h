// The battle's network reports (game/BattleNetwork.h) turned into records
// of one manager: the unit's index and army id make its head, and an attack
// carries its targets as (unit, army) bytes, 0xFF for none.
#pragma once

#include "game/BattleNetwork.h"
#include "net/NetMessages.h"

class NetworkManager;
class Unit;

class NetBattleLink : public BattleNetwork {
public:
    explicit NetBattleLink(NetworkManager& net) : net_(net) {}

    void MoveOrder(const Unit& unit, const Vec3& point) override;
    void AttackOrder(const Unit& unit) override;
    void StartAttack(const Unit& unit) override;
    void UnitDestroyed(const Unit& unit) override;
    void Explosion(const Vec3& centre, double radius, double strength, float crater) override;

    static UnitHead HeadOf(const Unit& unit);
    static TargetBytes TargetBytesOf(const Unit& unit);

private:
    NetworkManager& net_;
};
