// A network session for the multi-player screens that records what they ask
// and answers from lists the test fills: the hosts heard, the players joined,
// whether an attempt runs. Calls with nothing to keep are only named in calls.
// NetScreenScope is what every multi-player screen test stands on.
#pragma once

#include "gui/guiCodes.h"
#include "screens/NetSession.h"
#include "screens/ScreenManager.h"
#include "screens/UnitSelectionScreen.h"

#include "../screens/RecordingMenuHost.h"
#include "RecordingCanvas.h"
#include "TestSupport.h"

#include <algorithm>
#include <string>
#include <vector>

// A screen's callback called as the gui calls it: the pointer is the button
// pressed or the text entered.
inline bool Press(guiCallback callback, void* pointer = nullptr, std::uint32_t code = kGuiButtonReleased)
{
    return testing::Fire(callback, code, guiParam::FromPointer(pointer), guiParam::FromInt(0));
}

class FakeNetSession : public NetSession {
public:
    FakeNetSession() { ScreenManager::Instance()->SetNetSession(this); }
    ~FakeNetSession() override { ScreenManager::Instance()->SetNetSession(nullptr); }
    FakeNetSession(const FakeNetSession&) = delete;
    FakeNetSession& operator=(const FakeNetSession&) = delete;

    long Count(const std::string& call) const { return std::count(calls.begin(), calls.end(), call); }

    bool OpenDiscovery() override
    {
        calls.push_back("OpenDiscovery");
        hosting = false;
        return true;
    }
    bool Host(const std::string& name) override
    {
        hostedAs = name;
        hosting = hostingWorks;
        return hostingWorks;
    }
    bool Connect(std::size_t hostIndex, const std::string& name) override
    {
        // No refusal of a second attempt here: the screens must not make one.
        if (hostIndex >= hosts.size()) {
            return false;
        }
        connecting = true;
        connects.push_back({static_cast<std::int32_t>(hostIndex), name});
        return true;
    }
    bool IsConnecting() const override { return connecting; }
    bool IsHosting() const override { return hosting; }
    std::int32_t OwnId() const override { return ownId; }
    std::string OwnName() const override { return ownName; }
    std::vector<NetPeerName> Hosts() const override { return hosts; }
    std::vector<NetPeerName> Players() const override { return players; }
    bool Kick(std::int32_t id) override
    {
        calls.push_back("Kick " + std::to_string(id));
        return true;
    }
    void Leave() override { calls.push_back("Leave"); }
    void SendLobbyChat(const std::string& text) override { calls.push_back("Chat " + text); }
    void SendGameSettings(const GameOptions&) override { calls.push_back("SendGameSettings"); }
    void SendStartGame() override { calls.push_back("SendStartGame"); }
    void StopAnnouncing() override { calls.push_back("StopAnnouncing"); }
    void StartUnitStateSync() override { calls.push_back("StartUnitStateSync"); }
    void SendSlotsAsHost(const std::array<PlayerSetup, 8>& slots) override
    {
        calls.push_back("SendSlotsAsHost");
        hostSlots = slots;
    }
    void SendSlotAsClient(const PlayerSetup& own) override { clientSlots.push_back(own); }

    bool hosting = false;
    bool hostingWorks = true;
    bool connecting = false;
    std::int32_t ownId = -1;
    std::string ownName = "Me";
    std::vector<NetPeerName> hosts;
    std::vector<NetPeerName> players;

    std::string hostedAs;
    std::vector<NetPeerName> connects;
    std::vector<std::string> calls;
    std::array<PlayerSetup, 8> hostSlots{};
    std::vector<PlayerSetup> clientSlots;
};

struct NetScreenScope {
    testing::TempDirectory logs;
    testing::GuiTestScope gui;
    testing::RecordingMenuHost host;
    FakeNetSession session;
};
