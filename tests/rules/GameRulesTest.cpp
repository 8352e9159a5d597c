// The rules: the states and clock, each mode's ranking and sudden-death end,
// the last-army check, and the flags' holding and credit.
#include "../units/BattleTestWorld.h"

#include "game/Flag.h"
#include "game/GameRules.h"

#include <cmath>
#include <string>
#include <vector>

using units_test::BattleWorld;

namespace {

// A battle world, and its rules with recorded chat lines, a menus switch and
// a counted leave.
struct RulesScope {
    RulesScope()
    {
        rules->SetChatSink([this](const std::string& line) { lines.push_back(line); });
        rules->SetInMenusQuery([this] { return inMenus; });
        rules->SetLeaveHandler([this] { ++leaves; });
        rules->SetStatisticsHook([this] { statistics.push_back(lines.size()); });
    }
    ~RulesScope()
    {
        rules->SetChatSink({});
        rules->SetInMenusQuery({});
        rules->SetLeaveHandler({});
        rules->SetStatisticsHook({});
    }
    BattleWorld world;
    GameRules* rules = GameRules::Instance();
    std::vector<std::string> lines;
    bool inMenus = false;
    int leaves = 0;
    // Each time the statistics hook ran: how many lines had been said by then.
    std::vector<std::size_t> statistics;
};

Flag& AddFlag(GameMode mode, const Vec3& at = Vec3())
{
    Battle::Instance()->GetFlags().push_back(std::make_unique<Flag>(at.x, at.y, at.z, ObjectMeshType::Flag, mode));
    return *Battle::Instance()->GetFlags().back();
}

} // namespace

TEST_CASE_FIXTURE(RulesScope, "the match runs from planning through game on and sudden death, with its clock")
{
    Army& a = world.AddArmy();
    Army& b = world.AddArmy();
    world.AddUnit(a, kSmashtor, -30.0f, 0.0f);
    world.AddUnit(b, kSmashtor, 30.0f, 0.0f);

    // A match gets one line for each change, the menus none.
    for (const bool menus : {false, true}) {
        inMenus = menus;
        lines.clear();
        rules->BeginMatch(kModeLastManOnTheHill, 1.0f, 0.0f);
        CHECK(rules->GetPhaseTimeLeft() == doctest::Approx(60.0f));
        CHECK(GameRules::ClockText(kMatchGameOn, rules->GetPhaseTimeLeft()) == "1 : 00");
        world.Advance(0.001);
        rules->Update();
        CHECK(rules->GetState() == kMatchGameOn);
        world.Advance(60.0);
        rules->Update();
        CHECK(rules->GetState() == kMatchGameOn); // exactly the game time: not yet
        world.Advance(0.001);
        rules->Update();
        CHECK(rules->GetState() == kMatchSuddenDeath);
        CHECK(lines == (menus ? std::vector<std::string>{} : std::vector<std::string>{"Game On", "Sudden Death!"}));
        // Without a flag nobody holds the hill: sudden death goes on, in a
        // match for good, behind the menus for a minute.
        world.Advance(60.0);
        rules->Update();
        CHECK(rules->GetState() == kMatchSuddenDeath);
        CHECK(rules->GetPhaseTimeLeft() == doctest::Approx(0.0f));
        world.Advance(40.0);
        rules->Update();
        CHECK(rules->GetState() == (menus ? kMatchStatistics : kMatchSuddenDeath));
        CHECK(rules->GetPhaseTimeLeft() < 0.0f);
    }

    // Game over is left through the hook at once; a match waits on its statistics, the background battle not.
    inMenus = false;
    rules->BeginMatch(kModeBodyCount, 1.0f, 0.0f);
    rules->SetState(kMatchGameOver);
    rules->Update();
    CHECK(leaves == 1);
    for (const bool menus : {false, true}) {
        inMenus = menus;
        leaves = 0;
        rules->BeginMatch(kModeBodyCount, 1.0f, 0.0f);
        rules->SetState(kMatchStatistics);
        rules->Update();
        rules->Update();
        CHECK(leaves == (menus ? 1 : 0));
    }

    // Modes and minutes from outside are made playable, and the clock reads whole seconds, never below zero.
    rules->BeginMatch(77, std::nanf(""), -1.0f);
    CHECK(rules->GetMode() == kModeLastManOnTheHill);
    CHECK(rules->GetGameSeconds() == 60.0f);
    CHECK(rules->GetPlanningSeconds() == 0.0f);
    rules->BeginMatch(kModeTerritories, 0.0f, 0.0f);
    CHECK(rules->GetGameSeconds() == 60.0f);
    CHECK_FALSE(GameRules::IsValidGameMinutes(0.5f));
    CHECK(GameRules::IsValidGameMinutes(10.0f));
    // The clock reads whole seconds and never below zero.
    CHECK(GameRules::ClockText(kMatchGameOn, 59.5f) == "0 : 59");
    CHECK(GameRules::ClockText(kMatchGameOn, 245.0f) == "4 : 05");
    CHECK(GameRules::ClockText(kMatchGameOn, -1.0f) == "0 : 00");
    CHECK(GameRules::ClockText(kMatchPlanning, 7.9f) == "0:07");
    CHECK(GameRules::ClockText(kMatchSuddenDeath, -5.0f) == "SUDDEN DEATH");
    CHECK(GameRules::ClockText(kMatchStatistics, 5.0f).empty());
}

