// GameRules: each mode's ranking of the armies, its sudden-death end and the
// last-army check. The ranking is the battle's army vector itself, so every
// walk over the armies (lists, scoreboards, the statistics, the Territories
// end) sees it in ranked order.
#include "game/GameRules.h"

#include "core/Stopwatch.h"
#include "game/Army.h"
#include "game/Flag.h"

#include <algorithm>

namespace {

// The ranking runs twice a second, not every frame.
constexpr float kRankingSeconds = 0.5f;
constexpr double kAliveStrength = 0.001;

} // namespace

bool RanksBefore(GameMode mode, const Army& a, const Army& b)
{
    switch (mode) {
    case kModeLastManOnTheHill:
        if (a.GetFlagCount() != b.GetFlagCount()) {
            return a.GetFlagCount() > b.GetFlagCount();
        }
        return a.GetDamageDealt() > b.GetDamageDealt();
    case kModeStealTheBacon:
        return a.GetFlagTime() > b.GetFlagTime();
    case kModeTerritories:
        return a.GetFlagCount() > b.GetFlagCount();
    case kModeBodyCount:
        return a.GetDamageDealt() > b.GetDamageDealt();
    default:
        return false;
    }
}

bool GameRules::SuddenDeathEnds() const
{
    switch (GetMode()) {
    case kModeLastManOnTheHill: {
        // Without a flag nobody can hold the hill alone.
        const Flag* const flag = GetFirstFlag();
        return flag != nullptr && flag->GetPresent().size() == 1;
    }
    case kModeStealTheBacon:
    case kModeBodyCount:
        return true;
    case kModeTerritories: {
        const std::vector<std::unique_ptr<Army>>& armies = Battle::Instance()->GetArmies();
        return armies.size() < 2 || armies[0]->GetFlagCount() != armies[1]->GetFlagCount();
    }
    default:
        return false;
    }
}

void GameRules::RankArmies()
{
    const GameMode mode = GetMode();
    if (mode == kModeKingOfTheHill) {
        return;
    }
    if (GetState() == kMatchSuddenDeath && !FollowsHost() && SuddenDeathEnds()) {
        SetState(kMatchStatistics);
    }
    const MatchState state = GetState();
    if (state != kMatchGameOn && state != kMatchSuddenDeath && state != kMatchStatistics) {
        return;
    }
    if (TimerElapsed(rankingTimer_) <= kRankingSeconds) {
        return;
    }
    TimerStart(rankingTimer_);
    // Equal keys keep their order: armies level on score stay where the last
    // ranking put them, so the table does not shuffle them every half second.
    std::stable_sort(
        GetArmies().begin(), GetArmies().end(),
        [mode](const std::unique_ptr<Army>& a, const std::unique_ptr<Army>& b) { return RanksBefore(mode, *a, *b); });
}

void GameRules::CheckLastArmy()
{
    if (FollowsHost()) {
        return;
    }
    Army* survivor = nullptr;
    int alive = 0;
    for (const std::unique_ptr<Army>& army : GetArmies()) {
        if (army->GetStrength() > kAliveStrength) {
            survivor = army.get();
            ++alive;
        }
    }
    if (alive >= 2) {
        return;
    }
    SetState(kMatchStatistics);
    if (GetMode() == kModeStealTheBacon && survivor != nullptr) {
        survivor->SetFlagTime(survivor->GetFlagTime() + GetPhaseTimeLeft());
    }
}
