// The network's view of this game (net/NetWorld.h) over Game and Battle:
// units are found by army id and unit index, orders go through the units
// and the group mover, explosions through the physics, the score and the
// match's end through the rules. The handlers have checked every value
// before it arrives here.
#pragma once

#include "net/NetWorld.h"

class Army;
class Unit;

class GameNetWorld : public NetWorld {
public:
    std::uint32_t GameState() const override;
    bool SetOptions(const GameSettingsMessage& options) override;
    void SetAuthority(bool authority) override;
    float MapSide() const override;

    bool MoveUnit(const UnitHead& unit, const Vec3& point) override;
    bool AttackWith(const AttackOrderMessage& order) override;
    bool StartAttack(const UnitHead& unit) override;
    bool DestroyUnit(const UnitHead& unit) override;
    void Explode(const ExplosionMessage& explosion) override;
    bool ApplyUnitState(const UnitStateMessage& state) override;

    std::size_t ArmyCount() const override;
    std::size_t UnitCount(std::size_t army) const override;
    bool ReadUnitState(std::size_t army, std::size_t unit, UnitStateMessage& out) const override;

    std::uint32_t GetMatchState() const override;
    bool ReadMatchResult(MatchResultMessage& out) const override;
    void ApplyMatchResult(const MatchResultMessage& result) override;
    void LeaveMatch(const std::string& why) override;
    // Why the network ended the match, once: "" when it did not.
    std::string TakeLeavingReason();

    // The unit's targets from (unit, army) bytes: a target army byte of 0xFF
    // clears the target, an unknown army leaves it as it was; the same for
    // the last attacker. The target's army follows the target army byte, so
    // a unit with a target always has its army to search.
    static void ResolveUnitTargets(Unit& unit, const TargetBytes& targets);

    // A network army's start put on the map now loaded, far enough inside
    // its edge for the whole army, so no unit and no camera stands off it.
    // Starts that are no number go to the centre.
    static Vec3 StartOnMap(const Vec3& start);

private:
    static Unit* FindUnit(const UnitHead& head);

    std::string leavingReason_;
};
