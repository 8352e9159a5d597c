// The senders.
#include "net/NetSenders.h"

#include "net/NetworkManager.h"

namespace {

bool InMatch(NetworkManager& net)
{
    return net.World().GameState() == kNetStateMatch;
}

std::string ChatLine(const NetworkManager& net, const std::string& text)
{
    return (net.GetOwnName() + " >> " + text).substr(0, kChatField - 1);
}

} // namespace

void SendMoveOrder(NetworkManager& net, const UnitHead& unit, const Vec3& point)
{
    if (InMatch(net)) {
        net.QueueUdp(MoveOrderMessage{unit, point});
    }
}

void SendStartAttack(NetworkManager& net, const UnitHead& unit)
{
    if (InMatch(net)) {
        net.QueueTcp(StartAttackMessage{unit});
    }
}

void SendAttackOrder(NetworkManager& net, const AttackOrderMessage& order)
{
    if (InMatch(net)) {
        net.QueueTcp(order);
    }
}

void SendExplosion(NetworkManager& net, const Vec3& centre, double radius, double strength, float crater)
{
    if (InMatch(net)) {
        net.QueueTcp(ExplosionMessage{centre, radius, strength, crater});
    }
}

void SendUnitDestroyed(NetworkManager& net, const UnitHead& unit)
{
    if (InMatch(net) && net.IsHosting()) {
        net.CountUnitDestroyed();
        net.QueueTcp(UnitDestroyedMessage{unit});
    }
}

void SendGameChat(NetworkManager& net, const std::string& text)
{
    if (text.empty()) {
        return;
    }
    const ChatMessage chat{ChatLine(net, text), kGameChat};
    net.QueueTcp(chat);
    if (net.IsHosting()) {
        net.Ui().AddGameChatLine(chat.text);
    }
}

void SendLobbyChat(NetworkManager& net, const std::string& text)
{
    if (text.empty()) {
        return;
    }
    const ChatMessage chat{ChatLine(net, text), kLobbyChat};
    net.QueueTcp(chat);
    if (net.IsHosting()) {
        net.Ui().AddLobbyChatLine(chat.text);
    }
}

void SendGameSettings(NetworkManager& net, const GameSettingsMessage& settings)
{
    net.QueueTcp(settings);
}

void SendPlayerNames(NetworkManager& net)
{
    PlayerNamesMessage names;
    std::size_t i = 0;
    for (const NetPeerEntry& player : net.Players()) {
        if (i < names.names.size()) {
            names.names[i++] = player.name;
        }
    }
    net.QueueTcp(names);
}

void SendStartGame(NetworkManager& net)
{
    net.QueueTcp(StartGameMessage{});
}

void SendLobbySlotsAsClient(NetworkManager& net, const PlayerSlotsMessage& slots)
{
    PlayerSlotsMessage record = slots;
    record.senderId = static_cast<std::uint32_t>(net.GetOwnId());
    net.QueueTcp(record);
    net.FlushOutgoing();
}

void SendLobbySlotsAsHost(NetworkManager& net, const PlayerSlotsMessage& slots)
{
    PlayerSlotsMessage record = slots;
    record.senderId = 0;
    // The slots name the armies: from now each client orders its own only.
    net.AssignArmies(record);
    net.QueueTcp(record);
    net.FlushOutgoing();
}

void SendLeave(NetworkManager& net)
{
    net.QueueTcp(LeaveMessage{});
    net.FlushOutgoing();
}

void QueueLeave(NetworkManager& net)
{
    net.QueueTcp(LeaveMessage{});
}

void SendPlayerLeft(NetworkManager& net, const std::string& name)
{
    const ChatMessage line{(name + " has left the game.").substr(0, kChatField - 1), kGameChat};
    net.QueueTcp(line);
    net.Ui().AddGameChatLine(line.text);
}

void RelayMoveOrder(NetworkManager& net, const MoveOrderMessage& move)
{
    net.QueueTcp(move);
}

void RelayAttackOrder(NetworkManager& net, const AttackOrderMessage& attack)
{
    net.QueueUdp(attack);
}
