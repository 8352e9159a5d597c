// What the network asks of the battle: the game state, the options, the
// units named by (army id, unit index) bytes, and the match's score and end.
// The application implements it over Game and Battle (GameNetWorld); tests
// use fakes. Every record handed in has been checked by the handlers (points
// on the map, valid order, ranges).
#pragma once

#include "net/NetMessages.h"

#include <cstddef>
#include <cstdint>
#include <string>

// GameState words the handlers test.
inline constexpr std::uint32_t kNetStateMatch = 3;

class NetWorld {
public:
    virtual ~NetWorld() = default;

    virtual std::uint32_t GameState() const = 0;
    // Game::SetOptions; false when it refuses them.
    virtual bool SetOptions(const GameSettingsMessage& options) = 0;
    // This machine runs the full simulation (host, or no network).
    virtual void SetAuthority(bool authority) = 0;
    // The side of the map the battle stands on; 0 when none is loaded.
    virtual float MapSide() const = 0;

    // Each false when the army or the unit is missing (the record is then
    // ignored).
    virtual bool MoveUnit(const UnitHead& unit, const Vec3& point) = 0;
    virtual bool AttackWith(const AttackOrderMessage& order) = 0;
    virtual bool StartAttack(const UnitHead& unit) = 0;
    virtual bool DestroyUnit(const UnitHead& unit) = 0;
    virtual void Explode(const ExplosionMessage& explosion) = 0;
    virtual bool ApplyUnitState(const UnitStateMessage& state) = 0;

    // The host's sync walks the armies in list order.
    virtual std::size_t ArmyCount() const = 0;
    virtual std::size_t UnitCount(std::size_t army) const = 0;
    // False when there is no such unit.
    virtual bool ReadUnitState(std::size_t army, std::size_t unit, UnitStateMessage& out) const = 0;

    // The rules' match state (MatchState: 5 the statistics).
    virtual std::uint32_t GetMatchState() const = 0;
    // Host: the match's score as it stands, armies in ranked order; false
    // outside a match.
    virtual bool ReadMatchResult(MatchResultMessage& out) const = 0;
    // Client: the host's score becomes this machine's (figures, ranking,
    // and the statistics once the host shows them).
    virtual void ApplyMatchResult(const MatchResultMessage& result) = 0;
    // The match is left the way the player's Escape leaves it, and once it
    // has been left the console says why.
    virtual void LeaveMatch(const std::string& why) = 0;
};

// No battle: never in a match, no units.
class NullNetWorld : public NetWorld {
public:
    std::uint32_t GameState() const override { return 0; }
    bool SetOptions(const GameSettingsMessage&) override { return false; }
    void SetAuthority(bool) override {}
    float MapSide() const override { return 0.0f; }
    bool MoveUnit(const UnitHead&, const Vec3&) override { return false; }
    bool AttackWith(const AttackOrderMessage&) override { return false; }
    bool StartAttack(const UnitHead&) override { return false; }
    bool DestroyUnit(const UnitHead&) override { return false; }
    void Explode(const ExplosionMessage&) override {}
    bool ApplyUnitState(const UnitStateMessage&) override { return false; }
    std::size_t ArmyCount() const override { return 0; }
    std::size_t UnitCount(std::size_t) const override { return 0; }
    bool ReadUnitState(std::size_t, std::size_t, UnitStateMessage&) const override { return false; }
    std::uint32_t GetMatchState() const override { return 0; }
    bool ReadMatchResult(MatchResultMessage&) const override { return false; }
    void ApplyMatchResult(const MatchResultMessage&) override {}
    void LeaveMatch(const std::string&) override {}
};
