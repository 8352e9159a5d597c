#include "gui/guiButton.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"

#include "RecordingCanvas.h"

#include <doctest/doctest.h>

#include <bit>
#include <cmath>

TEST_CASE("widgets map screen pixels to their own corners whatever the screen size")
{
    testing::GuiTestScope gui(1025, 769); // fractions of 1024 x 768 pixel steps are exact
    guiWindow window(nullptr, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    guiButton widget(&window, nullptr, 0.25f, 0.25f, 0.5f, 0.5f);

    SUBCASE("the edges are inside and a pixel beyond them is not, and a widget of no size is never hit")
    {
        CHECK(widget.ScreenToLocal(768, 576).y == 1.0f);
        CHECK(widget.IsInside(256, 192));
        CHECK(widget.IsInside(768, 576));
        CHECK_FALSE(widget.IsInside(255, 300));
        CHECK_FALSE(widget.IsInside(769, 300));
        CHECK_FALSE(widget.IsInside(300, 577));
        // A widget of no size is never hit and gives no NaN.
        guiButton flat(&window, nullptr, 0.25f, 0.25f, 0.0f, 0.0f);
        const Vec3 local = flat.ScreenToLocal(256, 192);
        CHECK_FALSE(std::isnan(local.x));
        CHECK_FALSE(std::isnan(local.y));
        CHECK_FALSE(flat.IsInside(256, 192));
    }

    SUBCASE("the far corner of the screen is fraction one at either size")
    {
        guiButton whole(&window, nullptr, 0.0f, 0.0f, 1.0f, 1.0f);
        guiManager::Instance()->SetScreenSize(1024, 768);
        CHECK(whole.ScreenToLocal(1023, 767).x == doctest::Approx(1.0));
        const guiRect big = widget.PixelRect(0.0f, 0.0f, 1.0f, 1.0f);
        guiManager::Instance()->SetScreenSize(800, 600);
        CHECK(whole.IsInside(799, 599));
        const guiRect small = widget.PixelRect(0.0f, 0.0f, 1.0f, 1.0f);
        CHECK(small.left / 799.0f == doctest::Approx(big.left / 1023.0f));
        CHECK(small.bottom / 599.0f == doctest::Approx(big.bottom / 767.0f));
    }

    SUBCASE("a widget inside a smaller window measures from the window")
    {
        window.SetWidth(0.5f);
        window.SetHeight(0.5f);
        window.SetPositionXYZ(0.5f, 0.5f, 0.0f);
        CHECK(widget.IsInside(512 + 128, 384 + 96));
        CHECK_FALSE(widget.IsInside(256, 192));
    }
}

TEST_CASE("an argument word gives back what was put in and nothing else")
{
    int target = 0;
    CHECK(guiParam::FromInt(-7).AsInt() == -7);
    CHECK(std::bit_cast<std::uint32_t>(guiParam::FromFloat(0.45f).AsFloat()) == std::bit_cast<std::uint32_t>(0.45f));
    CHECK(guiParam::FromPointer(&target).AsPointer() == &target);
    CHECK(guiParam::FromInt(12345).AsPointer() == nullptr);
    CHECK(guiParam::FromPointer(&target).AsInt() == 0);
}
