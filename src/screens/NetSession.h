// What the multi-player screens ask of the network: discovery, hosting and
// joining, the lobby's players, chat, settings, kick and drop, and unit
// selection's slots. The network sits above the screens, so the screens see
// only this; the application implements it over its network manager
// (app/GameNetSession), tests over a fake.
//
// Everything here runs on the main thread. The lists are copies taken under
// the network's lock, so a screen may walk them while the receive threads add
// connections.
#pragma once

#include "game/GameOptions.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PlayerSetup;

// A host heard of, or a joined player, by what the screens show of it.
struct NetPeerName {
    std::int32_t id = -2;
    std::string name;
};

class NetSession {
public:
    virtual ~NetSession() = default;

    // Entering the connection screen: not hosting, the receive port open so
    // that announcements arrive. False when no port was free.
    virtual bool OpenDiscovery() = 0;
    // "Host Game": false (and not hosting) when the game port is taken.
    virtual bool Host(const std::string& name) = 0;
    // "Connect" on host i: the attempt starts and ends later (joined, or
    // the failure reported to the connection screen). False when nothing
    // started: an attempt already runs, or there is no such host.
    virtual bool Connect(std::size_t hostIndex, const std::string& name) = 0;
    virtual bool IsConnecting() const = 0;
    virtual bool IsHosting() const = 0;
    virtual std::int32_t OwnId() const = 0;
    virtual std::string OwnName() const = 0;
    // Client: the hosts heard of, in order of first hearing.
    virtual std::vector<NetPeerName> Hosts() const = 0;
    // Host: the joined clients by id. Client: the host.
    virtual std::vector<NetPeerName> Players() const = 0;

    // The lobby.
    virtual bool Kick(std::int32_t id) = 0;
    // "Drop": the leave sent, then everything network reset.
    virtual void Leave() = 0;
    virtual void SendLobbyChat(const std::string& text) = 0;
    virtual void SendGameSettings(const GameOptions& options) = 0;
    virtual void SendStartGame() = 0;

    // Unit selection's "Start". The host stops announcing before it starts
    // the match and syncs the units after.
    virtual void StopAnnouncing() = 0;
    virtual void StartUnitStateSync() = 0;
    virtual void SendSlotsAsHost(const std::array<PlayerSetup, 8>& slots) = 0;
    virtual void SendSlotAsClient(const PlayerSetup& own) = 0;
};
