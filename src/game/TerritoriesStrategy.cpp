// TerritoriesStrategy: flag ranking and squads.
#include "game/TerritoriesStrategy.h"

#include "game/ComputerArmy.h"
#include "game/Flag.h"
#include "game/GameRules.h"
#include "game/GroupMover.h"
#include "game/Unit.h"
#include "game/UnitSearches.h"
#include "platform/Random.h"

#include <algorithm>

namespace {

constexpr int kAggressionBase = 15;

struct RankedFlag {
    Flag* flag = nullptr;
    float score = 0.0f;
};

float Distance(const Unit* unit, const Vec3& at)
{
    return Vec3Length(unit->GetPosition() - at);
}

} // namespace

TerritoriesStrategy::TerritoriesStrategy(ComputerArmy& army) : AiStrategy(army, kAggressionBase) {}

std::vector<Flag*> TerritoriesStrategy::RankFlags() const
{
    GameRules* const rules = GameRules::Instance();
    const float t = rules->GetTimeLeftFraction();
    const Vec3 centre = GetArmy().GetCentre().value_or(Vec3());
    std::vector<RankedFlag> ranked;
    for (const std::unique_ptr<Flag>& flag : rules->GetFlags()) {
        std::vector<Unit*> enemies;
        FindEnemyUnitsNear(&GetArmy(), enemies, flag->GetPosition());
        float enemyValue = 0.0f;
        for (const Unit* const enemy : enemies) {
            enemyValue += static_cast<float>(GetUnitCost(enemy->GetType()));
        }
        const float distance = Vec3Length(centre - flag->GetPosition());
        ranked.push_back({flag.get(), t * distance + t * enemyValue});
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const RankedFlag& a, const RankedFlag& b) { return a.score < b.score; });
    std::vector<Flag*> flags;
    for (const RankedFlag& entry : ranked) {
        flags.push_back(entry.flag);
    }
    return flags;
}

void TerritoriesStrategy::Plan()
{
    const std::vector<Flag*> flags = RankFlags();
    const int squadCount = platform::Rand() % 4 + 2;
    std::vector<Unit*> units;
    for (const std::unique_ptr<Unit>& unit : GetArmy().GetUnits()) {
        if (unit->GetOrder() != kOrderDying) {
            units.push_back(unit.get());
        }
    }
    const std::size_t squadSize = units.size() / static_cast<std::size_t>(squadCount);
    if (squadSize == 0) {
        return;
    }
    squads_.clear();
    // Squads beyond the last flag have no target and stay as they are.
    const std::size_t targets = std::min(flags.size(), static_cast<std::size_t>(squadCount));
    for (std::size_t j = 0; j < targets; ++j) {
        const Vec3 at = flags[j]->GetPosition();
        std::stable_sort(units.begin(), units.end(),
                         [&at](const Unit* a, const Unit* b) { return Distance(a, at) < Distance(b, at); });
        Squad squad;
        squad.units.assign(units.begin(), units.begin() + static_cast<std::ptrdiff_t>(squadSize));
        const UnitOrder leader = squad.units.front()->GetOrder();
        if (leader != kOrderEngage && leader != kOrderAttack) {
            GroupMover::MoveInFormation(kFormationSquare, kMoveReplace, squad.units, at, Vec3());
        }
        Vec3 sum;
        for (const Unit* const unit : squad.units) {
            sum += unit->GetPosition();
        }
        squad.centre = sum / static_cast<float>(squad.units.size());
        squads_.push_back(std::move(squad));
    }
}
