// What the network's handlers show and switch (net/NetUi), over the real
// screens: the connection screen's host buttons, the lobby, unit selection's
// slots and start, and the in-match chat console.
#pragma once

#include "net/NetUi.h"

class NetworkManager;

class GameNetUi : public NetUi {
public:
    explicit GameNetUi(NetworkManager& net) : net_(net) {}

    int CurrentScreen() const override;
    void SetScreen(int screen) override;
    bool LobbyShown() const override;
    void HostListChanged() override;
    void ConnectFailed() override;
    void ReturnToConnectionScreen(bool welcomed) override;
    void LobbyPlayersChanged() override;
    GameSettingsMessage LobbyOptions() const override;
    void SetLobbyOptions(const GameSettingsMessage& options) override;
    void SetLobbyPlayerName(int index, const std::string& name) override;
    void AddLobbyChatLine(const std::string& line) override;
    void AddGameChatLine(const std::string& line) override;
    void StoreRemoteSlot(int id, const PlayerSlot& slot) override;
    bool RemoteSlotReady(int id) const override;
    void SetAllReady() override;
    void StartNetworkMatch(const PlayerSlotsMessage& slots) override;

private:
    NetworkManager& net_;
};
