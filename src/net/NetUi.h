// What the network asks of the screens: the connection screen's host list,
// the lobby, unit selection and the chat console. The application adapts the
// real screens to it (the screens sit below the network and never see it);
// tests use a fake, and NullNetUi stands in while no screens exist.
//
// Screen numbers are the screen manager's: 2 unit selection, 3 connection,
// 4 lobby, 5 options over the lobby.
#pragma once

#include "net/NetMessages.h"
#include "screens/ScreenId.h"

#include <string>

class NetUi {
public:
    virtual ~NetUi() = default;

    virtual int CurrentScreen() const = 0;
    virtual void SetScreen(int screen) = 0;
    // The lobby is up, directly or under the options.
    virtual bool LobbyShown() const = 0;

    // Connection screen: the manager's host list changed (a host was added or
    // renamed); the buttons follow NetworkManager::Hosts().
    virtual void HostListChanged() = 0;
    // A Connect failed after its bounded attempts.
    virtual void ConnectFailed() = 0;
    // The host sent this client away, or went, before any match: back to a
    // fresh connection screen, there told why. welcomed: the host had let it
    // into its game.
    virtual void ReturnToConnectionScreen(bool /*welcomed*/) { SetScreen(kScreenConnection); }

    // Lobby: the joined players changed; names and kick buttons follow
    // NetworkManager::Players().
    virtual void LobbyPlayersChanged() = 0;
    virtual GameSettingsMessage LobbyOptions() const = 0;
    // Only validated settings arrive here.
    virtual void SetLobbyOptions(const GameSettingsMessage& options) = 0;
    virtual void SetLobbyPlayerName(int index, const std::string& name) = 0;
    virtual void AddLobbyChatLine(const std::string& line) = 0;
    // The in-match "ChatConsole".
    virtual void AddGameChatLine(const std::string& line) = 0;

    // Unit selection on the host: a client's slot (id 1-7, name already set
    // from its connection), whether that slot is ready, and all players ready.
    virtual void StoreRemoteSlot(int id, const PlayerSlot& slot) = 0;
    virtual bool RemoteSlotReady(int id) const = 0;
    virtual void SetAllReady() = 0;
    // Unit selection on a client: the host's slots start the match.
    virtual void StartNetworkMatch(const PlayerSlotsMessage& slots) = 0;
};

// Does nothing and shows nothing: screen 0 (the title), so every
// screen-gated record is ignored.
class NullNetUi : public NetUi {
public:
    int CurrentScreen() const override { return 0; }
    void SetScreen(int) override {}
    bool LobbyShown() const override { return false; }
    void HostListChanged() override {}
    void ConnectFailed() override {}
    void LobbyPlayersChanged() override {}
    GameSettingsMessage LobbyOptions() const override { return {}; }
    void SetLobbyOptions(const GameSettingsMessage&) override {}
    void SetLobbyPlayerName(int, const std::string&) override {}
    void AddLobbyChatLine(const std::string&) override {}
    void AddGameChatLine(const std::string&) override {}
    void StoreRemoteSlot(int, const PlayerSlot&) override {}
    bool RemoteSlotReady(int) const override { return false; }
    void SetAllReady() override {}
    void StartNetworkMatch(const PlayerSlotsMessage&) override {}
};
