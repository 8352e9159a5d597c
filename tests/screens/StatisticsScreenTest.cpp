// The statistics screen's rows, a name cut to its column, its Done button
// made once, and Done acting on the release only.
#include "game/Army.h"
#include "game/Battle.h"
#include "game/GameRules.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "screens/StatisticsScreen.h"

#include "RecordingCanvas.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <memory>
#include <vector>

namespace {

std::vector<std::unique_ptr<Army>> EightArmies()
{
    std::vector<std::unique_ptr<Army>> armies;
    for (int i = 0; i < 8; ++i) {
        auto army = std::make_unique<Army>();
        army->SetName("Army " + std::to_string(i));
        army->SetColour(0xFF102030u + static_cast<std::uint32_t>(i));
        armies.push_back(std::move(army));
    }
    armies[0]->AddDamageDealt(1500);
    armies[0]->AddDamageTaken(-3);
    armies[0]->SetFlagTime(12.5f);
    return armies;
}

} // namespace

TEST_CASE("the statistics screen lists the armies in ranked order and leaves by Done")
{
    testing::TempDirectory logs;
    testing::GuiTestScope gui;
    const std::vector<std::unique_ptr<Army>> armies = EightArmies();

    // A row per army with negative damage and the flag time's two decimals, drawn without reloading.
    const std::vector<StatisticsRow> rows = StatisticsScreen::Rows(armies);
    REQUIRE(rows.size() == 8);
    CHECK(rows[0].damageTaken == "-3");
    CHECK(rows[0].flagTime == "12.50");
    CHECK(rows[1].flagTime == "0.00");
    // The army's colour under a translucent alpha.
    CHECK(rows[2].panelColor == 0x55102032u);
    StatisticsScreen::Instance()->Draw(gui.canvas, gui.canvas, armies, 1024, 768);
    // A name too long for its column is cut, by what the table's font
    // measures (10 pixels a character on the recording canvas), with dots.
    armies[1]->SetName("Wintergreen of the Northern Reaches");
    gui.canvas.calls.clear();
    StatisticsScreen::Instance()->Draw(gui.canvas, gui.canvas, armies, 1024, 768);
    std::vector<std::string> names;
    for (const testing::CanvasCall& call : gui.canvas.calls) {
        if (call.kind == testing::CanvasCall::Kind::kText && call.x == 100) {
            names.push_back(call.text);
        }
    }
    REQUIRE(names.size() == 8);
    CHECK(names[0] == "Army 0");
    CHECK(names[1] == "Wintergreen of t...");
    CHECK(gui.canvas.MeasureText(names[1], "GameOverFont") <= StatisticsScreen::kNameWidth);
    // The rows keep the whole name.
    CHECK(StatisticsScreen::Rows(armies)[1].name == "Wintergreen of the Northern Reaches");
    // A second frame loads nothing again.
    const int loads = gui.canvas.loads;
    StatisticsScreen::Instance()->Draw(gui.canvas, gui.canvas, armies, 1024, 768);
    CHECK(gui.canvas.loads == loads);

    // The Done button is made once, and only in the in-game window.
    StatisticsScreen::Instance()->EnsureDoneButton();
    CHECK(testing::ReadTextFile("guiButton.txt").empty());
    CHECK(testing::ReadTextFile("guiWindow.txt").empty());
    guiWindow* play = guiManager::Instance()->CreateWindow(StatisticsScreen::kPlayWindow);
    StatisticsScreen::Instance()->EnsureDoneButton();
    StatisticsScreen::Instance()->EnsureDoneButton();
    CHECK(play->ObjectCount() == 1);
    CHECK(testing::ReadTextFile("guiWindow.txt").empty());
    StatisticsScreen::Instance()->RemoveDoneButton();
    CHECK(play->ObjectCount() == 0);

    // Done ends the match on the release, not the press.
    GameRules::Instance()->SetState(kMatchStatistics);
    CHECK_FALSE(testing::Fire(StatisticsScreen::DoneButtonCallback, kGuiButtonPressed));
    CHECK(GameRules::Instance()->GetState() == kMatchStatistics);
    CHECK(testing::Fire(StatisticsScreen::DoneButtonCallback, kGuiButtonReleased));
    CHECK(GameRules::Instance()->GetState() == kMatchGameOver);
}
