// A stand-in for the game under the menu screens: it keeps options, session
// and authority like the game does, and writes every match set-up call into
// a list in the order it came, so a test can read the exact sequence.
#pragma once

#include "screens/MenuHost.h"
#include "screens/ScreenManager.h"

#include <string>
#include <vector>

namespace testing {

struct ArmyMade {
    bool local = false;
    ArmyUnitCounts counts;
    Vec3 position;
    std::string name;
    std::uint32_t colour = 0;
};

class RecordingMenuHost : public MenuHost {
public:
    RecordingMenuHost() { ScreenManager::Instance()->SetHost(this); }
    ~RecordingMenuHost() override { ScreenManager::Instance()->SetHost(nullptr); }
    RecordingMenuHost(const RecordingMenuHost&) = delete;
    RecordingMenuHost& operator=(const RecordingMenuHost&) = delete;

    const GameOptions& GetOptions() const override { return options; }
    bool SetOptions(const GameOptions& wanted) override
    {
        calls.push_back("SetOptions");
        options = wanted;
        return true;
    }
    SessionKind GetSessionKind() const override { return session; }
    void SetSessionKind(SessionKind kind) override { session = kind; }
    bool HasAuthority() const override { return authority; }
    void SetAuthority(bool value) override
    {
        calls.push_back(value ? "Authority on" : "Authority off");
        authority = value;
    }
    bool InMatch() const override { return inMatch; }

    void StopMenuCamera() override { calls.push_back("StopMenuCamera"); }
    void EndMatch() override { calls.push_back("EndMatch"); }
    void StartMatch() override { calls.push_back("StartMatch"); }
    void CreateArmy(bool local, const ArmyUnitCounts& counts, const Vec3& position, bool,
                    const std::string& name) override
    {
        calls.push_back("CreateArmy");
        armies.push_back({local, counts, position, name, 0});
    }
    void CreateComputerArmies() override { calls.push_back("CreateComputerArmies"); }
    bool ClaimStartSlot(Vec3& position, std::uint32_t& colour) override
    {
        if (startSlotsLeft == 0) {
            return false;
        }
        --startSlotsLeft;
        position = {static_cast<float>(startSlotsLeft) * 10.0f, 0.0f, 5.0f};
        colour = 0xFF000000u | startSlotsLeft;
        return true;
    }
    void CreateNetworkArmy(bool selected, const ArmyUnitCounts& counts, const Vec3& position, const std::string& name,
                           std::uint32_t colour) override
    {
        calls.push_back("CreateNetworkArmy");
        armies.push_back({selected, counts, position, name, colour});
    }
    void EnterMatchState() override
    {
        calls.push_back("EnterMatchState");
        inMatch = true;
    }
    void RestartFrameClock() override { calls.push_back("RestartFrameClock"); }
    int ScreenWidth() const override { return 1024; }
    int ScreenHeight() const override { return 768; }

    GameOptions options;
    SessionKind session = kSinglePlayer;
    bool authority = true;
    bool inMatch = false;
    std::uint32_t startSlotsLeft = 8;
    std::vector<std::string> calls;
    std::vector<ArmyMade> armies;
};

} // namespace testing
