// BodyCountStrategy: random roaming.
#include "game/BodyCountStrategy.h"

#include "game/ComputerArmy.h"

namespace {

constexpr int kAggressionBase = 60;
constexpr float kRoamRadius = 200.0f;

} // namespace

BodyCountStrategy::BodyCountStrategy(ComputerArmy& army) : AiStrategy(army, kAggressionBase) {}

void BodyCountStrategy::Plan()
{
    ComputerArmy& army = GetArmy();
    for (std::int32_t group = 0; group < army.GetGroupCount(); ++group) {
        army.OrderGroup(RandomPoint(kRoamRadius), group, false);
    }
}
