// AiStrategy: the shared re-plan interval, the common frame of every plan,
// and the random points plans aim at.
#include "game/AiStrategy.h"

#include "core/Stopwatch.h"
#include "game/ArmyAIController.h"
#include "game/BodyCountStrategy.h"
#include "game/ComputerArmy.h"
#include "game/LastManStrategy.h"
#include "game/StealTheBaconStrategy.h"
#include "game/TerritoriesStrategy.h"
#include "game/Unit.h"
#include "platform/Random.h"

#include <climits>
#include <cmath>

namespace {

constexpr float kFirstReplanInterval = 10.0f;
constexpr float kEndgameReplanInterval = 2.0f;
constexpr float kContactSeconds = 7.5f;

float gReplanInterval = kFirstReplanInterval;

} // namespace

float AiStrategy::GetReplanInterval()
{
    return gReplanInterval;
}

void AiStrategy::LowerReplanInterval()
{
    gReplanInterval = kEndgameReplanInterval;
}

void AiStrategy::ResetReplanInterval()
{
    gReplanInterval = kFirstReplanInterval;
}

std::unique_ptr<AiStrategy> AiStrategy::Create(GameMode mode, ComputerArmy& army)
{
    switch (mode) {
    case kModeLastManOnTheHill:
        return std::make_unique<LastManStrategy>(army);
    case kModeStealTheBacon:
        return std::make_unique<StealTheBaconStrategy>(army);
    case kModeTerritories:
        return std::make_unique<TerritoriesStrategy>(army);
    case kModeBodyCount:
        return std::make_unique<BodyCountStrategy>(army);
    default:
        return nullptr;
    }
}

AiStrategy::AiStrategy(ComputerArmy& army, int aggressionBase)
    : army_(army), aggression_(static_cast<float>(aggressionBase + RandomOffset()))
{
    TimerStart(replanTimer_);
}

void AiStrategy::Think()
{
    if (!firstThink_ && TimerElapsed(replanTimer_) < gReplanInterval) {
        return;
    }
    firstThink_ = false;
    TimerStart(replanTimer_);
    if (EngageAfterContact()) {
        return;
    }
    Plan();
}

// True while the controller reports contact: the plan waits, and after a
// while the army turns on the nearest live army.
bool AiStrategy::EngageAfterContact()
{
    ArmyAIController* const controller = army_.GetController();
    if (controller == nullptr || !controller->InContact()) {
        return false;
    }
    if (controller->GetContactElapsed() > kContactSeconds) {
        if (Army* const nearest = controller->GetNearestLiveArmy()) {
            army_.EngageArmy(*nearest);
        }
        controller->ClearContact();
    }
    return true;
}

Vec3 AiStrategy::RandomPoint(float radius)
{
    const float angle = static_cast<float>(platform::Rand() % 628) / 100.0f;
    // A radius that is no number, or out of int's range, counts as none.
    const bool usable = std::isfinite(radius) && std::fabs(radius) < static_cast<float>(INT_MAX / 2);
    const int whole = usable ? static_cast<int>(radius) : 0;
    const int draw = platform::Rand();
    // rand() is never negative, so a negative radius gives 0 to |radius| - 1.
    const float distance = whole == 0 ? 0.0f : static_cast<float>(draw % whole);
    return {std::sin(angle) * distance, 0.0f, std::cos(angle) * distance};
}

int AiStrategy::RandomOffset()
{
    return platform::Rand() % 10 - 5;
}

Unit* FirstUnitOfGroup(const ComputerArmy& army, std::int32_t group)
{
    for (Unit* const unit : army.GetGroup(group)) {
        if (unit->GetOrder() != kOrderDying) {
            return unit;
        }
    }
    return nullptr;
}
