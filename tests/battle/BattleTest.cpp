// Eight computer armies play every mode to its end, headless, and the books
// balance throughout; the same seed plays the same battle; a coarser frame
// time plays one too. A match is the game's own set-up (StartMatch,
// CreateArmy) on a generated map, then the game's own simulation frame
// (Game::SimulateFrame) at a fixed frame time on the manual clock with a
// fixed seed, until the statistics or a cap, checking the books of the
// battle as it goes and counting what shows that fighting happened. The
// benchmark has its own copy of the set-up so it links no test code.
#include "app/Game.h"
#include "game/AiStrategy.h"
#include "game/Army.h"
#include "game/Flag.h"
#include "game/GameRules.h"
#include "game/MeshObject.h"
#include "game/Projectile.h"
#include "game/Unit.h"
#include "physics/Physics.h"
#include "platform/Random.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace {

struct Fighting {
    long shots = 0;
    long fuses = 0;
    long explosions = 0;
    std::size_t mostProjectiles = 0;
};

Fighting g_seen;

struct BattleSettings {
    GameMode mode = kModeBodyCount;
    unsigned seed = 1;
    float frameTime = 1.0f / 60.0f;
};

// Game seconds past the game time after which a stalled sudden death is
// given up.
constexpr float kSuddenDeathCap = 60.0f;

struct BattleOutcome {
    MatchState state = kMatchWaiting;
    std::int64_t damageTaken = 0;
    std::string digest;
};

class HeadlessBattle {
public:
    explicit HeadlessBattle(const BattleSettings& settings) : settings_(settings)
    {
        testing::LinkDataTree(directory_.Path());
        Game* const game = Game::Instance();
        game->Init();
        platform::SeedRand(settings.seed);
        AiStrategy::ResetReplanInterval();
        game->SetSetting(kSettingGameState, kStateMatch);
        REQUIRE(game->SetOptions(settings.mode, 1.0f, kAllowAllUnitTypes, settings.seed % 4, 40, 7));
        game->EndMatch();
        game->StartMatch();
        // A short game keeps the sanitizer build quick; the rules take any
        // positive length.
        GameRules::Instance()->BeginMatch(settings.mode, 1.0f, 0.0f);
        const ArmyUnitCounts mixed{5, 5, 5, 1, 1};
        for (int i = 0; i < 8; ++i) {
            Vec3 position;
            REQUIRE(game->CreateArmy(false, mixed, position, false, "Player") != nullptr);
        }
        Battle::Instance()->SetSoundHook([](BattleSound sound, float, float, float) {
            g_seen.shots += sound == BattleSound::kShot ? 1 : 0;
            g_seen.fuses += sound == BattleSound::kWhir ? 1 : 0;
        });
        Physics::Instance()->SetExplosionSound([](float, float, float) { ++g_seen.explosions; });
    }
    ~HeadlessBattle()
    {
        Game::Instance()->EndMatch();
        Game::Instance()->SetSetting(kSettingGameState, kStateSplash);
    }

    // Frames until the statistics have been up for a second (the ranking
    // goes on in them), or the cap.
    BattleOutcome Run()
    {
        GameRules* const rules = GameRules::Instance();
        const float capSeconds = rules->GetGameSeconds() + kSuddenDeathCap;
        const int cap = static_cast<int>(capSeconds / settings_.frameTime);
        const int checkEvery = static_cast<int>(1.0f / settings_.frameTime);
        int afterEnd = 0;
        BattleOutcome outcome;
        for (int frame = 0; frame < cap && afterEnd * settings_.frameTime < 1.0f; ++frame) {
            Frame();
            if (frame % checkEvery == 0) {
                CheckBooks();
            }
            afterEnd += rules->GetState() == kMatchStatistics ? 1 : 0;
        }
        CheckBooks();
        outcome.state = rules->GetState();
        for (const std::unique_ptr<Army>& army : rules->GetArmies()) {
            outcome.damageTaken += army->GetDamageTaken();
        }
        outcome.digest = Digest();
        return outcome;
    }

    void Frame()
    {
        clock_.Advance(settings_.frameTime);
        Game::Instance()->SetFrameTime(settings_.frameTime);
        Game::Instance()->SimulateFrame();
        g_seen.mostProjectiles = std::max(g_seen.mostProjectiles, Battle::Instance()->GetProjectiles().size());
    }

