// The animation controller's timing and the calls made when a unit's
// animation ends, only for units still in the order expected.
#include "BattleTestWorld.h"

using namespace units_test;

namespace {

int gCalls = 0;
Unit* gCalled = nullptr;

void Count(Unit& unit)
{
    ++gCalls;
    gCalled = &unit;
}

// A call made by a call: always pending.
void AddAnother(Unit& unit)
{
    ++gCalls;
    AnimationCallbacks::Instance()->Add(&unit, Count, unit.GetOrder(), false);
}

} // namespace

TEST_CASE("animation timing and the calls at an animation's end")
{
    SUBCASE("an animation ends after its length, a quarter sooner when early, at once when it has none")
    {
        testing::ManualClockScope clock;
        AnimationPeriods periods;
        periods.seconds = {1.0, 2.0, 0.0, 0.0};
        periods.count = 2;
        AnimationController controller(periods, 0xFF0000u);
        controller.SetAnimation(kAnimationWalk);
        clock.Advance(1.6);
        CHECK_FALSE(controller.IsFinished(false));
        CHECK(controller.IsFinished(true));
        clock.Advance(0.41);
        CHECK(controller.IsFinished(false));
        // An id the model set lacks has no length.
        controller.SetAnimation(kAnimationFire);
        CHECK(controller.IsFinished(false));
        CHECK(controller.GetPeriod(7) == 0.0);
    }

    BattleWorld world;
    Unit& unit = world.AddUnit(world.AddArmy(), kTriangoloid, 0.0f, 0.0f);
    unit.SetOrder(kOrderBusy, false);
    unit.GetAnimationController().SetAnimation(kAnimationSpecial);
    const double length = unit.GetAnimationController().GetPeriod(kAnimationSpecial);
    REQUIRE(length > 0.0);
    AnimationCallbacks* const callbacks = AnimationCallbacks::Instance();
    gCalls = 0;
    gCalled = nullptr;

    SUBCASE("called once the animation has played through, then dropped")
    {
        callbacks->Add(&unit, Count, kOrderBusy, false);
        world.Advance(length * 0.9);
        callbacks->Update();
        CHECK(gCalls == 0);
        world.Advance(length * 0.2);
        callbacks->Update();
        CHECK(gCalls == 1);
        CHECK(gCalled == &unit);
        callbacks->Update();
        CHECK(gCalls == 1);
        CHECK(callbacks->GetSize() == 0);
    }
    SUBCASE("a unit that changed order is dropped without a call")
    {
        callbacks->Add(&unit, Count, kOrderBusy, false);
        unit.SetOrder(kOrderEngage, false);
        world.Advance(length * 2.0);
        callbacks->Update();
        CHECK(gCalls == 0);
        CHECK(callbacks->GetSize() == 0);
    }
    SUBCASE("pending calls and calls added by calls wait for the next update")
    {
        callbacks->Add(&unit, AddAnother, kOrderBusy, true);
        world.Advance(length * 2.0);
        callbacks->Update();
        CHECK(gCalls == 1);
        CHECK(callbacks->GetSize() == 1);
        callbacks->Update();
        CHECK(gCalls == 2);
        CHECK(callbacks->GetSize() == 0);
    }
}
