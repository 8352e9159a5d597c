// Delayed order changes: due records apply one a frame, oldest first, and
// only to units still in the expected order.
#include "BattleTestWorld.h"

using namespace units_test;

TEST_CASE("the order queue applies one due change a frame and only to units in the expected order")
{
    BattleWorld world;
    Army& army = world.AddArmy();
    Unit& first = world.AddUnit(army, kSmashtor, 0.0f, 0.0f);
    Unit& second = world.AddUnit(army, kSmashtor, 5.0f, 0.0f);
    OrderQueue* const queue = OrderQueue::Instance();
    first.SetOrder(kOrderAttack, false);
    second.SetOrder(kOrderAttack, false);

    SUBCASE("not before the delay has passed")
    {
        queue->Add(&first, kOrderEngage, kOrderAttack, 2.0f, false);
        world.Advance(2.0);
        queue->Update();
        CHECK(first.GetOrder() == kOrderAttack);
        world.Advance(0.001);
        queue->Update();
        CHECK(first.GetOrder() == kOrderEngage);
        CHECK(queue->GetSize() == 0);
    }
    SUBCASE("two records due together apply in consecutive frames, oldest first")
    {
        queue->Add(&second, kOrderEngage, kOrderAttack, 1.0f, false);
        queue->Add(&first, kOrderEngage, kOrderAttack, 0.5f, false);
        world.Advance(1.5);
        queue->Update();
        CHECK(second.GetOrder() == kOrderEngage);
        CHECK(first.GetOrder() == kOrderAttack);
        queue->Update();
        CHECK(first.GetOrder() == kOrderEngage);
    }
    SUBCASE("a unit no longer in the expected order is left alone and the record dropped")
    {
        queue->Add(&first, kOrderEngage, kOrderAttack, 0.5f, true);
        first.SetOrder(kOrderRetreat, false);
        world.Advance(1.0);
        queue->Update();
        CHECK(first.GetOrder() == kOrderRetreat);
        CHECK(queue->GetSize() == 0);
    }
}