    // The invariants of a battle's statistics and bodies.
    void CheckBooks()
    {
        Battle* const battle = Battle::Instance();
        const float reach = Game::Instance()->GetTerrain().GetMapSize() / 2.0f + 5.0f;
        std::int64_t dealt = 0;
        std::int64_t taken = 0;
        std::size_t liveUnits = 0;
        std::map<std::uint8_t, int> ids;
        for (const std::unique_ptr<Army>& army : battle->GetArmies()) {
            CAPTURE(static_cast<int>(army->GetId()));
            const std::size_t live = army->GetUnits().size();
            liveUnits += live;
            CHECK(army->GetPoints() + army->GetLiveValue() == army->GetStartingPoints());
            CHECK(army->GetLiveValue() == live);
            CHECK(army->GetDeadCount() == army->GetBoughtValue() - live);
            CHECK((army->GetStrength() >= 0.0 && army->GetStrength() <= 1.0));
            // Taken counts deaths (never below zero, never more than died); dealt balances it below.
            CHECK((army->GetDamageTaken() >= 0 &&
                   army->GetDamageTaken() <= static_cast<std::int64_t>(army->GetDeadCount())));
            dealt += army->GetDamageDealt();
            taken += army->GetDamageTaken();
            int holding = 0;
            for (const std::unique_ptr<Flag>& flag : battle->GetFlags()) {
                holding += static_cast<int>(std::ranges::count(flag->GetPresent(), army.get()));
            }
            CHECK(army->GetFlagCount() == holding);
            float& lastTime = flagTimes_[army->GetId()];
            CHECK(army->GetFlagTime() >= lastTime);
            lastTime = army->GetFlagTime();
            for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
                if (unit->GetHitPoints() < 1) {
                    CHECK(unit->GetOrder() == kOrderDying);
                }
                CheckInside(unit->GetPosition(), reach);
            }
            ++ids[army->GetId()];
            CHECK(battle->FindArmyById(army->GetId()) == army.get());
        }
        CHECK(ids.size() == battle->GetArmies().size());
        CHECK(dealt == taken);
        for (const std::unique_ptr<Projectile>& projectile : battle->GetProjectiles()) {
            CheckInside(projectile->GetPosition(), reach * 2.0f);
        }
        const std::size_t bodies =
            liveUnits + battle->GetWorldObjects().size() + battle->GetFlags().size() + battle->GetProjectiles().size();
        CHECK(Physics::Instance()->GetBodyCount() == bodies);
    }

    // The ranking, the statistics and the positions to a centimetre.
    static std::string Digest()
    {
        std::string digest;
        char line[160] = {};
        for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
            std::snprintf(line, sizeof line, "army %d dealt %d taken %d flags %d time %.3f live %zu\n", army->GetId(),
                          army->GetDamageDealt(), army->GetDamageTaken(), army->GetFlagCount(),
                          static_cast<double>(army->GetFlagTime()), army->GetUnits().size());
            digest += line;
            for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
                const Vec3 at = unit->GetPosition();
                std::snprintf(line, sizeof line, " %d:%.2f,%.2f,%.2f", unit->GetIndex(), static_cast<double>(at.x),
                              static_cast<double>(at.y), static_cast<double>(at.z));
                digest += line;
            }
            digest += "\n";
        }
        return digest;
    }

private:
    static void CheckInside(const Vec3& at, float reach)
    {
        REQUIRE(Vec3IsFinite(at));
        CHECK(std::fabs(at.x) <= reach);
        CHECK(std::fabs(at.z) <= reach);
    }

    testing::TempDirectory directory_;
    testing::ManualClockScope clock_;
    BattleSettings settings_;
    std::map<std::uint8_t, float> flagTimes_;
};

} // namespace

TEST_CASE("every mode is played to the statistics, or fights on in sudden death, with the books balanced")
{
    for (const GameMode mode : {kModeLastManOnTheHill, kModeStealTheBacon, kModeTerritories, kModeBodyCount}) {
        CAPTURE(static_cast<int>(mode));
        // The ranking by each mode's key is the rules test's part.
        const BattleOutcome outcome = HeadlessBattle({.mode = mode, .seed = 7 + static_cast<unsigned>(mode)}).Run();
        CHECK(outcome.damageTaken > 0);
        CHECK((outcome.state == kMatchStatistics || outcome.state == kMatchSuddenDeath));
    }
    // Shooters fired, shells and Detagons blew up, and the air cleared.
    CHECK(g_seen.shots > 0);
    CHECK(g_seen.mostProjectiles > 0);
    CHECK(g_seen.fuses > 0);
    CHECK(g_seen.explosions > 0);
}

TEST_CASE("the same seed plays the same battle, and a coarser frame time plays one to its end too")
{
    BattleSettings settings{.mode = kModeBodyCount, .seed = 99};
    const std::string first = HeadlessBattle(settings).Run().digest;
    CHECK(HeadlessBattle(settings).Run().digest == first);
    settings.frameTime = 1.0f / 24.0f;
    const BattleOutcome outcome = HeadlessBattle(settings).Run();
    CHECK(outcome.state == kMatchStatistics);
    CHECK(outcome.damageTaken > 0);
}
