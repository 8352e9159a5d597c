// The check box: its toggle and the face it draws in each state.
#include "gui/guiCheckBox.h"
#include "gui/guiWindow.h"

#include "RecordingCanvas.h"

#include <doctest/doctest.h>

#include <vector>

using testing::Offer;

TEST_CASE("a check box toggles on a press inside and draws the first face that applies")
{
    testing::GuiTestScope gui(1025, 769);
    guiWindow window(nullptr, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    guiCheckBox box(&window, testing::RecordEvent, 0.25f, 0.25f, 0.5f, 0.5f);
    testing::RecordedEvents().clear();
    const auto face = [&] {
        gui.canvas.calls.clear();
        box.Render(0.0f, 0.0f, 1.0f, 1.0f, 0xFFFFFFFFu);
        const std::vector<std::string> drawn = gui.canvas.DrawnTextures();
        return drawn.empty() ? std::string("none") : drawn[0];
    };

    // A state under the cursor without its own face falls back to the plain one, else all four faces.
    box.SetUncheckedTexture("off");
    box.SetCheckedTexture("on");
    CHECK(face() == "off");
    Offer(box, kGuiMouseMove, 300, 300);
    CHECK(face() == "off");
    box.SetChecked(1);
    CHECK(face() == "on");
    box.SetHoverTexture("off-hover");
    box.SetCheckedHoverTexture("on-hover");
    CHECK(face() == "on-hover");
    box.SetChecked(0);
    CHECK(face() == "off-hover");

    // Presses inside toggle and report, presses outside and releases do not.
    CHECK(Offer(box, kGuiLeftDown, 300, 300));
    CHECK(box.IsChecked() == 1);
    CHECK_FALSE(Offer(box, kGuiLeftUp, 300, 300));
    CHECK_FALSE(Offer(box, kGuiLeftDown, 100, 100));
    CHECK(Offer(box, kGuiLeftDown, 768, 576));
    CHECK(box.IsChecked() == 0);
    CHECK(testing::RecordedCodes() == std::vector<std::uint32_t>{kGuiChecked, kGuiUnchecked});
    for (const testing::GuiEvent& event : testing::RecordedEvents()) {
        CHECK(event.a.AsPointer() == &box);
    }
    CHECK(gui.clicks == 2);
    box.SetChecked(1);
    CHECK(testing::RecordedEvents().size() == 2);
}
