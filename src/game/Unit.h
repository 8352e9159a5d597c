// A fighting unit: a body loaded from its type's physical data file, owned by
// an army, driven by its current order and shown as an animated model whose
// skin tells its health. The five types (Smashtor.h ... Detagon.h) add their
// attack and, for the two shooters, the retreat from melee.
//
// Unit.cpp holds construction, orders and waypoints; Unit_Hits.cpp the hit,
// contact and explosion rules; Unit_Orders.cpp the order handlers.
// Drawing (the health skin and the health bar) belongs to the renderer.
#pragma once

#include "game/AnimationController.h"
#include "game/BattleSound.h"
#include "game/UnitOrder.h"
#include "game/UnitType.h"
#include "physics/Physical.h"
#include "physics/Physics.h"

#include <cstdint>
#include <memory>
#include <vector>

class Army;
class Unit;

// Whom a unit fights: the unit it engages, the army whose units it seeks and
// the last unit that struck it.
struct UnitTargets {
    Unit* target = nullptr;
    Army* targetArmy = nullptr;
    Unit* lastAttacker = nullptr;
};

class Unit : public Physical {
public:
    // How far past itself, in attacker-to-unit lengths, a fleeing unit runs:
    // its destination mostly lies beyond the map's edge, where the walls stop
    // it.
    static constexpr float kFleeStretch = 50.0f;

    Unit(float x, float y, float z, UnitType type, Army* army, std::uint8_t index, std::uint8_t armyId);
    ~Unit() override;

    // The type's attack, run when the order becomes Attack.
    virtual void Attack() {}
    // Struck by attacker (a contact while it attacks, or its projectile).
    void OnHit(Unit& attacker);

    UnitOrder GetOrder() const { return order_; }
    // Changes the order; the new order's handler runs its start-up unless the
    // order is unchanged or keep is set. Refused (false) for a value out of
    // range, and, where the battle runs with authority, for any order but
    // Dying once the unit is Dying: nothing brings a dying unit back into the
    // fight. A network client's Dying is only its guess from hits it applied
    // itself; the host, which decides deaths, may still have the unit alive,
    // and its orders and unit states must take it back.
    bool SetOrder(std::uint32_t order, bool keep);
    // Runs the current order's handler; the unit's army calls it every frame.
    void UpdateOrder();
    bool GetOrderStarted() const { return orderStarted_; }

    // Looks for the unit of the target army nearest to this one within
    // 70.0; false when the target army is unset or the own army, or when
    // none is near and the current target is gone too.
    bool FindTarget();

    UnitType GetType() const { return type_; }
    Army* GetArmy() const { return army_; }
    std::uint8_t GetIndex() const { return index_; }
    std::uint8_t GetArmyId() const { return armyId_; }
    const UnitTargets& GetTargets() const { return targets_; }
    void SetTargets(const UnitTargets& targets) { targets_ = targets; }
    bool GetTargetAssigned() const { return targetAssigned_; }
    void SetTargetAssigned(bool value) { targetAssigned_ = value; }
    bool GetSearchSuppressed() const { return searchSuppressed_; }
    void SetSearchSuppressed(bool value) { searchSuppressed_ = value; }
    bool GetSelected() const { return selected_; }
    void SetSelected(bool value) { selected_ = value; }
    std::int32_t GetHitPoints() const { return hitPoints_; }
    // Hit points can come from the network; more than the type's full health
    // is taken as full health.
    void SetHitPoints(std::int32_t hitPoints);
    std::int32_t GetFullHitPoints() const { return GetUnitTypeStats(type_).hitPoints; }
    // Which of the ten health skins the unit wears: 9 at full health, 0 near
    // death, always within 0..9.
    int GetHealthLevel() const;

    const std::vector<Vec3>& GetWaypoints() const { return waypoints_; }
    AnimationController& GetAnimationController() { return *animation_; }
    const AnimationController& GetAnimationController() const { return *animation_; }

    // The point replaces the route.
    void MoveTo(const Vec3& point);
    // The point is queued after the route; an arrived unit sets off at once.
    void AddWaypoint(const Vec3& point);
    // The physics' Arrived callback: the next waypoint, or Idle at the end of a move.
    void OnArrived();

    // The explosion callback of the unit attacks: userData is the source, a
    // Unit (a Detagon) or a Projectile (a shell).
    static void ApplyDamage(Physical* body, double falloff, ExplosionWord userData);
    // A contact between two units: each side that attacks strikes the other.
    static void OnCollideUnit(Unit& first, Unit& second);

    // Dying, or gone: what makes a target no longer worth fighting.
    static bool IsGone(const Unit* unit) { return unit == nullptr || unit->GetOrder() == kOrderDying; }

protected:
    // Whether a hit by attacker sends this unit fleeing instead of calling
    // its comrades (the two shooters flee melee units).
    virtual bool RetreatsFrom(const Unit& /*attacker*/) const { return false; }
    // The last step of dying, after the unit was counted and scattered.
    virtual void OnDestroyed();

    // The target's position, or the destination while the unit obeys an
    // order on a ground point.
    Vec3 GetTargetPoint() const;
    // True when the target is gone and the unit is not aiming at a ground
    // point; the unit then goes back to Engage.
    bool GiveUpIfTargetGone();

    // Queues a change of order after a delay, if the unit is then still in expected.
    void QueueOrder(UnitOrder newOrder, UnitOrder expected, float delay, bool keep);
    void PlaySound(BattleSound sound) const;

private:
    using OrderHandler = void (Unit::*)();

    void NextWaypoint();
    void AlertComrades();
    void GoIdleWhereItStands();

    void HandleIdle();
    void HandleMove();
    void HandleEngage();
    void HandleAttack();
    void HandleNothing();
    void HandleRetreat();
    void HandleDying();
    void CountDeath();
    void ScatterDebris();

    static const OrderHandler kOrderHandlers[kOrderCount];

    bool selected_ = false;
    bool orderStarted_ = false;
    UnitOrder order_ = kOrderIdle;
    UnitType type_ = kSmashtor;
    Army* army_ = nullptr;
    UnitTargets targets_;
    std::vector<Vec3> waypoints_;
    std::unique_ptr<AnimationController> animation_;
    bool targetAssigned_ = false;
    bool searchSuppressed_ = false;
    std::int32_t hitPoints_ = 0;
    std::int64_t orderTimer_ = 0;
    std::int64_t hitTimer_ = 0;
    std::uint8_t index_ = 0;
    std::uint8_t armyId_ = 0;
};
