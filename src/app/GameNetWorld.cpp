// GameNetWorld.
#include "app/GameNetWorld.h"

#include "app/Game.h"
#include "game/AnimationController.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/GameRules.h"
#include "game/GroupMover.h"
#include "game/Unit.h"
#include "net/NetBattleLink.h"
#include "net/RecordChecks.h"
#include "physics/Physics.h"
#include "world/Terrain.h"

#include <algorithm>
#include <cmath>

#include <utility>

std::uint32_t GameNetWorld::GameState() const
{
    return Game::Instance()->GetSetting(kSettingGameState);
}

bool GameNetWorld::SetOptions(const GameSettingsMessage& options)
{
    return Game::Instance()->SetOptions(options.mode, options.minutes, options.unitMask, options.mapIndex,
                                        options.maxUnits, options.computerArmies);
}

void GameNetWorld::SetAuthority(bool authority)
{
    Battle::Instance()->SetAuthority(authority);
}

float GameNetWorld::MapSide() const
{
    const Terrain* const ground = Battle::Instance()->GetTerrain();
    return ground != nullptr ? ground->GetMapSize() : 0.0f;
}

Vec3 GameNetWorld::StartOnMap(const Vec3& start)
{
    // A square of a hundred units reaches 11 from its centre: every unit of
    // the army stands inside the walls.
    constexpr float kArmyRoom = 20.0f;
    const Terrain* const ground = Battle::Instance()->GetTerrain();
    const float across = ground != nullptr ? std::max(ground->GetMapSize() / 2.0f - kArmyRoom, 0.0f) : 0.0f;
    const float height = ReachOfMap(0.0f).height;
    const auto within = [](float v, float limit) { return std::isfinite(v) ? std::clamp(v, -limit, limit) : 0.0f; };
    return {within(start.x, across), within(start.y, height), within(start.z, across)};
}

Unit* GameNetWorld::FindUnit(const UnitHead& head)
{
    const Army* const army = Battle::Instance()->FindArmyById(head.army);
    return army != nullptr ? army->FindUnit(head.unit) : nullptr;
}

void GameNetWorld::ResolveUnitTargets(Unit& unit, const TargetBytes& bytes)
{
    UnitTargets targets = unit.GetTargets();
    Battle* const battle = Battle::Instance();
    if (bytes.targetArmy == kNoUnitByte) {
        targets.target = nullptr;
        targets.targetArmy = nullptr;
    } else if (Army* const army = battle->FindArmyById(bytes.targetArmy)) {
        targets.target = army->FindUnit(bytes.targetUnit);
        targets.targetArmy = army;
    }
    if (bytes.lastUnit == kNoUnitByte) {
        targets.lastAttacker = nullptr;
    } else if (const Army* const army = battle->FindArmyById(bytes.lastArmy)) {
        targets.lastAttacker = army->FindUnit(bytes.lastUnit);
    }
    unit.SetTargets(targets);
}

bool GameNetWorld::MoveUnit(const UnitHead& head, const Vec3& point)
{
    Unit* const unit = FindUnit(head);
    if (unit == nullptr) {
        return false;
    }
    unit->SetOrder(kOrderMove, false);
    GroupMover::Instance()->MoveUnit(*unit, point);
    return true;
}

bool GameNetWorld::AttackWith(const AttackOrderMessage& order)
{
    Unit* const unit = FindUnit(order.head);
    if (unit == nullptr) {
        return false;
    }
    ResolveUnitTargets(*unit, order.targets);
    unit->SetTargetAssigned(order.targetAssigned != 0);
    unit->SetOrder(kOrderEngage, false);
    GroupMover::Instance()->MoveUnit(*unit, order.point);
    return true;
}

bool GameNetWorld::StartAttack(const UnitHead& head)
{
    Unit* const unit = FindUnit(head);
    if (unit == nullptr) {
        return false;
    }
    unit->SetOrder(kOrderAttack, false);
    return true;
}

bool GameNetWorld::DestroyUnit(const UnitHead& head)
{
    Army* const army = Battle::Instance()->FindArmyById(head.army);
    if (army == nullptr || army->FindUnit(head.unit) == nullptr) {
        return false;
    }
    army->RemoveUnit(head.unit);
    return true;
}

