// LastManStrategy: the plan for the hill.
#include "game/LastManStrategy.h"

#include "game/ComputerArmy.h"
#include "game/Flag.h"
#include "game/GameRules.h"
#include "game/Unit.h"
#include "game/UnitSearches.h"
#include "platform/Random.h"

#include <cmath>

namespace {

constexpr int kAggressionBase = 10;
constexpr float kEndgameSeconds = 20.0f;
// A group whose first unit is this close to the centre (across the ground)
// is on the hill and fights for it.
constexpr float kOnHillDistance = 12.0f;

} // namespace

LastManStrategy::LastManStrategy(ComputerArmy& army)
    : AiStrategy(army, kAggressionBase), flagDistance_(Vec3Length(army.GetPosition() - HillPosition())),
      aimSpread_(static_cast<float>(platform::Rand() % 5 + 2))
{
}

Vec3 LastManStrategy::HillPosition()
{
    const Flag* const flag = GameRules::Instance()->GetFirstFlag();
    return flag != nullptr ? flag->GetPosition() : Vec3();
}

void LastManStrategy::Plan()
{
    GameRules* const rules = GameRules::Instance();
    const bool endgame = rules->GetState() == kMatchSuddenDeath || rules->GetPhaseTimeLeft() < kEndgameSeconds;
    const float t = rules->GetTimeLeftFraction();
    const int coin = platform::Rand() % 2;
    ComputerArmy& army = GetArmy();
    for (std::int32_t group = 0; group < army.GetGroupCount(); ++group) {
        if (endgame) {
            if (!PlayEndgame(group)) {
                return;
            }
            continue;
        }
        const float distance = t * flagDistance_ + static_cast<float>(RandomOffset()) * aimSpread_;
        army.OrderGroup(OpeningPoint(distance, coin), group, false);
    }
}

bool LastManStrategy::PlayEndgame(std::int32_t group)
{
    LowerReplanInterval();
    ComputerArmy& army = GetArmy();
    Unit* const first = FirstUnitOfGroup(army, group);
    if (first == nullptr) {
        return true;
    }
    const Vec3 at = first->GetPosition();
    if (std::sqrt(at.x * at.x + at.z * at.z) < kOnHillDistance) {
        Unit* const enemy = FindNearestEnemyUnit(&army, at);
        if (enemy == nullptr) {
            return false;
        }
        first->SetOrder(kOrderEngage, false);
        first->SetTargets({enemy, enemy->GetArmy(), first->GetTargets().lastAttacker});
    } else {
        army.OrderGroup(AimPoint(0.0f), group, true);
    }
    committed_ = true;
    return true;
}

Vec3 LastManStrategy::OpeningPoint(float distance, int coin) const
{
    return coin == 0 ? RandomPoint(distance) : AimPoint(distance);
}

Vec3 LastManStrategy::AimPoint(float distance) const
{
    const std::optional<Vec3> centre = GetArmy().GetCentre();
    const Vec3 out = Vec3Normalize(centre.value_or(Vec3()) - HillPosition()) * distance;
    const Vec3 side = Vec3Normalize(Vec3(out.z, out.y, -out.x));
    const float scatter = static_cast<float>(RandomOffset()) * aimSpread_;
    return out + side * scatter;
}
