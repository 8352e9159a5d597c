// Unit selection's edges: a total that falls short, the set-up order at
// Start, no ready slot left over from before, and a network host's screen.
#include "gui/guiButton.h"
#include "gui/guiManager.h"
#include "gui/guiSlider.h"
#include "gui/guiWindow.h"
#include "screens/ScreenManager.h"
#include "screens/UnitSelectionScreen.h"

#include "RecordingCanvas.h"
#include "RecordingMenuHost.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

namespace {

using Screen = UnitSelectionScreen;

guiButton* StartButton()
{
    return static_cast<guiButton*>(guiManager::Instance()->FindObject(ScreenManager::kUnitSelectionWindow,
                                                                      ScreenManager::kStartButton, kGuiButton));
}

guiSlider* Slider(const char* name)
{
    return static_cast<guiSlider*>(
        guiManager::Instance()->FindObject(ScreenManager::kUnitSelectionWindow, name, kGuiSlider));
}

std::string DrawnTotal(ColorValue* color = nullptr)
{
    testing::RecordingCanvas canvas;
    Screen::Instance()->Draw(canvas);
    if (color) {
        *color = canvas.calls.front().textColor;
    }
    return canvas.calls.front().text;
}

// What a drag does: the thumb moves, then the callback hears of it.
void Slide(const char* slider, guiCallback callback, float value)
{
    Slider(slider)->SetValue(value);
    testing::Fire(callback, kGuiSliderMoved, guiParam::FromFloat(value));
}

bool PressStart()
{
    return testing::Fire(Screen::StartGameFromUnitSelection, kGuiButtonReleased);
}

struct SelectionFixture {
    explicit SelectionFixture(std::uint32_t maxUnits, SessionKind session = kSinglePlayer)
    {
        host.options.maxUnits = maxUnits;
        host.session = session;
        ScreenManager::Instance()->SetScreen(kScreenUnitSelection);
    }
    testing::TempDirectory logs;
    testing::GuiTestScope gui;
    testing::RecordingMenuHost host;
};

} // namespace

TEST_CASE("unit selection shares out the units, keeps the total and starts the match")
{
    SUBCASE("99 units fall short by three: red line, Start hidden until a slider adds them")
    {
        SelectionFixture f(99);
        ColorValue color;
        CHECK(DrawnTotal(&color) == "Total Units: 96 NOT ENOUGH UNITS! You need: 99");
        CHECK(color.b == 0.0f);
        CHECK_FALSE(StartButton()->IsVisible());
        CHECK_FALSE(PressStart());
        // The slider pushed to its top gives all 99, pushed back to what is left.
        Slide("SmashtorSlider", Screen::SmashtorSliderMoved, 0.0f);
        CHECK(Screen::Instance()->GetCount(Screen::kSmashtor) == 27);
        CHECK(Screen::Instance()->GetTotal() == 99);
        CHECK(Slider("SmashtorSlider")->GetValue() == doctest::Approx(72.0f / 99.0f));
        CHECK(DrawnTotal() == "Total Units: 99 Units is just right!");
        CHECK(StartButton()->IsVisible());
        CHECK(guiManager::Instance()->FindObject("", Screen::kBackButton, kGuiButton) != nullptr);
    }

    SUBCASE("Start in single player sets the match up in order")
    {
        SelectionFixture f(40);
        Screen::Instance()->GetSlot(3).ready = true;
        CHECK(PressStart());
        const std::vector<std::string> expected = {"StopMenuCamera",       "EndMatch",         "Authority on",
                                                   "StartMatch",           "CreateArmy",       "EnterMatchState",
                                                   "CreateComputerArmies", "RestartFrameClock"};
        CHECK(f.host.calls == expected);
        REQUIRE(f.host.armies.size() == 1);
        CHECK(f.host.armies.front().local);
        // A new build finds nobody ready from before.
        ScreenManager::Instance()->SetScreen(kScreenUnitSelection);
        CHECK_FALSE(Screen::Instance()->GetSlots()[3].ready);
    }

    SUBCASE("a network host hides Start, nobody gets Back")
    {
        SelectionFixture f(40, kMultiPlayer);
        CHECK_FALSE(Screen::Instance()->IsStartAllowed());
        DrawnTotal();
        CHECK_FALSE(StartButton()->IsVisible());
        CHECK(guiManager::Instance()->FindObject("", Screen::kBackButton, kGuiButton) == nullptr);
    }
}
