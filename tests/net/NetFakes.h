// Fakes of the network's two views of the game for the net tests: a UI that
// records what the handlers asked of the screens, and a world of plain unit
// states that records every order, death, explosion, score and leaving it
// is handed.
#pragma once

#include "net/NetUi.h"
#include "net/NetWorld.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

struct FakeNetUi : NetUi {
    int screen = kScreenConnection;
    int connectFailures = 0;
    int playerChanges = 0;
    GameSettingsMessage options;
    int optionsReceived = 0;
    std::array<std::string, kLobbyNameCount> names{};
    std::vector<std::string> lobbyChat;
    std::vector<std::string> gameChat;
    std::map<int, PlayerSlot> slots;
    bool allReady = false;
    int matchesStarted = 0;
    PlayerSlotsMessage startedWith;

    int CurrentScreen() const override { return screen; }
    void SetScreen(int id) override { screen = id; }
    bool LobbyShown() const override { return screen == kScreenLobby || screen == kScreenOptions; }
    void HostListChanged() override {}
    void ConnectFailed() override { ++connectFailures; }
    void LobbyPlayersChanged() override { ++playerChanges; }
    GameSettingsMessage LobbyOptions() const override { return options; }
    void SetLobbyOptions(const GameSettingsMessage& value) override
    {
        options = value;
        ++optionsReceived;
    }
    void SetLobbyPlayerName(int index, const std::string& name) override { names.at(index) = name; }
    void AddLobbyChatLine(const std::string& line) override { lobbyChat.push_back(line); }
    void AddGameChatLine(const std::string& line) override { gameChat.push_back(line); }
    void StoreRemoteSlot(int id, const PlayerSlot& slot) override { slots[id] = slot; }
    bool RemoteSlotReady(int id) const override { return slots.count(id) != 0 && slots.at(id).ready != 0; }
    void SetAllReady() override { allReady = true; }
    void StartNetworkMatch(const PlayerSlotsMessage& started) override
    {
        ++matchesStarted;
        startedWith = started;
    }
};

struct FakeNetWorld : NetWorld {
    std::uint32_t state = kNetStateMatch;
    float mapSide = 400.0f;
    // armies[a][u]: the units' states; a unit's head names it.
    std::vector<std::vector<UnitStateMessage>> armies;
    std::vector<MoveOrderMessage> moves;
    std::vector<AttackOrderMessage> attacks;
    std::vector<UnitHead> attacksStarted;
    std::vector<UnitHead> destroyed;
    std::vector<ExplosionMessage> explosions;
    std::vector<UnitStateMessage> applied;
    // The rules' state, the score the host reads, the scores a client took
    // and why the match was left, each time.
    std::uint32_t matchState = 2;
    MatchResultMessage score;
    std::vector<MatchResultMessage> results;
    std::vector<std::string> matchesLeft;

    // count units in each of armyCount armies, ids 0.., unit indices 0..
    void Populate(std::size_t armyCount, std::size_t count)
    {
        armies.assign(armyCount, std::vector<UnitStateMessage>(count));
        for (std::size_t a = 0; a < armyCount; ++a) {
            for (std::size_t u = 0; u < count; ++u) {
                armies[a][u].head = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(a)};
                armies[a][u].position = {static_cast<float>(a), 0.0f, static_cast<float>(u)};
                armies[a][u].hitPoints = 100;
            }
        }
    }
    // Records what the handlers handed over; true when it names a unit there is.
    template <typename T> bool Note(std::vector<T>& log, const T& entry, const UnitHead& head)
    {
        log.push_back(entry);
        return Find(head) != nullptr;
    }
    UnitStateMessage* Find(const UnitHead& head)
    {
        if (head.army >= armies.size()) {
            return nullptr;
        }
        std::vector<UnitStateMessage>& army = armies[head.army];
        const auto found = std::find_if(army.begin(), army.end(), [&](const auto& unit) { return unit.head == head; });
        return found == army.end() ? nullptr : &*found;
    }

    std::uint32_t GameState() const override { return state; }
    bool SetOptions(const GameSettingsMessage&) override { return true; }
    void SetAuthority(bool) override {}
    float MapSide() const override { return mapSide; }
    bool MoveUnit(const UnitHead& unit, const Vec3& point) override
    {
        return Note(moves, MoveOrderMessage{unit, point}, unit);
    }
    bool AttackWith(const AttackOrderMessage& order) override { return Note(attacks, order, order.head); }
    bool StartAttack(const UnitHead& unit) override { return Note(attacksStarted, unit, unit); }
    bool DestroyUnit(const UnitHead& unit) override { return Note(destroyed, unit, unit); }
    void Explode(const ExplosionMessage& explosion) override { explosions.push_back(explosion); }
    bool ApplyUnitState(const UnitStateMessage& state) override
    {
        applied.push_back(state);
        UnitStateMessage* const unit = Find(state.head);
        if (unit == nullptr) {
            return false;
        }
        *unit = state;
        return true;
    }
    std::size_t ArmyCount() const override { return armies.size(); }
    std::size_t UnitCount(std::size_t army) const override { return army < armies.size() ? armies[army].size() : 0; }
    bool ReadUnitState(std::size_t army, std::size_t unit, UnitStateMessage& out) const override
    {
        if (army >= armies.size() || unit >= armies[army].size()) {
            return false;
        }
        out = armies[army][unit];
        return true;
    }
    std::uint32_t GetMatchState() const override { return matchState; }
    bool ReadMatchResult(MatchResultMessage& out) const override
    {
        out = score;
        out.state = matchState;
        return state == kNetStateMatch;
    }
    void ApplyMatchResult(const MatchResultMessage& result) override { results.push_back(result); }
    void LeaveMatch(const std::string& why) override { matchesLeft.push_back(why); }
};
