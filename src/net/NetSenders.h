// The senders: each builds one record and queues it on the pair its type
// travels on (or sends it at once where the flow needs it). The in-match
// senders do nothing outside a match; text is cut to its field.
//
// Channels cross over on purpose: a client's move goes by UDP and the host
// relays it by TCP; a client's attack goes by TCP and the host relays it by
// UDP. The relay reaches the sender too, which applies its order again.
#pragma once

#include "net/NetMessages.h"

#include <string>

class NetworkManager;

void SendMoveOrder(NetworkManager& net, const UnitHead& unit, const Vec3& point);
void SendStartAttack(NetworkManager& net, const UnitHead& unit);
void SendAttackOrder(NetworkManager& net, const AttackOrderMessage& order);
void SendExplosion(NetworkManager& net, const Vec3& centre, double radius, double strength, float crater);
// Host only.
void SendUnitDestroyed(NetworkManager& net, const UnitHead& unit);

// "name >> text" as game chat; the host shows its own line at once (the
// relay shows clients theirs). Empty text sends nothing.
void SendGameChat(NetworkManager& net, const std::string& text);
void SendLobbyChat(NetworkManager& net, const std::string& text);
void SendGameSettings(NetworkManager& net, const GameSettingsMessage& settings);
// The joined clients' names in id order, from the host.
void SendPlayerNames(NetworkManager& net);
void SendStartGame(NetworkManager& net);
// Unit selection's Start: a client sends its slots with its own id, the host
// all eight with id 0; both flush at once.
void SendLobbySlotsAsClient(NetworkManager& net, const PlayerSlotsMessage& slots);
void SendLobbySlotsAsHost(NetworkManager& net, const PlayerSlotsMessage& slots);
// Leave, flushed at once; QueueLeave leaves it for the next flush.
void SendLeave(NetworkManager& net);
void QueueLeave(NetworkManager& net);

// What a client's console says when its host leaves a match.
inline constexpr const char* kHostLeftLine = "The host has left the game.";
// Host, in a match: "name has left the game." in its own console and, as
// game chat, in every client's.
void SendPlayerLeft(NetworkManager& net, const std::string& name);

void RelayMoveOrder(NetworkManager& net, const MoveOrderMessage& move);
void RelayAttackOrder(NetworkManager& net, const AttackOrderMessage& attack);
