// GameRules: a network client takes its host's score. Only the host counts
// damage (deaths are decided there), and flag presence is judged on each
// machine from slightly different positions and clocks, so left to itself a
// client would show its own flag times, and even its own winner. The host
// sends its figures in ranked order; they replace the client's, and the
// host's statistics end the client's match.
#include "game/GameRules.h"

#include "game/Army.h"

#include <algorithm>

bool GameRules::FollowsHost() const
{
    // The battle behind a client's menus is its own.
    return !Battle::Instance()->GetAuthority() && !InMenus();
}

void GameRules::AcceptHostResult(MatchState hostState, const std::vector<HostArmyScore>& ranked)
{
    const MatchState state = GetState();
    if (state == kMatchWaiting || state == kMatchGameOver) {
        return;
    }
    std::vector<std::unique_ptr<Army>>& armies = GetArmies();
    std::vector<std::unique_ptr<Army>> ordered;
    ordered.reserve(armies.size());
    for (const HostArmyScore& score : ranked) {
        const auto found = std::find_if(armies.begin(), armies.end(), [&score](const std::unique_ptr<Army>& army) {
            return army && army->GetId() == score.army;
        });
        if (found == armies.end()) {
            continue;
        }
        Army& army = **found;
        army.AddDamageDealt(score.damageDealt - army.GetDamageDealt());
        army.AddDamageTaken(score.damageTaken - army.GetDamageTaken());
        army.SetFlagCount(score.flagCount);
        army.SetFlagTime(score.flagTime);
        ordered.push_back(std::move(*found));
    }
    // The armies the host did not name keep their order, after the others.
    for (std::unique_ptr<Army>& army : armies) {
        if (army) {
            ordered.push_back(std::move(army));
        }
    }
    armies = std::move(ordered);
    if (hostState == kMatchStatistics && state != kMatchStatistics) {
        SetState(kMatchStatistics);
    }
}
