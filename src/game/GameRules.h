// The referee of the battle being fought, in a match or behind the menus:
// the mode, the clock and the match states (planning, game on, sudden death,
// statistics, game over), each mode's ranking, flag scoring and sudden-death
// end, and the last-army check. The battle's army vector is the ranking: the
// rules re-sort that very vector by the mode's key every half second.
//
// The rules never reach above the game layer. What they need from the
// application (whether the menus are showing, where chat lines go, how a
// finished match is left, what to clear as the statistics come up) is
// handed in as hooks by the Game.
//
// GameRules.cpp holds the states and the clock; GameRules_Scoring.cpp the
// ranking, the sudden-death ends and the last-army check;
// GameRules_HostResult.cpp a network client's taking of the host's score.
#pragma once

#include "core/Singleton.h"
#include "game/Battle.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Army;
class Flag;

// One army's figures as the host of a network match scored them.
struct HostArmyScore {
    std::uint8_t army = 0;
    std::int32_t damageDealt = 0;
    std::int32_t damageTaken = 0;
    std::int32_t flagCount = 0;
    float flagTime = 0.0f;
};

class GameRules : public Singleton<GameRules> {
    friend class Singleton<GameRules>;

public:
    // Modes and minutes arrive from the menus and the network: only these
    // are played. The options take 1 to 10 minutes.
    static bool IsValidMode(std::uint32_t mode) { return mode < kGameModeCount; }
    static bool IsValidGameMinutes(float minutes);

    // A new match in planning: an invalid mode falls back to Last Man On The
    // Hill, game minutes that are not a positive number to 1 and more than 10
    // to 10, planning minutes that are not a positive number to 0. Restarts
    // both timers and hides the scores.
    void BeginMatch(std::uint32_t mode, float gameMinutes, float planningMinutes);

    GameMode GetMode() const { return Battle::Instance()->GetMode(); }
    MatchState GetState() const { return Battle::Instance()->GetMatchState(); }
    // Entering the statistics in a match (from any other state) calls the
    // statistics hook first.
    void SetState(MatchState state);
    // The flags the mode plays with; the battle owns them.
    std::vector<std::unique_ptr<Flag>>& GetFlags() { return Battle::Instance()->GetFlags(); }
    const Flag* GetFirstFlag() const;
    std::vector<std::unique_ptr<Army>>& GetArmies() { return Battle::Instance()->GetArmies(); }
    // The armies in ranked order, for reading only (the score panels); in
    // King Of The Hill, which never ranks, in the order they were made.
    const std::vector<std::unique_ptr<Army>>& GetRankedArmies() const { return Battle::Instance()->GetArmies(); }
    float GetGameSeconds() const { return gameSeconds_; }
    float GetPlanningSeconds() const { return planningSeconds_; }
    bool GetShowScores() const { return showScores_; }
    void SetShowScores(bool show) { showScores_ = show; }

    // Seconds elapsed in the current timed phase.
    float GetPhaseElapsed() const;
    // Game seconds minus the phase's elapsed seconds, in every state: it
    // counts from the game length even during planning, and goes negative
    // once sudden death has lasted as long as the game.
    float GetPhaseTimeLeft() const;
    // The share of the game time left, 1 at the start (never a division by
    // zero: the game seconds are at least 60).
    float GetTimeLeftFraction() const;

    // The rules' frame: the state's work, the mode's ranking, then in game
    // on and sudden death the flags and the last-army check. Behind the menus
    // a sudden death that lasts a minute ends the battle too, and a finished
    // battle goes straight on to game over, which starts the next one.
    void Update();

    // The mode's ranking and sudden-death end, run by Update.
    void RankArmies();
    bool SuddenDeathEnds() const;
    // Fewer than two armies above strength 0.001 end the match; in Steal the
    // Bacon the survivor is credited with the game time left.
    void CheckLastArmy();

    // A network client's match is scored and ended by its host: its own
    // sudden-death ends and last-army check end nothing (the machines would
    // disagree on the moment and the survivor), the host's result does.
    bool FollowsHost() const;
    // Client: the host's figures replace this machine's, the armies take the
    // host's ranked order (those it does not name after, in their order), and
    // once the host shows its statistics they show here too.
    void AcceptHostResult(MatchState hostState, const std::vector<HostArmyScore>& ranked);

    // Every flag leaves the physics and is freed.
    void DeleteFlags();

    // The hooks from the application.
    void SetInMenusQuery(std::function<bool()> query) { inMenus_ = std::move(query); }
    void SetChatSink(std::function<void(const std::string&)> sink) { chat_ = std::move(sink); }
    // Leaves the match once game over is reached: ends it and either goes
    // back to the menus or restarts the background battle.
    void SetLeaveHandler(std::function<void()> leave) { leave_ = std::move(leave); }
    // The statistics are coming up in a match (not behind the menus): what
    // the match said on its console does not belong over them.
    void SetStatisticsHook(std::function<void()> hook) { statisticsHook_ = std::move(hook); }
    bool InMenus() const { return inMenus_ && inMenus_(); }

    // The clock's text in a state: "m : ss" in game on, "0:ss" in planning,
    // "SUDDEN DEATH" in sudden death, nothing otherwise. Seconds left below
    // zero show as zero.
    static std::string ClockText(MatchState state, float secondsLeft);
    // Minutes and seconds as "m : ss" (whole seconds, never below zero).
    static std::string MinutesSeconds(float seconds);

private:
    GameRules() = default;

    void HandlePlanning();
    void HandleGameOn();
    void HandleSuddenDeath();
    void HandleStatistics();
    void HandleGameOver();
    void AddChatLine(const std::string& line) const;

    std::int64_t phaseTimer_ = 0;
    std::int64_t rankingTimer_ = 0;
    float gameSeconds_ = 60.0f;
    float planningSeconds_ = 0.0f;
    bool showScores_ = false;
    std::function<bool()> inMenus_;
    std::function<void(const std::string&)> chat_;
    std::function<void()> leave_;
    std::function<void()> statisticsHook_;
};

// The ranking key of each mode, largest first: flag count then damage dealt
// (Last Man On The Hill), flag time (Steal the Bacon), flag count
// (Territories), damage dealt (Body Count); King Of The Hill never ranks.
// True when a ranks strictly before b.
bool RanksBefore(GameMode mode, const Army& a, const Army& b);
