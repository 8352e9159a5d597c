// The game's network world at a match's end: the host reads its score in
// ranked order; a client takes the host's figures and order, ends its match
// only at the host's word (never by its own sudden death or last-army
// check), gives up a unit it killed itself when the host's state says it
// lives, and leaves a match the host left with the reason kept for the
// menus.
#include "../units/BattleTestWorld.h"
#include "app/Game.h"
#include "app/GameNetWorld.h"
#include "game/GameRules.h"

#include <doctest/doctest.h>

using units_test::BattleWorld;

namespace {

MatchResultMessage ResultOf(std::uint32_t state, std::initializer_list<ArmyResult> armies)
{
    MatchResultMessage result;
    result.state = state;
    for (const ArmyResult& army : armies) {
        result.armies[result.count++] = army;
    }
    return result;
}

std::vector<std::uint8_t> ArmyOrder()
{
    std::vector<std::uint8_t> ids;
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        ids.push_back(army->GetId());
    }
    return ids;
}

} // namespace

TEST_CASE("a client's match is scored, ordered and ended by its host, whose word also brings back a unit it killed")
{
    BattleWorld battle;
    Army& red = battle.AddArmy(4000);
    Army& blue = battle.AddArmy(4000);
    Army& green = battle.AddArmy(4000);
    Unit& redUnit = battle.AddUnit(red, kSmashtor, 0.0f, 0.0f);
    battle.AddUnit(blue, kSmashtor, 30.0f, 0.0f);
    battle.AddUnit(green, kSmashtor, -30.0f, 0.0f);
    Game::Instance()->SetSetting(kSettingGameState, kStateMatch);
    GameRules* const rules = GameRules::Instance();
    rules->BeginMatch(kModeBodyCount, 1.0f, 0.0f);
    rules->SetState(kMatchGameOn);
    GameNetWorld world;

    SUBCASE("the host reads its score in ranked order, and nothing outside a match")
    {
        red.AddDamageDealt(2);
        blue.AddDamageTaken(2);
        green.SetFlagTime(4.5f);
        MatchResultMessage read;
        REQUIRE(world.ReadMatchResult(read));
        CHECK(read ==
              ResultOf(kMatchGameOn,
                       {{red.GetId(), 2, 0, 0, 0.0f}, {blue.GetId(), 0, 2, 0, 0.0f}, {green.GetId(), 0, 0, 0, 4.5f}}));
        Game::Instance()->SetSetting(kSettingGameState, kStateMenus);
        CHECK_FALSE(world.ReadMatchResult(read));
    }
    SUBCASE("a client shows the host's figures in the host's order until the host shows its statistics")
    {
        Battle::Instance()->SetAuthority(false);
        red.AddDamageDealt(5); // counted here, wrongly: the host's word replaces it
        world.ApplyMatchResult(ResultOf(kMatchGameOn, {{green.GetId(), 3, 1, 1, 12.5f}, {red.GetId(), 1, 3, 0, 2.0f}}));
        // The army the host did not name keeps its place after those it did.
        CHECK(ArmyOrder() == std::vector<std::uint8_t>{green.GetId(), red.GetId(), blue.GetId()});
        CHECK(green.GetDamageDealt() == 3);
        CHECK(green.GetDamageTaken() == 1);
        CHECK(green.GetFlagCount() == 1);
        CHECK(green.GetFlagTime() == 12.5f);
        CHECK(red.GetDamageDealt() == 1);
        CHECK(rules->GetState() == kMatchGameOn);

        // Its own sudden death and last-army check end nothing...
        rules->SetState(kMatchSuddenDeath);
        rules->RankArmies();
        CHECK(rules->GetState() == kMatchSuddenDeath);
        for (Army* army : {&blue, &green}) {
            army->RemoveUnit(army->GetUnits().front()->GetIndex());
        }
        rules->CheckLastArmy();
        CHECK(rules->GetState() == kMatchSuddenDeath);
        // ...the host's statistics do, with its figures.
        world.ApplyMatchResult(ResultOf(kMatchStatistics, {{red.GetId(), 2, 3, 0, 2.0f}}));
        CHECK(rules->GetState() == kMatchStatistics);
        CHECK(ArmyOrder().front() == red.GetId());
        CHECK(red.GetDamageDealt() == 2);
        // The host keeps its own judgement.
        Battle::Instance()->SetAuthority(true);
        rules->SetState(kMatchSuddenDeath);
        rules->CheckLastArmy();
        CHECK(rules->GetState() == kMatchStatistics);
    }
    SUBCASE("a unit a client killed by its own hits lives on at the host's word; on the host the dead stay dead")
    {
        UnitStateMessage state;
        state.head = {redUnit.GetIndex(), red.GetId()};
        state.position = redUnit.GetPosition();
        state.destination = redUnit.GetPosition();
        state.order = kOrderIdle;
        state.hitPoints = 4;
        state.targets = {kNoUnitByte, kNoUnitByte, kNoUnitByte, kNoUnitByte};
        Battle::Instance()->SetAuthority(false);
        redUnit.SetOrder(kOrderDying, false);
        REQUIRE(world.ApplyUnitState(state));
        CHECK(redUnit.GetOrder() == kOrderIdle);
        CHECK(redUnit.GetHitPoints() == 4);
        // So does an order relayed by the host.
        redUnit.SetOrder(kOrderDying, false);
        REQUIRE(world.MoveUnit(state.head, {5.0f, 0.0f, 5.0f}));
        CHECK(redUnit.GetOrder() == kOrderMove);

        Battle::Instance()->SetAuthority(true);
        redUnit.SetOrder(kOrderDying, false);
        REQUIRE(world.ApplyUnitState(state));
        CHECK(redUnit.GetOrder() == kOrderDying);
    }
    SUBCASE("a match the host left ends as Escape ends it, its reason kept once for the menus")
    {
        world.LeaveMatch("The host has left the game.");
        CHECK(rules->GetState() == kMatchGameOver);
        CHECK(world.TakeLeavingReason() == "The host has left the game.");
        CHECK(world.TakeLeavingReason().empty());
    }
}
