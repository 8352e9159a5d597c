// The options screen's edges that the menu play-through (tests/e2e) cannot
// reach by clicking: clamps on what comes in, boxes that must stay checked,
// and map pictures loaded only when the map changes.
#include "gui/guiCheckBox.h"
#include "gui/guiManager.h"
#include "gui/guiSlider.h"
#include "gui/guiWindow.h"
#include "screens/OptionsScreen.h"
#include "screens/ScreenManager.h"

#include "RecordingCanvas.h"
#include "RecordingMenuHost.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

guiWindow* Window()
{
    return guiManager::Instance()->GetWindow(OptionsScreen::kWindow);
}

guiCheckBox* UnitBox(int i)
{
    return Window()->GetCheckBox("OptionsScreenUnitCheckBox" + std::to_string(i));
}

guiCheckBox* ModeBox(int i)
{
    return Window()->GetCheckBox("OptionsScreenGameTypeOptionBox" + std::to_string(i));
}

// What a box's press does: toggle it and tell its callback.
void Toggle(guiCheckBox* box, guiCallback callback)
{
    box->SetChecked(box->IsChecked() ? 0 : 1);
    testing::Fire(callback, box->IsChecked() ? kGuiChecked : kGuiUnchecked, guiParam::FromPointer(box));
}

void SlideMap(float value)
{
    testing::Fire(OptionsScreen::MapSliderMoved, kGuiSliderMoved, guiParam::FromFloat(value),
                  guiParam::FromFloat(0.0f));
}

} // namespace

TEST_CASE("the options screen maps its widgets into the game's options")
{
    testing::TempDirectory logs;
    testing::GuiTestScope gui;
    testing::RecordingMenuHost host;
    ScreenManager::Instance()->SetScreen(kScreenOptions);
    OptionsScreen* screen = OptionsScreen::Instance();
    screen->SetValues(GameOptions{});

    // The sliders' ends and what comes in are brought into range.
    CHECK(OptionsScreen::MapFromSlider(1.0f) == 3);
    CHECK(OptionsScreen::MaxUnitsFromSlider(0.0f) == 1);
    CHECK(OptionsScreen::ComputerArmiesFromSlider(1.0f, 2) == 5);
    // More players than start slots never wraps to a huge count.
    CHECK(OptionsScreen::ComputerArmiesFromSlider(1.0f, 12) == 0);
    screen->SetValues({.mode = 9,
                       .minutes = std::numeric_limits<float>::quiet_NaN(),
                       .unitMask = 64,
                       .mapIndex = 4,
                       .maxUnits = 0,
                       .computerArmies = 0xFFFFFFFFu});
    const GameOptions& got = screen->GetOptions();
    CHECK(got.mode == 0);
    CHECK(got.minutes == 1.0f);
    CHECK(got.unitMask == 31);
    CHECK(got.mapIndex == 0);
    CHECK(got.maxUnits == 1);
    CHECK(got.computerArmies == 7);
    CHECK(std::isfinite(Window()->GetSlider("OptionsTimerSlider")->GetValue()));

    // The map pictures change only when the map does.
    guiWindow* maps = guiManager::Instance()->GetWindow(OptionsScreen::kMapWindow);
    gui.canvas.loads = 0;
    SlideMap(0.1f);
    CHECK(gui.canvas.loads == 0);
    SlideMap(0.4f);
    CHECK(gui.canvas.loads == 3);
    CHECK(maps->TextureCount() == 3);

    // The last unit type and the only mode cannot be unchecked.
    for (int i = 0; i < OptionsScreen::kUnitBoxes; ++i) {
        Toggle(UnitBox(i), OptionsScreen::UnitCheckBoxChanged);
    }
    CHECK(UnitBox(4)->IsChecked());
    Toggle(ModeBox(0), OptionsScreen::GameTypeBoxChanged);
    CHECK(ModeBox(0)->IsChecked());
    CHECK(testing::Fire(OptionsScreen::OptionsOkPressed, kGuiButtonReleased));
    CHECK(host.options.unitMask == 16);
}

TEST_CASE("a checked box shows the ticked face, an unchecked one the plain face, hovered or not")
{
    testing::TempDirectory logs;
    testing::GuiTestScope gui;
    testing::RecordingMenuHost host;
    ScreenManager::Instance()->SetScreen(kScreenOptions);
    guiCheckBox* box = UnitBox(0);
    const auto face = [&gui, box]() {
        gui.canvas.calls.clear();
        box->Render(0.0f, 0.0f, 1.0f, 1.0f, 0xFFFFFFFFu);
        REQUIRE(gui.canvas.calls.size() == 1);
        return gui.canvas.calls.front().texture;
    };
    REQUIRE(box->IsChecked());
    CHECK(face() == "Interface/Button/bcheck.dds");
    // The cursor over the box's middle: (134, 136) in pixels.
    testing::Offer(*box, kGuiMouseMove, 134, 136);
    CHECK(face() == "Interface/Button/bcheckhover.dds");
    box->SetChecked(0);
    CHECK(face() == ScreenManager::kButtonHover);
    testing::Offer(*box, kGuiMouseMove, 600, 600);
    CHECK(face() == ScreenManager::kButtonUp);
}
