// RecordChecks.
#include "net/RecordChecks.h"

#include "game/Army.h"
#include "game/Battle.h"
#include "game/GameOptions.h"
#include "game/GameRules.h"
#include "game/Unit.h"
#include "game/UnitOrder.h"
#include "world/MapFile.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double kLargestBlast = 50.0;
// Four times the strongest blast the units make (a Detagon's 24).
constexpr double kStrongestBlast = 100.0;
constexpr std::int32_t kMostUnitsOfAType = 120;
// The allowed-unit bit of each count, in the slot's order of counts:
// Trajectagon, Smashtor, Triangoloid, Detagon, Artillerator.
constexpr std::array<std::uint32_t, 5> kSlotCountBits = {kAllowTrajectagon, kAllowSmashtor, kAllowTriangoloid,
                                                         kAllowDetagon, kAllowArtillerator};

bool IsControlByte(unsigned char byte)
{
    return byte < 0x20 || (byte >= 0x7F && byte < 0xA0);
}

// Finite values clamped into [-limit, limit]; anything else becomes 0.
float ClampedOrZero(float value, float limit)
{
    return std::isfinite(value) ? std::clamp(value, -limit, limit) : 0.0f;
}

// Each unit destroyed counts once, and an army buys at most Army::kMaxUnits.
constexpr std::int32_t kMostDamage = static_cast<std::int32_t>(Army::kMaxUnits * kResultArmies);
constexpr std::int32_t kMostFlags = 255;
constexpr float kLongestFlagTime = 24.0f * 3600.0f;

bool IsValidArmyResult(const ArmyResult& army)
{
    return army.damageDealt >= 0 && army.damageDealt <= kMostDamage && army.damageTaken >= 0 &&
           army.damageTaken <= kMostDamage && army.flagCount >= 0 && army.flagCount <= kMostFlags &&
           std::isfinite(army.flagTime) && std::fabs(army.flagTime) <= kLongestFlagTime;
}

} // namespace

MapReach ReachOfMap(float mapSide)
{
    const float side = mapSide > 0.0f ? std::min(mapSide, kMapMaxSize) : kMapMaxSize;
    return {side / 2.0f + kMapPositionMargin, kMapMaxHeight};
}

bool IsFinite(const Vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool IsOnMap(const Vec3& point, const MapReach& reach)
{
    // A NaN fails every comparison.
    return std::fabs(point.x) <= reach.across && std::fabs(point.z) <= reach.across &&
           std::fabs(point.y) <= reach.height;
}

bool AreValidSettings(const GameSettingsMessage& settings)
{
    return settings.mode < kModeKingOfTheHill && GameRules::IsValidGameMinutes(settings.minutes) &&
           settings.unitMask >= 1 && settings.unitMask <= 31 && settings.mapIndex < 4 && settings.maxUnits >= 1 &&
           settings.maxUnits <= 100 && settings.computerArmies <= 7;
}

bool IsValidExplosion(const ExplosionMessage& explosion, const MapReach& reach)
{
    return IsOnMap(explosion.centre, reach) && explosion.strength >= 0.0 && explosion.strength <= kStrongestBlast &&
           explosion.radius > 0.0 && explosion.radius <= kLargestBlast && explosion.crater >= 0.0f &&
           explosion.crater <= kLargestBlast;
}

MapReach AimReach(const MapReach& reach)
{
    // From a point on the map, past an attacker also on it: at most the reach
    // plus the stretch times twice the reach.
    const float widths = 1.0f + 2.0f * Unit::kFleeStretch;
    return {reach.across * widths, reach.height * widths};
}

bool IsValidUnitState(const UnitStateMessage& state, const MapReach& reach)
{
    // Crossing the whole map in a second is far beyond any unit, thrown or not.
    const float fastest = 2.0f * reach.across;
    const Vec3& v = state.velocity;
    const bool speedFits = std::fabs(v.x) <= fastest && std::fabs(v.y) <= fastest && std::fabs(v.z) <= fastest;
    return IsValidUnitOrder(state.order) && IsOnMap(state.position, reach) &&
           IsOnMap(state.destination, AimReach(reach)) && speedFits;
}

bool IsValidMatchResult(const MatchResultMessage& result)
{
    if (result.state > kMatchStatistics || result.count > result.armies.size()) {
        return false;
    }
    std::array<bool, 256> named{};
    for (std::size_t i = 0; i < result.count; ++i) {
        const ArmyResult& army = result.armies[i];
        if (named[army.army] || !IsValidArmyResult(army)) {
            return false;
        }
        named[army.army] = true;
    }
    return true;
}

PlayerSlot BoundedSlot(const PlayerSlot& slot, const GameSettingsMessage& match)
{
    PlayerSlot bounded = slot;
    std::int32_t budget = static_cast<std::int32_t>(std::min<std::uint32_t>(match.maxUnits, kMostUnitsOfAType));
    for (std::size_t i = 0; i < bounded.counts.size(); ++i) {
        std::int32_t& count = bounded.counts[i];
        const bool allowed = (match.unitMask & kSlotCountBits[i]) != 0;
        count = allowed ? std::clamp(count, 0, budget) : 0;
        budget -= count;
    }
    const MapReach largest = ReachOfMap(0.0f);
    bounded.start = {ClampedOrZero(slot.start.x, largest.across), ClampedOrZero(slot.start.y, largest.height),
                     ClampedOrZero(slot.start.z, largest.across)};
    bounded.name = CleanReceivedText(slot.name);
    return bounded;
}

std::string CleanReceivedText(const std::string& text)
{
    std::string clean;
    clean.reserve(text.size());
    for (const char c : text) {
        if (!IsControlByte(static_cast<unsigned char>(c))) {
            clean.push_back(c);
        }
    }
    return clean;
}
