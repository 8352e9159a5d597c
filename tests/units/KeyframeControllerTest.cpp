#include "world/KeyframeController.h"

#include <doctest/doctest.h>

#include <limits>

TEST_CASE("a keyframe controller resets, advances and reads back its time")
{
    std::vector<AnimationSet> sets;
    sets.emplace_back(XAnimationSet{"Walk", {}}, 10);
    KeyframeController controller(std::move(sets));
    controller.AdvanceTime(0.25);
    controller.AdvanceTime(0.5);
    CHECK(controller.GetTime() == doctest::Approx(0.75));
    controller.AdvanceTime(std::numeric_limits<double>::quiet_NaN()); // one bad frame time is dropped
    CHECK(controller.GetTime() == doctest::Approx(0.75));
    controller.ResetTime();
    CHECK(controller.GetTime() == 0.0);
    CHECK(controller.GetAnimationSetByIndex(1) == nullptr);
    CHECK(controller.GetAnimationSetByIndex(-1) == nullptr);
}
