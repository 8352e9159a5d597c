// A network session for the multi-player screens that records what they ask
// and answers from lists the test fills: the hosts heard, the players joined,
// whether an attempt runs.
#pragma once

#include "screens/NetSession.h"
#include "screens/ScreenManager.h"
#include "screens/UnitSelectionScreen.h"

#include <string>
#include <vector>

class FakeNetSession : public NetSession {
public:
    FakeNetSession() { ScreenManager::Instance()->SetNetSession(this); }
    ~FakeNetSession() override { ScreenManager::Instance()->SetNetSession(nullptr); }
    FakeNetSession(const FakeNetSession&) = delete;
    FakeNetSession& operator=(const FakeNetSession&) = delete;

    bool OpenDiscovery() override
    {
        ++discoveries;
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
        if (connecting || hostIndex >= hosts.size()) {
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
        kicked.push_back(id);
        return true;
    }
    void Leave() override { ++leaves; }
    void SendLobbyChat(const std::string& text) override { chat.push_back(text); }
    void SendGameSettings(const GameOptions& options) override { settingsSent.push_back(options); }
    void SendStartGame() override { ++starts; }
    void StopAnnouncing() override { calls.push_back("StopAnnouncing"); }
    void StartUnitStateSync() override { calls.push_back("StartUnitStateSync"); }
    void SendSlotsAsHost(const std::array<PlayerSetup, 8>& slots) override
    {
        calls.push_back("SendSlotsAsHost");
        hostSlots = slots;
    }
    void SendSlotAsClient(const PlayerSetup& own) override
    {
        calls.push_back("SendSlotAsClient");
        clientSlots.push_back(own);
    }

    bool hosting = false;
    bool hostingWorks = true;
    bool connecting = false;
    std::int32_t ownId = -1;
    std::string ownName = "Me";
    std::vector<NetPeerName> hosts;
    std::vector<NetPeerName> players;

    int discoveries = 0;
    int leaves = 0;
    int starts = 0;
    std::string hostedAs;
    std::vector<NetPeerName> connects;
    std::vector<std::int32_t> kicked;
    std::vector<std::string> chat;
    std::vector<GameOptions> settingsSent;
    std::vector<std::string> calls;
    std::array<PlayerSetup, 8> hostSlots{};
    std::vector<PlayerSetup> clientSlots;
};