void GameNetWorld::Explode(const ExplosionMessage& explosion)
{
    // No damage here: the host alone applies it and reports the deaths.
    Physics::Instance()->Explosion(explosion.centre.x, explosion.centre.y, explosion.centre.z, explosion.radius,
                                   explosion.strength, nullptr, 0);
    // The crater's size was checked at receipt; the terrain refuses what it cannot dig.
    Battle::Instance()->DigCrater(explosion.crater, explosion.centre);
    Battle::Instance()->ShowEffect(BattleEffect::kSplashExplosion, explosion.centre, Vec3(0.0f, 1.0f, 0.0f));
}

bool GameNetWorld::ApplyUnitState(const UnitStateMessage& state)
{
    Unit* const unit = FindUnit(state.head);
    if (unit == nullptr) {
        return false;
    }
    ResolveUnitTargets(*unit, state.targets);
    unit->SetDestination(state.destination.x, state.destination.y, state.destination.z);
    unit->SetPosition(state.position);
    unit->SetVelocity(state.velocity);
    if (unit->GetOrder() != state.order) {
        unit->SetOrder(state.order, false);
        if (state.order == kOrderMove && unit->GetAnimationController().GetAnimation() != kAnimationWalk) {
            unit->GetAnimationController().SetAnimation(kAnimationWalk);
        }
    }
    // Between none and the type's full health: a dying unit's may be below 0
    // on the host, and anything else a record holds is no unit's.
    unit->SetHitPoints(std::clamp(state.hitPoints, 0, unit->GetFullHitPoints()));
    unit->SetArrived(state.arrived != 0);
    return true;
}

std::size_t GameNetWorld::ArmyCount() const
{
    return Battle::Instance()->GetArmies().size();
}

std::size_t GameNetWorld::UnitCount(std::size_t army) const
{
    const auto& armies = Battle::Instance()->GetArmies();
    return army < armies.size() ? armies[army]->GetUnits().size() : 0;
}

bool GameNetWorld::ReadUnitState(std::size_t army, std::size_t unit, UnitStateMessage& out) const
{
    const auto& armies = Battle::Instance()->GetArmies();
    if (army >= armies.size() || unit >= armies[army]->GetUnits().size()) {
        return false;
    }
    const Unit& u = *armies[army]->GetUnits()[unit];
    out = UnitStateMessage{};
    out.head = {u.GetIndex(), u.GetArmyId()};
    out.position = u.GetPosition();
    out.destination = u.GetDestination();
    out.velocity = u.GetVelocity();
    out.spinAxis = u.GetSpinAxis();
    out.turnRate = u.GetTurnRate();
    out.heading = u.GetHeading();
    out.order = u.GetOrder();
    out.hitPoints = u.GetHitPoints();
    out.targets = NetBattleLink::TargetBytesOf(u);
    out.arrived = u.GetArrived() ? 1 : 0;
    return true;
}

std::uint32_t GameNetWorld::GetMatchState() const
{
    return GameRules::Instance()->GetState();
}

bool GameNetWorld::ReadMatchResult(MatchResultMessage& out) const
{
    if (GameState() != kNetStateMatch) {
        return false;
    }
    out = MatchResultMessage{};
    out.state = GameRules::Instance()->GetState();
    for (const std::unique_ptr<Army>& army : GameRules::Instance()->GetRankedArmies()) {
        if (out.count == out.armies.size()) {
            break;
        }
        out.armies[out.count++] = {army->GetId(), army->GetDamageDealt(), army->GetDamageTaken(), army->GetFlagCount(),
                                   army->GetFlagTime()};
    }
    return true;
}

void GameNetWorld::ApplyMatchResult(const MatchResultMessage& result)
{
    std::vector<HostArmyScore> ranked;
    for (std::uint32_t i = 0; i < result.count && i < result.armies.size(); ++i) {
        const ArmyResult& army = result.armies[i];
        ranked.push_back({army.army, army.damageDealt, army.damageTaken, army.flagCount, army.flagTime});
    }
    GameRules::Instance()->AcceptHostResult(static_cast<MatchState>(result.state), ranked);
}

void GameNetWorld::LeaveMatch(const std::string& why)
{
    // What Escape does: game over, whose handler leaves the match at the
    // end of this frame. The reason waits for the menus' console, since
    // leaving clears the match's lines.
    GameRules::Instance()->SetState(kMatchGameOver);
    leavingReason_ = why;
}

std::string GameNetWorld::TakeLeavingReason()
{
    return std::exchange(leavingReason_, std::string());
}
