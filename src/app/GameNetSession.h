// The multi-player screens' view of the network (screens/NetSession), over
// one network manager and its senders; and the conversion between unit
// selection's set-up records and the slots the network carries.
#pragma once

#include "net/NetMessages.h"
#include "screens/NetSession.h"
#include "screens/UnitSelectionScreen.h"

class NetworkManager;

class GameNetSession : public NetSession {
public:
    explicit GameNetSession(NetworkManager& net) : net_(net) {}

    bool OpenDiscovery() override;
    bool Host(const std::string& name) override;
    bool Connect(std::size_t hostIndex, const std::string& name) override;
    bool IsConnecting() const override;
    bool IsHosting() const override;
    std::int32_t OwnId() const override;
    std::string OwnName() const override;
    std::vector<NetPeerName> Hosts() const override;
    std::vector<NetPeerName> Players() const override;
    bool Kick(std::int32_t id) override;
    void Leave() override;
    void SendLobbyChat(const std::string& text) override;
    void SendGameSettings(const GameOptions& options) override;
    void SendStartGame() override;
    void StopAnnouncing() override;
    void StartUnitStateSync() override;
    void SendSlotsAsHost(const std::array<PlayerSetup, 8>& slots) override;
    void SendSlotAsClient(const PlayerSetup& own) override;

    // The wire's slot and the screen's set-up, both ways; the wire orders
    // the counts Trajectagon, Smashtor, Triangoloid, Detagon, Artillerator.
    static PlayerSlot SlotOf(const PlayerSetup& setup);
    static PlayerSetup SetupOf(const PlayerSlot& slot);
    static GameSettingsMessage SettingsOf(const GameOptions& options);
    static GameOptions OptionsOf(const GameSettingsMessage& settings);

private:
    NetworkManager& net_;
};
