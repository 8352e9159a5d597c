// The slider: the thumb following the cursor, its ends, and what it reports.
#include "gui/guiSlider.h"
#include "gui/guiWindow.h"

#include "RecordingCanvas.h"

#include <doctest/doctest.h>

#include <limits>
#include <vector>

using testing::Offer;

TEST_CASE("a slider follows the cursor while held and reports every move and release")
{
    testing::GuiTestScope gui(1025, 769);
    guiWindow window(nullptr, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    // Pixels 256-768 x 192-576; a thumb a fifth of the track.
    guiSlider slider(&window, testing::RecordEvent, 0.25f, 0.25f, 0.5f, 0.5f);
    slider.SetThumbTexture("thumb", 0.1f, 0.1f);
    std::vector<testing::GuiEvent>& events = testing::RecordedEvents();
    events.clear();

    // A release anywhere reaches an untouched slider and is left for others.
    CHECK_FALSE(Offer(slider, kGuiLeftUp, 5, 5));
    REQUIRE(events.size() == 1);
    CHECK(events[0].code == kGuiSliderReleased);
    CHECK_FALSE(Offer(slider, kGuiMouseMove, 512, 300));
    CHECK(events.size() == 1);

    // The thumb's centre is on the cursor and stays on the track.
    events.clear();
    CHECK(Offer(slider, kGuiLeftDown, 512, 300));
    CHECK(slider.GetValue() == doctest::Approx(0.5));
    CHECK(gui.clicks == 1);
    CHECK(Offer(slider, kGuiMouseMove, 320, 300));
    CHECK(slider.GetValue() == doctest::Approx(0.03125));
    CHECK(Offer(slider, kGuiMouseMove, 256, 300));
    CHECK(slider.GetValue() == 0.0f);
    CHECK(Offer(slider, kGuiMouseMove, 256, 300));
    // Dragged off the slider: still moving it, but no longer handled.
    CHECK_FALSE(Offer(slider, kGuiMouseMove, 1000, 700));
    CHECK(slider.GetValue() == 1.0f);
    CHECK_FALSE(Offer(slider, kGuiLeftUp, 1000, 700));
    CHECK_FALSE(Offer(slider, kGuiMouseMove, 512, 300));
    REQUIRE(events.size() == 6);
    CHECK(events[1].b.AsFloat() == doctest::Approx(0.03125 - 0.5));
    CHECK(events[3].code == kGuiSliderMoved);
    CHECK(events[3].b.AsFloat() == 0.0f);
    CHECK(events[5].code == kGuiSliderReleased);
    CHECK(events[5].a.AsFloat() == 1.0f);

    // The thumb is drawn over the track from one end to the other.
    slider.SetTrackTexture("track");
    const auto thumb = [&](float value) {
        slider.SetValue(value);
        gui.canvas.calls.clear();
        slider.Render(0.0f, 0.0f, 1.0f, 1.0f, 0xFFFFFFFFu);
        REQUIRE(gui.canvas.DrawnTextures() == std::vector<std::string>{"track", "thumb"});
        return gui.canvas.calls[1];
    };
    CHECK(thumb(0.5f).topLeft.x == doctest::Approx(460.8));
    CHECK(thumb(0.0f).topLeft.x == doctest::Approx(256.0));
    CHECK(thumb(1.0f).bottomRight.x == doctest::Approx(768.0)); // the subcases start from the far end

    SUBCASE("a vertical slider reads the cursor's height")
    {
        slider.SetHorizontal(0);
        Offer(slider, kGuiLeftDown, 300, 384);
        CHECK(slider.GetValue() == doctest::Approx(0.5));
        Offer(slider, kGuiMouseMove, 300, 192 + 48);
        CHECK(slider.GetValue() == doctest::Approx(0.03125));
    }

    SUBCASE("a thumb as long as the track gives only the ends, never NaN")
    {
        slider.SetThumbTexture("thumb", 0.5f, 0.5f);
        Offer(slider, kGuiLeftDown, 512, 300);
        CHECK(slider.GetValue() == 0.0f);
        Offer(slider, kGuiMouseMove, 513, 300);
        CHECK(slider.GetValue() == 1.0f);
        CHECK(guiSlider::PositionValue(0.5f, 2.0f, 1.0f) == 0.0f);
        CHECK(guiSlider::PositionValue(0.5f, 0.0f, 0.0f) == 0.0f);
        slider.SetValue(std::numeric_limits<float>::quiet_NaN());
        CHECK(slider.GetValue() == 0.0f);
        slider.SetValue(3.0f);
        CHECK(slider.GetValue() == 1.0f);
    }
}