TEST_CASE_FIXTURE(RulesScope, "the statistics hook runs once as a match's statistics come up, never behind the menus")
{
    Army& a = world.AddArmy();
    Army& b = world.AddArmy();
    world.AddUnit(a, kSmashtor, -30.0f, 0.0f);
    world.AddUnit(b, kSmashtor, 30.0f, 0.0f);

    // Body Count's clock runs out: "Sudden Death!" is said, and in the same
    // frame the statistics come up, after it.
    rules->BeginMatch(kModeBodyCount, 1.0f, 0.0f);
    world.Advance(0.001);
    rules->Update();
    world.Advance(60.5);
    rules->Update();
    REQUIRE(rules->GetState() == kMatchStatistics);
    CHECK(lines == std::vector<std::string>{"Game On", "Sudden Death!"});
    CHECK(statistics == std::vector<std::size_t>{2});
    // Staying on them, or set to them again, is no new start.
    rules->Update();
    rules->SetState(kMatchStatistics);
    CHECK(statistics.size() == 1);

    // A client taking its host's result comes to them the same way.
    rules->BeginMatch(kModeBodyCount, 1.0f, 0.0f);
    rules->SetState(kMatchGameOn);
    rules->AcceptHostResult(kMatchGameOn, {});
    CHECK(statistics.size() == 1);
    rules->AcceptHostResult(kMatchStatistics, {});
    CHECK(statistics.size() == 2);

    // Behind the menus a finished battle has no statistics to clear for:
    // the menus' console keeps what it says.
    inMenus = true;
    rules->BeginMatch(kModeBodyCount, 1.0f, 0.0f);
    rules->SetState(kMatchStatistics);
    CHECK(statistics.size() == 2);
}

