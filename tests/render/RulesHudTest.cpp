// The rules' overlay: the clock alone while the scores are hidden, the army
// list and each mode's scoreboard on their rows when shown, and the texts of
// strengths and scores at their limits.
#include "../units/BattleTestWorld.h"

#include "game/GameRules.h"
#include "RenderTestWindow.h"
#include "render/RulesHud.h"
#include "render/TextManager.h"

#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using units_test::BattleWorld;

namespace {

struct QueuedText {
    std::string text;
    int x = 0;
    int y = 0;
    bool operator==(const QueuedText&) const = default;
};

std::vector<QueuedText> TakeQueue()
{
    std::vector<QueuedText> queued;
    for (const TextDrawRequest& request : TextManager::Instance()->GetQueue()) {
        CHECK(request.fontKey == "Default");
        queued.push_back({request.text, request.x, request.y});
    }
    TextManager::Instance()->Render();
    return queued;
}

} // namespace

TEST_CASE("the rules overlay draws the clock and, when shown, the army list and the scoreboard")
{
    BattleWorld world;
    const testing::NullRenderer null;
    platform::NullRenderDevice* const device = null.device;
    Renderer* const renderer = Renderer::Instance();
    TextManager* const text = TextManager::Instance();
    // Fonts that measure (headless, every character half a line wide), so
    // names are cut to their column.
    text->Init(device);
    const RulesHud hud(*device);
    GameRules* const rules = GameRules::Instance();

    Army& first = world.AddArmy();
    first.SetName("Reds");
    first.SetColour(0xFFAA0000u);
    world.AddUnit(first, kSmashtor, 0.0f, 0.0f);
    first.AddDamageDealt(1234);
    first.SetFlagCount(2);
    first.SetFlagTime(65.5f);
    Army& second = world.AddArmy();
    second.SetName(std::string(40, 'b'));
    second.AddDamageDealt(-45);

    // Hidden scores leave the clock alone, and the menus not even that.
    rules->BeginMatch(kModeBodyCount, 1.0f, 0.0f);
    rules->SetState(kMatchGameOn);
    device->ClearCalls();
    hud.Draw(*renderer, *text, *rules);
    CHECK(TakeQueue() == std::vector<QueuedText>{{"1 : 00", 470, 12}});
    rules->SetState(kMatchSuddenDeath);
    rules->SetShowScores(true);
    rules->SetInMenusQuery([] { return true; });
    hud.Draw(*renderer, *text, *rules);
    rules->SetInMenusQuery({});
    CHECK(TakeQueue().empty());
    rules->SetState(kMatchStatistics);
    hud.Draw(*renderer, *text, *rules);
    CHECK(TakeQueue().empty());
    // No panel at all; the one text drawn is the clock.
    CHECK(device->CallsStartingWith("DrawPrimitive").empty());
    CHECK(device->CallsStartingWith("DrawText").size() == 1);

    // Body Count lists the armies with their strength and the first digits
    // of their damage; the long name is cut, with "...", short of the strengths.
    rules->BeginMatch(kModeBodyCount, 1.0f, 0.0f);
    rules->SetState(kMatchSuddenDeath);
    rules->SetShowScores(true);
    device->ClearCalls();
    hud.Draw(*renderer, *text, *rules);
    const std::vector<QueuedText> expected = {
        {"SUDDEN DEATH", 460, 12}, {"Reds", 340, 80},
        {"100 %", 540, 80},        {std::string(20, 'b') + "...", 340, 100},
        {"0 %", 540, 100},         {"Body Count                          Army        Damage", 340, 40},
        {"123", 635, 80},          {"-45", 635, 100},
    };
    CHECK(TakeQueue() == expected);
    CHECK(device->CallsStartingWith("DrawPrimitive").size() == 2);

    // The timed modes show minutes and seconds on wider panels in the army colour.
    rules->BeginMatch(kModeStealTheBacon, 1.0f, 0.0f);
    rules->SetShowScores(true);
    device->ClearCalls();
    hud.DrawScoreboard(*renderer, *text, rules->GetMode(), rules->GetRankedArmies());
    const std::vector<QueuedText> queued = TakeQueue();
    REQUIRE(queued.size() == 3);
    CHECK(queued[1] == QueuedText{"1 : 05", 635, 80});
    CHECK(queued[2] == QueuedText{"0 : 00", 635, 100});
    // The last panel drawn is the second army's row.
    std::array<platform::ScreenTexVertex, 4> corners{};
    std::memcpy(corners.data(), device->GetState().stream->Lock().data(), sizeof corners);
    CHECK(corners[0].x == 320.0f);
    CHECK(corners[0].y == 100.0f);
    CHECK(corners[2].x == 695.0f);
    CHECK(corners[2].y == 120.0f);
    CHECK(corners[0].color == 0x55000000u);
    hud.DrawScoreboard(*renderer, *text, kModeLastManOnTheHill, rules->GetRankedArmies());
    const std::vector<QueuedText> flagHolders = TakeQueue();
    CHECK(flagHolders.size() == 2);
    CHECK(flagHolders.back() == QueuedText{"O", 635, 80});

    // Strengths and scores stay within their columns.
    const std::pair<double, const char*> strengths[] = {
        {1.0, "100 %"}, {0.03, "3 %"}, {7.0 / 100.0, "7 %"}, {0.001, "1 %"},
        {0.0, "0 %"},   {-2.0, "0 %"}, {1e30, "999 %"},      {std::numeric_limits<double>::quiet_NaN(), "0 %"}};
    for (const auto& [strength, text] : strengths) {
        CAPTURE(strength);
        CHECK(RulesHud::StrengthText(strength) == text);
    }
    CHECK(RulesHud::LeadingDigits(std::numeric_limits<std::int32_t>::min()) == "-214");
    CHECK(RulesHud::LeadingDigits(7) == "7");

    // Every name, however long, ends inside its column; one that fits is left whole.
    for (const std::size_t length : {0u, 1u, 23u, 24u, 25u, 60u, 200u}) {
        CAPTURE(length);
        const std::string name(length, 'W');
        const std::string shown = RulesHud::ColumnName(*text, name);
        CHECK(text->MeasureText(shown, "Default") <= RulesHud::kNameWidth);
        if (text->MeasureText(name, "Default") <= RulesHud::kNameWidth) {
            CHECK(shown == name);
        } else {
            CHECK(shown.ends_with("..."));
        }
    }
    CHECK(340 + RulesHud::kNameWidth < 540);
    text->Shutdown();
}
