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

TEST_CASE("a button's label stands at its offset while it fits and is centred when it would reach the right edge")
{
    testing::GuiTestScope gui(1025, 769);
    guiWindow window(nullptr, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    // Pixels 256-368 across: 112 wide, as a menu button on a 1024-wide screen.
    guiButton button(&window, nullptr, 0.25f, 0.25f, 0.109375f, 0.05f);
    const auto labelX = [&](const std::string& label, float offsetX) {
        button.SetLabel(label, "ButtonDefault", offsetX, 12.0f, 1.0f, 1.0f, 1.0f, 1.0f);
        gui.canvas.calls.clear();
        button.Render(0.0f, 0.0f, 1.0f, 1.0f, 0xFFFFFFFFu);
        REQUIRE(gui.canvas.calls.size() == 1);
        CHECK(gui.canvas.calls[0].y == 192 + 12);
        return gui.canvas.calls[0].x;
    };
    // Ten pixels a character: 90 pixels end at 11 + 90 = 101, clear of the margin.
    CHECK(labelX(std::string(9, 'a'), 11.0f) == 256 + 11);
    // Ending exactly at the margin still stands; a pixel further is centred.
    CHECK(labelX(std::string(9, 'a'), 112.0f - guiButton::kLabelMargin - 90.0f) == 256 + 18);
    CHECK(labelX(std::string(9, 'a'), 112.0f - guiButton::kLabelMargin - 89.0f) == 256 + 11);
    // Too long for its offset, or wider than the face: centred either way.
    CHECK(labelX(std::string(10, 'a'), 11.0f) == 256 + 6);
    CHECK(labelX(std::string(13, 'a'), 0.0f) == 256 - 9);
}