TEST_CASE_FIXTURE(RulesScope, "each mode ranks the armies by its key twice a second and ends sudden death by its rule")
{
    std::vector<Army*> armies;
    for (int i = 0; i < 3; ++i) {
        armies.push_back(&world.AddArmy());
        world.AddUnit(*armies.back(), kSmashtor, -60.0f + 60.0f * static_cast<float>(i), 80.0f);
    }
    // A match in game on after its first frame.
    const auto begin = [&](GameMode mode) {
        rules->BeginMatch(mode, 1.0f, 0.0f);
        world.Advance(units_test::kFrame);
        rules->Update();
    };
    const auto order = [] {
        std::vector<int> ids;
        for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
            ids.push_back(army->GetId());
        }
        return ids;
    };

    // The hill: flag count first, damage breaks ties, equal keys keep their order, not before half a second.
    begin(kModeLastManOnTheHill);
    armies[0]->AddDamageDealt(5);
    armies[1]->AddDamageDealt(9);
    armies[2]->AddDamageDealt(2);
    armies[2]->SetFlagCount(1);
    world.Advance(0.5 - units_test::kFrame);
    rules->Update();
    CHECK(order() == std::vector<int>{0, 1, 2});
    world.Advance(0.001);
    rules->Update();
    CHECK(order() == std::vector<int>{2, 1, 0});
    armies[0]->AddDamageDealt(4); // 9 and 9: the earlier keeps its place
    world.Advance(0.6);
    rules->Update();
    CHECK(order() == std::vector<int>{2, 1, 0});

    // King Of The Hill never reorders nor ends.
    begin(kModeKingOfTheHill);
    const std::vector<int> before = order();
    armies[0]->SetFlagTime(50.0f); // the last in the order
    world.Advance(61.0);
    rules->Update();
    world.Advance(30.0);
    rules->Update();
    CHECK(order() == before);
    CHECK(rules->GetState() == kMatchSuddenDeath);

    // Territories ends only when the first two differ.
    rules->BeginMatch(kModeTerritories, 1.0f, 0.0f);
    rules->SetState(kMatchSuddenDeath);
    for (Army* army : armies) {
        army->SetFlagCount(2);
    }
    CHECK_FALSE(rules->SuddenDeathEnds());
    armies[1]->SetFlagCount(3);
    world.Advance(0.6);
    rules->RankArmies(); // ranks 3 first, then tests 3 against 2 on the next frame
    rules->RankArmies();
    CHECK(rules->GetState() == kMatchStatistics);

    // Body Count and Steal the Bacon end on the first frame of sudden death.
    for (const GameMode mode : {kModeBodyCount, kModeStealTheBacon}) {
        begin(mode);
        world.Advance(60.01);
        rules->Update();
        CHECK(rules->GetState() == kMatchStatistics);
    }

    // The last army standing ends the match, and in Steal the Bacon takes the time left.
    begin(kModeStealTheBacon);
    world.Advance(20.0);
    armies[0]->RemoveUnit(0);
    rules->Update();
    CHECK(rules->GetState() == kMatchGameOn);
    armies[2]->RemoveUnit(0);
    rules->Update();
    CHECK(rules->GetState() == kMatchStatistics);
    CHECK(armies[1]->GetFlagTime() == doctest::Approx(40.0f));
    // Behind the menus too, which then starts the next battle.
    inMenus = true;
    leaves = 0;
    begin(kModeStealTheBacon);
    CHECK(rules->GetState() == kMatchStatistics);
    rules->Update();
    rules->Update();
    CHECK(leaves == 1);
}

TEST_CASE_FIXTURE(RulesScope, "a flag is held by armies with a live unit within 25, on its own timer at any frame rate")
{
    rules->BeginMatch(kModeLastManOnTheHill, 1.0f, 0.0f);
    Flag& flag = AddFlag(kModeLastManOnTheHill);
    Army& red = world.AddArmy();
    Army& blue = world.AddArmy();
    red.SetColour(0xFFFF0000u);
    blue.SetColour(0xFF0000FFu);
    Unit& near = world.AddUnit(red, kSmashtor, 24.99f, 0.0f);
    Unit& edge = world.AddUnit(blue, kSmashtor, 0.0f, 25.0f);
    const auto look = [&] {
        world.Advance(20.0 / 60.0);
        flag.Update();
    };

    look();
    CHECK(flag.GetPresent() == std::vector<Army*>{&red});
    CHECK(flag.GetColour() == 0xFFFF0000u);
    CHECK(red.GetFlagCount() == 1);
    CHECK(blue.GetFlagCount() == 0);

    SUBCASE("an abandoned flag stays with its holders, who go on gaining time, looking three times a second")
    {
        near.SetPosition({60.0f, 0.0f, 0.0f});
        look();
        look();
        CHECK(flag.GetPresent() == std::vector<Army*>{&red});
        CHECK(red.GetFlagCount() == 1);
        CHECK(red.GetFlagTime() == doctest::Approx(40.0f / 60.0f));

        // Frames of 4/60 s still look about three times a second.
        int looks = 0;
        float lastTime = red.GetFlagTime();
        for (int frame = 0; frame < 30; ++frame) {
            world.Advance(4.0 / 60.0);
            flag.Update();
            looks += red.GetFlagTime() != lastTime ? 1 : 0;
            lastTime = red.GetFlagTime();
        }
        CHECK(looks == 6);
    }
    SUBCASE("two holders both count and the flag shows their mean colour; dying units hold nothing")
    {
        edge.SetPosition({0.0f, 0.0f, 10.0f});
        look();
        CHECK(red.GetFlagCount() == 1);
        CHECK(blue.GetFlagCount() == 1);
        CHECK(flag.GetColour() == 0xFF7F007Fu);
        near.SetOrder(kOrderDying, false);
        look();
        CHECK(flag.GetPresent() == std::vector<Army*>{&blue});
        CHECK(red.GetFlagCount() == 0);
    }
}
