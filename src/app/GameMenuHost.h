// The game as the menu screens see it: its options and session, the
// battle's authority, the match set-up calls and the screen's size.
#pragma once

#include "screens/MenuHost.h"

class Game;

class GameMenuHost : public MenuHost {
public:
    explicit GameMenuHost(Game& game) : game_(game) {}

    const GameOptions& GetOptions() const override;
    bool SetOptions(const GameOptions& options) override;
    SessionKind GetSessionKind() const override;
    void SetSessionKind(SessionKind kind) override;
    bool HasAuthority() const override;
    void SetAuthority(bool authority) override;
    bool InMatch() const override;

    void StopMenuCamera() override;
    void EndMatch() override;
    void StartMatch() override;
    void CreateArmy(bool local, const ArmyUnitCounts& counts, const Vec3& position, bool human,
                    const std::string& name) override;
    void CreateComputerArmies() override;
    bool ClaimStartSlot(Vec3& position, std::uint32_t& colour) override;
    void CreateNetworkArmy(bool selected, const ArmyUnitCounts& counts, const Vec3& position, const std::string& name,
                           std::uint32_t colour) override;
    void EnterMatchState() override;
    void RestartFrameClock() override;

    int ScreenWidth() const override;
    int ScreenHeight() const override;

private:
    Game& game_;
};
