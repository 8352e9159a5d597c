// RecordChecks.
#include "net/RecordChecks.h"

#include "game/Battle.h"
#include "game/GameRules.h"
#include "game/UnitOrder.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLargestBlast = 50.0;
constexpr std::int32_t kMostUnitsOfAType = 120;

} // namespace

bool IsFinite(const Vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool AreValidSettings(const GameSettingsMessage& settings)
{
    return settings.mode < kModeKingOfTheHill && GameRules::IsValidGameMinutes(settings.minutes) &&
           settings.unitMask >= 1 && settings.unitMask <= 31 && settings.mapIndex < 4 && settings.maxUnits >= 1 &&
           settings.maxUnits <= 100 && settings.computerArmies <= 7;
}

bool IsValidExplosion(const ExplosionMessage& explosion)
{
    return IsFinite(explosion.centre) && std::isfinite(explosion.strength) && explosion.radius > 0.0 &&
           explosion.radius <= kLargestBlast && explosion.crater >= 0.0f && explosion.crater <= kLargestBlast;
}

bool IsValidUnitState(const UnitStateMessage& state)
{
    return IsValidUnitOrder(state.order) && IsFinite(state.position) && IsFinite(state.destination) &&
           IsFinite(state.velocity);
}

PlayerSlot BoundedSlot(const PlayerSlot& slot)
{
    PlayerSlot bounded = slot;
    for (std::int32_t& count : bounded.counts) {
        count = std::clamp(count, 0, kMostUnitsOfAType);
    }
    if (!IsFinite(bounded.start)) {
        bounded.start = {};
    }
    return bounded;
}
