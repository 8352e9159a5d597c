// GameRules: the match states, their clock and the leaving of a match.
#include "game/GameRules.h"

#include "core/Stopwatch.h"
#include "game/Army.h"
#include "game/Flag.h"
#include "physics/Physics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float kMinGameMinutes = 1.0f;
constexpr float kMaxGameMinutes = 10.0f;
// Behind the menus sudden death may never end by its rule (nobody near the
// hill, or two armies holding it): after this long a new battle starts, so
// the menus never show a battle standing still for more than a minute past
// its clock, and those who do reach the hill have had as long as a restarted
// battle's whole game to do it.
constexpr float kBackgroundSuddenDeathSeconds = 60.0f;

} // namespace

bool GameRules::IsValidGameMinutes(float minutes)
{
    return std::isfinite(minutes) && minutes >= kMinGameMinutes && minutes <= kMaxGameMinutes;
}

void GameRules::BeginMatch(std::uint32_t mode, float gameMinutes, float planningMinutes)
{
    Battle* const battle = Battle::Instance();
    battle->SetMode(IsValidMode(mode) ? static_cast<GameMode>(mode) : kModeLastManOnTheHill);
    // Every share of the time left divides by the game seconds.
    const float minutes =
        std::isfinite(gameMinutes) && gameMinutes > 0.0f ? std::min(gameMinutes, kMaxGameMinutes) : kMinGameMinutes;
    gameSeconds_ = minutes * 60.0f;
    planningSeconds_ = std::isfinite(planningMinutes) && planningMinutes > 0.0f ? planningMinutes * 60.0f : 0.0f;
    battle->SetMatchState(kMatchPlanning);
    showScores_ = false;
    TimerStart(phaseTimer_);
    TimerStart(rankingTimer_);
}

void GameRules::SetState(MatchState state)
{
    const bool statisticsBegin = state == kMatchStatistics && GetState() != kMatchStatistics;
    if (statisticsBegin && statisticsHook_ && !InMenus()) {
        statisticsHook_();
    }
    Battle::Instance()->SetMatchState(state);
}

const Flag* GameRules::GetFirstFlag() const
{
    const std::vector<std::unique_ptr<Flag>>& flags = Battle::Instance()->GetFlags();
    return flags.empty() ? nullptr : flags.front().get();
}

float GameRules::GetPhaseElapsed() const
{
    return TimerElapsed(phaseTimer_);
}

float GameRules::GetPhaseTimeLeft() const
{
    return gameSeconds_ - GetPhaseElapsed();
}

float GameRules::GetTimeLeftFraction() const
{
    return GetPhaseTimeLeft() / gameSeconds_;
}

void GameRules::Update()
{
    switch (GetState()) {
    case kMatchPlanning:
        HandlePlanning();
        break;
    case kMatchGameOn:
        HandleGameOn();
        break;
    case kMatchGameOver:
        HandleGameOver();
        // Leaving ends the match: what follows belongs to the next one.
        return;
    case kMatchSuddenDeath:
        HandleSuddenDeath();
        break;
    case kMatchStatistics:
        HandleStatistics();
        break;
    default:
        // Waiting has no work of its own.
        break;
    }
    RankArmies();
    const MatchState state = GetState();
    if (state != kMatchGameOn && state != kMatchSuddenDeath) {
        return;
    }
    for (const std::unique_ptr<Flag>& flag : GetFlags()) {
        flag->Update();
    }
    // Behind the menus too: a battle down to its last army has nothing left
    // to show, and only its end brings the next one.
    CheckLastArmy();
}

void GameRules::HandlePlanning()
{
    if (GetPhaseElapsed() <= planningSeconds_) {
        return;
    }
    SetState(kMatchGameOn);
    TimerStart(phaseTimer_);
    if (!InMenus()) {
        AddChatLine("Game On");
    }
}

void GameRules::HandleGameOn()
{
    if (GetPhaseElapsed() <= gameSeconds_) {
        return;
    }
    if (!InMenus()) {
        AddChatLine("Sudden Death!");
    }
    SetState(kMatchSuddenDeath);
    TimerStart(phaseTimer_);
}

void GameRules::HandleSuddenDeath()
{
    // In a match the mode's rule ends it (RankArmies), or the last army.
    if (InMenus() && GetPhaseElapsed() > kBackgroundSuddenDeathSeconds) {
        SetState(kMatchStatistics);
    }
}

void GameRules::HandleStatistics()
{
    // In a match the statistics screen is drawn by the render and its "Done"
    // button ends the match. Behind the menus there is no screen and no
    // button, so the finished background battle goes straight on to game
    // over, whose handler starts the next one; otherwise the battle behind
    // the menus would stand frozen for the rest of the run.
    if (InMenus()) {
        SetState(kMatchGameOver);
    }
}

void GameRules::HandleGameOver()
{
    if (leave_) {
        leave_();
        return;
    }
    // With nobody to leave to, the match simply ends where it stands.
    SetState(kMatchStatistics);
}

void GameRules::AddChatLine(const std::string& line) const
{
    if (chat_) {
        chat_(line);
    }
}

void GameRules::DeleteFlags()
{
    std::vector<std::unique_ptr<Flag>>& flags = GetFlags();
    for (const std::unique_ptr<Flag>& flag : flags) {
        Physics::Instance()->RemoveObject(flag.get());
    }
    flags.clear();
}

std::string GameRules::MinutesSeconds(float seconds)
{
    const int whole = std::isfinite(seconds) && seconds > 0.0f ? static_cast<int>(std::min(seconds, 1e6f)) : 0;
    char text[32] = {};
    std::snprintf(text, sizeof text, "%d : %02d", whole / 60, whole % 60);
    return text;
}

std::string GameRules::ClockText(MatchState state, float secondsLeft)
{
    switch (state) {
    case kMatchGameOn:
        return MinutesSeconds(secondsLeft);
    case kMatchPlanning: {
        const int whole = std::isfinite(secondsLeft) && secondsLeft > 0.0f ? static_cast<int>(secondsLeft) : 0;
        char text[16] = {};
        std::snprintf(text, sizeof text, "0:%02d", whole % 60);
        return text;
    }
    case kMatchSuddenDeath:
        return "SUDDEN DEATH";
    default:
        return "";
    }
}
