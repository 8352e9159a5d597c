// The match set-up: the computer armies' share of units, refused options,
// start slots, the clearing of a match, the background battle's restart, and
// the console a match leaves behind.
#include "app/Game.h"
#include "game/ComputerArmy.h"
#include "game/GameRules.h"
#include "physics/Physics.h"
#include "platform/Random.h"
#include "render/TextBox.h"
#include "render/TextManager.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<int> Counts(const ArmyUnitCounts& c)
{
    return {c.smashtors, c.triangoloids, c.trajectagons, c.detagons, c.artillerators};
}

} // namespace

TEST_CASE("a match's options are checked, the computer armies' units shared out by the allowed types, one start "
          "slot taken per army, eight at most, and its end clears everything")
{
    testing::ManualClockScope clock;
    // The refused ninth army is logged here, not in the data tree.
    const testing::TempDirectory directory;
    testing::LinkDataTree(directory.Path());
    Game* const game = Game::Instance();
    game->Init();
    CHECK(Counts(Game::ShareOutUnits(40, kAllowAllUnitTypes)) == std::vector<int>{15, 10, 10, 4, 1});
    CHECK(Counts(Game::ShareOutUnits(1, kAllowAllUnitTypes)) == std::vector<int>{0, 0, 0, 0, 0});
    CHECK(Counts(Game::ShareOutUnits(6, kAllowAllUnitTypes & ~kAllowSmashtor)) == std::vector<int>{0, 0, 2, 1, 1});
    // No type allowed, or a count from the network far out of range: no
    // hang, no units, or the most there can be.
    CHECK(Counts(Game::ShareOutUnits(100, 0)) == std::vector<int>{0, 0, 0, 0, 0});
    CHECK(Counts(Game::ShareOutUnits(4000000000u, kAllowAllUnitTypes)) == std::vector<int>{37, 25, 25, 10, 2});

    CHECK(game->SetOptions(3, 2.5f, 31, 2, 60, 5));
    for (const auto& bad : {std::tuple{4u, 1.0f, 3u, 40u, 7u},
                            {0u, 0.5f, 3u, 40u, 7u},
                            {0u, std::nanf(""), 3u, 40u, 7u},
                            {0u, 1.0f, 4u, 40u, 7u},
                            {0u, 1.0f, 3u, 0u, 7u},
                            {0u, 1.0f, 3u, 101u, 7u},
                            {0u, 1.0f, 3u, 40u, 8u}}) {
        const auto [mode, minutes, map, units, armies] = bad;
        CHECK_FALSE(game->SetOptions(mode, minutes, 31, map, units, armies));
    }
    CHECK(game->GetOptions().mode == 3);
    CHECK(game->GetOptions().maxUnits == 60);

    platform::SeedRand(3);
    game->SetSetting(kSettingGameState, kStateMatch);
    REQUIRE(game->SetOptions(kModeTerritories, 1.0f, kAllowAllUnitTypes, 1, 40, 7));
    game->EndMatch();
    game->StartMatch();
    CHECK(GameRules::Instance()->GetMode() == kModeTerritories);
    CHECK(Battle::Instance()->GetFlags().size() == game->GetTerrain().GetFlagCount());

    // The other seven armies are the computer's; the game fills every slot.
    game->CreateComputerArmies();
    Vec3 offSlot{7.0f, 0.0f, 7.0f};
    REQUIRE(game->CreateArmy(false, {3, 0, 0, 0, 0}, offSlot, true, "Ana") != nullptr);
    CHECK(offSlot == Vec3{7.0f, 0.0f, 7.0f});
    const auto* const computer = dynamic_cast<const ComputerArmy*>(Battle::Instance()->GetArmies().front().get());
    REQUIRE(computer != nullptr);
    CHECK(computer->GetUnits().size() == 40);
    std::set<std::uint32_t> colours;
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        colours.insert(army->GetColour());
    }
    CHECK(colours.size() == 8);
    Vec3 ninth;
    CHECK(game->CreateArmy(false, {1, 0, 0, 0, 0}, ninth, false, "Player") == nullptr);

    game->EndMatch();
    CHECK(Battle::Instance()->GetArmies().empty());
    CHECK(Battle::Instance()->GetFlags().empty());
    CHECK(Physics::Instance()->GetBodyCount() == 0);
    CHECK(game->FindArmyById(0) == nullptr);
    Vec3 again;
    CHECK(game->CreateArmy(false, {1, 0, 0, 0, 0}, again, false, "Player")->GetId() == 0);
    game->EndMatch();
}

TEST_CASE("game over behind the menus restarts the background battle on a map of the list with a one-minute clock")
{
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    Game* const game = Game::Instance();
    game->Init();
    platform::SeedRand(11);
    game->LoadAfterSplash();
    game->SetSetting(kSettingGameState, kStateMenus);
    GameRules* const rules = GameRules::Instance();
    CHECK(rules->GetGameSeconds() == 300.0f);
    CHECK(Battle::Instance()->GetArmies().size() == 8);

    rules->SetState(kMatchGameOver);
    clock.Advance(1.0 / 60.0);
    game->SetFrameTime(1.0f / 60.0f);
    game->SimulateFrame();
    CHECK(rules->GetState() == kMatchPlanning);
    CHECK(rules->GetGameSeconds() == 60.0f);
    CHECK(game->GetSetting(kSettingGameState) == kStateMenus);
    const std::vector<std::unique_ptr<Army>>& armies = Battle::Instance()->GetArmies();
    REQUIRE(armies.size() == 8);
    CHECK(armies.back()->GetUnits().size() == 49);
    CHECK(Battle::Instance()->GetFlags().size() == 1);
    game->EndMatch();
}

TEST_CASE("leaving a match clears its console lines and leaves one console behind, however many matches were played")
{
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    Game* const game = Game::Instance();
    game->Init();
    platform::SeedRand(5);
    game->LoadAfterSplash();
    game->SetSetting(kSettingGameState, kStateMenus);
    game->SetFrameTime(1.0f / 60.0f);
    for (int match = 0; match < 3; ++match) {
        CAPTURE(match);
        REQUIRE(game->SetOptions(kModeBodyCount, 1.0f, kAllowAllUnitTypes, 2, 10, 1));
        game->EndMatch();
        game->StartMatch();
        game->SetSetting(kSettingGameState, kStateMatch);
        game->CreateComputerArmies();
        // Planning lasts a frame; then the rules say "Game On" in the console.
        for (int frame = 0; frame < 3; ++frame) {
            clock.Advance(1.0 / 60.0);
            game->SimulateFrame();
        }
        TextBox* console = TextManager::Instance()->GetTextBox("ChatConsole");
        REQUIRE(console != nullptr);
        CHECK(console->GetLines().front() == "Game On");

        GameRules::Instance()->SetState(kMatchGameOver);
        clock.Advance(1.0 / 60.0);
        game->SimulateFrame();
        REQUIRE(game->GetSetting(kSettingGameState) == kStateMenus);
        console = TextManager::Instance()->GetTextBox("ChatConsole");
        REQUIRE(console != nullptr);
        const std::vector<std::string> lines = console->GetLines();
        CHECK(std::all_of(lines.begin(), lines.end(), [](const std::string& line) { return line.empty(); }));
        CHECK(TextManager::Instance()->BoxCount() == 1);
    }
    game->EndMatch();
}
