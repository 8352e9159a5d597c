// Eight computer armies play every mode to its end, headless, and the books
// balance throughout; the same seed plays the same battle; a coarser frame
// time plays one too.
#include "HeadlessBattle.h"

#include <algorithm>

using battle_test::BattleOutcome;
using battle_test::BattleSettings;
using battle_test::HeadlessBattle;
using battle_test::Seen;

TEST_CASE("every mode is played to the statistics, or fights on in sudden death, with the books balanced")
{
    for (const GameMode mode : {kModeLastManOnTheHill, kModeStealTheBacon, kModeTerritories, kModeBodyCount}) {
        CAPTURE(static_cast<int>(mode));
        BattleSettings settings;
        settings.mode = mode;
        settings.seed = 7 + static_cast<unsigned>(mode);
        HeadlessBattle battle(settings);
        const BattleOutcome outcome = battle.Run();
        CHECK(outcome.damageTaken > 0);
        CHECK(battle_test::IsRanked(mode));
        if (mode == kModeStealTheBacon || mode == kModeBodyCount) {
            // These end on the first frame of sudden death.
            CHECK(outcome.state == kMatchStatistics);
        } else {
            CHECK((outcome.state == kMatchStatistics || outcome.state == kMatchSuddenDeath));
        }
        if (mode == kModeBodyCount) {
            const auto& armies = Battle::Instance()->GetArmies();
            const auto most = std::ranges::max_element(
                armies, {}, [](const std::unique_ptr<Army>& army) { return army->GetDamageDealt(); });
            CHECK((*most)->GetDamageDealt() == armies.front()->GetDamageDealt());
        }
    }
    // Shooters fired, shells and Detagons blew up, and the air cleared.
    CHECK(Seen().shots > 0);
    CHECK(Seen().mostProjectiles > 0);
    CHECK(Seen().fuses > 0);
    CHECK(Seen().explosions > 0);
}

TEST_CASE("the same seed plays the same battle, and a coarser frame time plays one to its end too")
{
    BattleSettings settings;
    settings.mode = kModeBodyCount;
    settings.seed = 99;
    std::string first;
    {
        HeadlessBattle battle(settings);
        first = battle.Run().digest;
    }
    {
        HeadlessBattle battle(settings);
        CHECK(battle.Run().digest == first);
    }
    settings.frameTime = 1.0f / 24.0f;
    HeadlessBattle coarse(settings);
    const BattleOutcome outcome = coarse.Run();
    CHECK(outcome.state == kMatchStatistics);
    CHECK(outcome.damageTaken > 0);
}
