// The button: its press, its click and the face it draws in each state.
#include "gui/guiButton.h"
#include "gui/guiWindow.h"

#include "RecordingCanvas.h"

#include <doctest/doctest.h>

#include <vector>

using testing::Offer;

TEST_CASE("a button reports a press inside, completes the click on any release and draws the face of its state")
{
    testing::GuiTestScope gui(1025, 769);
    guiWindow window(nullptr, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    guiButton button(&window, testing::RecordEvent, 0.25f, 0.25f, 0.5f, 0.5f); // pixels 256-768 x 192-576
    testing::RecordedEvents().clear();
    const auto face = [&] {
        gui.canvas.calls.clear();
        button.Render(0.0f, 0.0f, 1.0f, 1.0f, 0xFFFFFFFFu);
        return gui.canvas.DrawnTextures();
    };
    using Faces = std::vector<std::string>;

    // A release without a press and a press outside do nothing.
    CHECK_FALSE(Offer(button, kGuiLeftUp, 300, 300));
    CHECK_FALSE(Offer(button, kGuiLeftDown, 255, 300));
    CHECK_FALSE(Offer(button, kGuiRightDown, 300, 300));
    CHECK(testing::RecordedEvents().empty());
    CHECK(gui.clicks == 0);

    // No picture draws nothing, not a plain box; a missing hover leaves the up face; a replaced one is let go.
    Offer(button, kGuiMouseMove, 300, 300);
    CHECK(face().empty());
    button.SetUpTexture("up");
    CHECK(face() == Faces{"up"});
    button.SetUpTexture("up2");
    CHECK(gui.canvas.LiveTextures() == 1);
    Offer(button, kGuiMouseMove, 10, 10);

    // Press inside, wander off and release far away: up, hover, down, then up while held off the button.
    button.SetUpTexture("up");
    button.SetDownTexture("down");
    button.SetHoverTexture("hover");
    CHECK(face() == Faces{"up"});
    CHECK(Offer(button, kGuiMouseMove, 768, 576));
    CHECK(face() == Faces{"hover"});
    CHECK(Offer(button, kGuiLeftDown, 300, 300));
    CHECK(gui.clicks == 1);
    CHECK(face() == Faces{"down"});
    CHECK_FALSE(Offer(button, kGuiMouseMove, 769, 576));
    CHECK(face() == Faces{"up"});
    CHECK(Offer(button, kGuiLeftUp, 10, 10));
    CHECK(testing::RecordedCodes() == std::vector<std::uint32_t>{kGuiButtonPressed, kGuiButtonReleased});
    CHECK_FALSE(button.IsPressed());
}
