// The match set-up: the computer armies' share of units, refused options,
// start slots, the network armies' budget and starts, the clearing of a match, the background battle's end and
// restart, and the cursor, mouse and console as a match leaves them.
#include "app/Game.h"
#include "game/Army.h"
#include "game/ComputerArmy.h"
#include "game/Flag.h"
#include "game/GameRules.h"
#include "game/Unit.h"
#include "gui/guiButton.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/Cursor.h"
#include "input/Mouse.h"
#include "input/SelectionController.h"
#include "physics/Physics.h"
#include "platform/InputEvents.h"
#include "platform/Random.h"
#include "render/TextBox.h"
#include "render/TextManager.h"
#include "screens/UnitSelectionScreen.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<int> Counts(const ArmyUnitCounts& c)
{
    return {c.smashtors, c.triangoloids, c.trajectagons, c.detagons, c.artillerators};
}

// Every unit of the army stands on the ground of a map of this side.
bool OnTheMap(const Army& army, float side)
{
    return std::all_of(army.GetUnits().begin(), army.GetUnits().end(), [side](const std::unique_ptr<Unit>& unit) {
        const Vec3 at = unit->GetPosition();
        return std::isfinite(at.y) && std::fabs(at.x) <= side / 2.0f && std::fabs(at.z) <= side / 2.0f;
    });
}

// A mouse message a window heard, with where the cursor was drawn then.
struct HeardMessage {
    std::uint32_t code = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t cursorX = 0;
    std::int32_t cursorY = 0;
};

std::vector<HeardMessage> heard;

std::uint32_t HearMouse(std::uint32_t code, guiParam* a, guiParam* b, bool* /*handled*/)
{
    if (code >= kGuiMouseMove && code <= kGuiRightUp) {
        heard.push_back({code, a->AsInt(), b->AsInt(), Cursor::Instance()->GetX(), Cursor::Instance()->GetY()});
    }
    return 0;
}

void PushMotion(int dx, int dy)
{
    platform::MouseRecords().Push({platform::MouseRecordKind::kMotion, dx, dy, 0, false, 0});
}

