// Which records a datagram may carry to this machine. One table, read in one
// place (NetworkManager::ReceivePacket, where a packet's records are walked),
// so no handler has to ask how its record came.
//
// A datagram's source can be named by anyone on the network; the stream is
// the peer's own connection. So a datagram carries only what the game sends
// by datagram, in the direction it sends it:
//
//  to a host     4 move (a client's own orders)
//  to a client   2 announcement (broadcast, before joining)
//                4 move (the host's own orders)
//                7 attack (the host relays the clients' by datagram)
//               10 unit state
//
// Everything else, whatever changes a session or the score (join, welcome,
// host id, chat, leave, slots, deaths, attack starts, explosions, settings,
// start, names, the match result), comes on the sender's stream only. The
// stream itself is not filtered: what a peer may say on its own connection
// is for the handlers to judge, by this machine's role.
//
// A record a datagram may not carry is dropped; the datagram's other records
// are still taken.
#pragma once

#include <cstdint>

enum class Carrier : std::uint8_t { kStream, kDatagram };

// True when a record of the type may arrive that way at a host (toHost) or
// at a client.
bool IsCarriedBy(std::uint32_t type, bool toHost, Carrier carrier);
