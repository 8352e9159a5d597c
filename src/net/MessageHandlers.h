// What this machine does with each received record, on the main thread. Two
// tables indexed by the type word: the host's action and the client's. The
// role is this machine's own (NetworkManager::IsHosting), never the packet's
// word for it. Every action checks before it acts: the screen or game state
// it belongs to, the connection it came on (on the host, a client's orders
// for its own army only), and the record's values (RecordChecks). Received
// text is shown only without its control bytes.
#pragma once

#include "net/NetMessages.h"
#include "net/RecordChecks.h"

#include <array>
#include <memory>

class NetworkManager;
struct Connection;
struct ReceivedMessage;

class MessageHandlers {
public:
    explicit MessageHandlers(NetworkManager& net) : net_(net) {}

    void Dispatch(const ReceivedMessage& message);

private:
    using Action = void (MessageHandlers::*)(const ReceivedMessage& message);
    static const std::array<Action, kMessageTypeCount> kHostActions;
    static const std::array<Action, kMessageTypeCount> kClientActions;

    void Ignore(const ReceivedMessage&) {}
    // A join this host will not take: told to leave, then dropped.
    void Refuse(const std::shared_ptr<Connection>& connection);
    bool FromJoinedClient(const ReceivedMessage& message) const;
    bool FromJoinedHost(const ReceivedMessage& message) const;
    // The client that sent it commands that army in this match.
    bool CommandsArmy(const ReceivedMessage& message, std::uint8_t army) const;
    // How far from the centre received points may lie on this battle's map.
    MapReach Reach() const;
    bool InMatch() const;

    void HostJoin(const ReceivedMessage& message);
    void HostMove(const ReceivedMessage& message);
    void HostChat(const ReceivedMessage& message);
    void HostAttack(const ReceivedMessage& message);
    void HostLeave(const ReceivedMessage& message);
    void HostSlots(const ReceivedMessage& message);

    void ClientAnnounce(const ReceivedMessage& message);
    void ClientWelcome(const ReceivedMessage& message);
    void ClientMove(const ReceivedMessage& message);
    void ClientHostId(const ReceivedMessage& message);
    void ClientChat(const ReceivedMessage& message);
    void ClientAttack(const ReceivedMessage& message);
    void ClientLeave(const ReceivedMessage& message);
    void ClientSlots(const ReceivedMessage& message);
    void ClientUnitState(const ReceivedMessage& message);
    void ClientUnitDestroyed(const ReceivedMessage& message);
    void ClientStartAttack(const ReceivedMessage& message);
    void ClientExplosion(const ReceivedMessage& message);
    void ClientSettings(const ReceivedMessage& message);
    void ClientStart(const ReceivedMessage& message);
    void ClientNames(const ReceivedMessage& message);
    void ClientMatchResult(const ReceivedMessage& message);

    NetworkManager& net_;
};