void PushLeftButton(bool down)
{
    platform::MouseRecords().Push({platform::MouseRecordKind::kButton, 0, 0, 0, down, 0});
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

TEST_CASE("a network army buys its slot's units with 120 points and stands on the loaded map, whatever start it was "
          "given")
{
    testing::ManualClockScope clock;
    const testing::TempDirectory directory;
    testing::LinkDataTree(directory.Path());
    Game* const game = Game::Instance();
    game->Init();
    REQUIRE(game->SetOptions(kModeLastManOnTheHill, 1.0f, kAllowAllUnitTypes, 0, 100, 0));

    // The armies as a client makes them from its host's slots, the own one selected.
    std::array<PlayerSetup, 8> slots{};
    slots[0] = {{37, 25, 25, 10, 3}, {3.0e38f, 3.0e38f, -3.0e38f}, true, "far", kSlotColours[0], 0};
    slots[1] = {{200, 0, 0, 0, 0}, {std::nanf(""), 0.0f, INFINITY}, true, "nowhere", kSlotColours[1], 0};
    slots[2] = {{1, 1, 1, 1, 1}, {-50.0f, 2.0f, 60.0f}, true, "here", kSlotColours[2], 0};
    UnitSelectionScreen::Instance()->StartNetworkMatch(slots, 1);
    const std::vector<std::unique_ptr<Army>>& armies = Battle::Instance()->GetArmies();
    REQUIRE(armies.size() == 3);
    const float side = game->GetTerrain().GetMapSize();
    REQUIRE(side > 0.0f);
    for (const std::unique_ptr<Army>& army : armies) {
        CAPTURE(army->GetName());
        CHECK(dynamic_cast<const ComputerArmy*>(army.get()) == nullptr);
        CHECK(army->GetStartingPoints() == 120);
        CHECK(OnTheMap(*army, side));
    }
    // The most units the options allow is bought whole, and more than the
    // points pay for is cut at 120.
    CHECK(armies[0]->GetUnits().size() == 100);
    CHECK(armies[0]->GetPoints() == 20);
    CHECK(armies[1]->GetUnits().size() == 120);
    CHECK(armies[1]->GetPoints() == 0);
    // Far starts go to the map's edge, a start that is no number to its
    // centre, and a start on the map is kept.
    const Vec3 far = armies[0]->GetCentre().value_or(Vec3());
    CHECK(far.x > side / 2.0f - 40.0f);
    CHECK(far.z < -(side / 2.0f - 40.0f));
    const Vec3 centre = armies[1]->GetCentre().value_or(Vec3(99.0f, 0.0f, 99.0f));
    CHECK(std::hypot(centre.x, centre.z) < 15.0f);
    const Vec3 kept = armies[2]->GetCentre().value_or(Vec3());
    CHECK(std::hypot(kept.x + 50.0f, kept.z - 60.0f) < 5.0f);
    // The player looks at the own army, there.
    CHECK(SelectionController::Instance()->GetArmy() == armies[1].get());
    const Vec3 at = game->GetCamera().GetView().GetAt();
    CHECK(std::hypot(at.x, at.z) < 1e-3f);
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

TEST_CASE("behind the menus a battle down to its last army, or a minute into sudden death, starts again")
{
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    Game* const game = Game::Instance();
    game->Init();
    platform::SeedRand(11);
    game->LoadAfterSplash();
    game->SetSetting(kSettingGameState, kStateMenus);
    GameRules* const rules = GameRules::Instance();
    const std::vector<std::unique_ptr<Army>>& armies = Battle::Instance()->GetArmies();
    const auto frame = [&](double seconds) {
        clock.Advance(seconds);
        game->SetFrameTime(1.0f / 60.0f);
        game->SimulateFrame();
    };
    // The restarted battle: a one-minute clock, eight new armies (the last
    // one large), on a map of the list.
    const auto checkRestarted = [&] {
        CHECK(rules->GetState() == kMatchPlanning);
        CHECK(rules->GetGameSeconds() == 60.0f);
        REQUIRE(armies.size() == 8);
        CHECK(armies.front()->GetUnits().size() == 17);
        CHECK(armies.back()->GetUnits().size() == 49);
        const std::list<std::string>& maps = game->GetMapList();
        CHECK(std::find(maps.begin(), maps.end(), game->GetBackgroundMapName()) != maps.end());
        frame(1.0 / 60.0);
        CHECK(rules->GetState() == kMatchGameOn);
    };
    frame(1.0 / 60.0);
    REQUIRE(rules->GetState() == kMatchGameOn);
    REQUIRE(rules->GetGameSeconds() == 300.0f);

    SUBCASE("the last army standing ends it in game on")
    {
        // The first army down to one unit, which is enough to live; the
        // others but the last lose every unit.
        while (armies.front()->GetUnits().size() > 1) {
            armies.front()->RemoveUnit(armies.front()->GetUnits().back()->GetIndex());
        }
        for (std::size_t i = 1; i + 1 < armies.size(); ++i) {
            while (!armies[i]->GetUnits().empty()) {
                armies[i]->RemoveUnit(armies[i]->GetUnits().front()->GetIndex());
            }
        }
        frame(1.0 / 60.0);
        CHECK(rules->GetState() == kMatchGameOn);
        Army& last = *armies.back();
        while (!last.GetUnits().empty()) {
            last.RemoveUnit(last.GetUnits().front()->GetIndex());
        }
        frame(1.0 / 60.0);
        CHECK(rules->GetState() == kMatchStatistics);
        frame(1.0 / 60.0);
        CHECK(rules->GetState() == kMatchGameOver);
        frame(1.0 / 60.0);
        checkRestarted();
    }
    SUBCASE("two armies holding the hill together cannot end sudden death, a minute of it does")
    {
        const Flag* const flag = rules->GetFirstFlag();
        REQUIRE(flag != nullptr);
        const Vec3 hill = flag->GetPosition();
        // Everybody away from the hill but one unit each of the first two.
        for (const std::unique_ptr<Army>& army : armies) {
            for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
                if (Vec3Length(unit->GetPosition() - hill) < 40.0f) {
                    unit->SetPosition(hill + Vec3(0.0f, 0.0f, hill.z > 0.0f ? -60.0f : 60.0f));
                }
            }
        }
        armies[0]->GetUnits().front()->SetPosition(hill + Vec3(3.0f, 0.0f, 0.0f));
        armies[1]->GetUnits().front()->SetPosition(hill - Vec3(3.0f, 0.0f, 0.0f));
        frame(0.5);
        REQUIRE(flag->GetPresent().size() == 2);
        frame(300.0);
        REQUIRE(rules->GetState() == kMatchSuddenDeath);
        frame(59.9);
        CHECK(rules->GetState() == kMatchSuddenDeath);
        CHECK(flag->GetPresent().size() == 2);
        frame(0.2);
        CHECK(rules->GetState() == kMatchStatistics);
        frame(1.0 / 60.0);
        frame(1.0 / 60.0);
        checkRestarted();
    }
    game->EndMatch();
}

TEST_CASE("after a match the cursor is drawn where the mouse is, and the menus hear each click where it shows")
{
    testing::ManualClockScope clock;
    const testing::TempDirectory directory;
    testing::LinkDataTree(directory.Path());
    platform::SetInputFocus(true);
    platform::MouseRecords().Clear();
    Game* const game = Game::Instance();
    game->Init();
    platform::SeedRand(5);
    Mouse* const mouse = Mouse::Instance();
    Cursor* const cursor = Cursor::Instance();
    mouse->SetX(512);
    mouse->SetY(384);
    game->LoadAfterSplash();
    game->SetSetting(kSettingGameState, kStateMenus);
    const auto frame = [&] {
        clock.Advance(1.0 / 60.0);
        game->SetFrameTime(1.0f / 60.0f);
        if (game->GetSetting(kSettingGameState) == kStateMatch) {
            game->PlayFrame();
        } else {
            game->MenuFrame();
        }
    };
    const auto click = [&] {
        PushLeftButton(true);
        frame();
        PushLeftButton(false);
        frame();
    };

    // A match, left from the top right where "Done" stands.
    REQUIRE(game->SetOptions(kModeBodyCount, 1.0f, kAllowAllUnitTypes, 0, 10, 1));
    game->EndMatch();
    game->StartMatch();
    Vec3 start;
    REQUIRE(game->CreateArmy(true, {4, 0, 0, 0, 0}, start, true, "Ana") != nullptr);
    game->SetSetting(kSettingGameState, kStateMatch);
    game->CreateComputerArmies();
    frame();
    PushMotion(180, -160);
    frame();
    REQUIRE(mouse->GetX() == 872);
    REQUIRE(mouse->GetY() == 64);
    GameRules::Instance()->SetState(kMatchGameOver);
    frame();
    REQUIRE(game->GetSetting(kSettingGameState) == kStateMenus);
    CHECK(cursor->GetX() == 872);
    CHECK(cursor->GetY() == 64);

    // The player clicks the title where the cursor shows, then puts the
    // drawn cursor on "Single Player" in one move: the button lights up and
    // answers, and every message heard on the way is at the drawn cursor.
    heard.clear();
    guiManager* const gui = guiManager::Instance();
    gui->CreateWindow("Listener")->SetCallback(HearMouse);
    click();
    REQUIRE(ScreenManager::Instance()->GetScreenId() == kScreenMainMenu);
    gui->CreateWindow("Listener")->SetCallback(HearMouse);
    guiWindow* const menu = gui->GetWindow(ScreenManager::kMainMenuWindow);
    REQUIRE(menu != nullptr);
    const guiButton* const single = menu->GetButton(ScreenManager::kSinglePlayerButton);
    REQUIRE(single != nullptr);
    const guiRect rect =
        single->PixelRect(menu->GetPosition().x, menu->GetPosition().y, menu->GetWidth(), menu->GetHeight());
    const auto centreX = static_cast<int>((rect.left + rect.right) / 2.0f);
    const auto centreY = static_cast<int>((rect.top + rect.bottom) / 2.0f);
    PushMotion((centreX - cursor->GetX()) / 2, (centreY - cursor->GetY()) / 2);
    frame();
    CHECK(single->IsHovered());
    click();
    CHECK(ScreenManager::Instance()->GetScreenId() == kScreenOptions);
    REQUIRE(heard.size() == 6);
    for (const HeardMessage& message : heard) {
        CAPTURE(message.code);
        CHECK(message.x == message.cursorX);
        CHECK(message.y == message.cursorY);
    }
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
        // Two armies, so the match plays on: one alone would be the last army
        // standing, and its statistics come up clear of the console's lines.
        REQUIRE(game->SetOptions(kModeBodyCount, 1.0f, kAllowAllUnitTypes, 2, 10, 2));
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
