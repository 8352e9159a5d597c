// Which records a packet may carry to this machine, by the way it came (a
// datagram or the peer's stream) and its channel word. One table, read in
// one place (NetworkManager::ReceivePacket, where a packet's records are
// walked), so no handler has to ask how its record came.
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
// start, names, the match result), comes on the sender's stream only. What
// a peer may say on its own connection is otherwise for the handlers to
// judge, by this machine's role; only an announcement never comes that way.
//
// Channel word 0 marks the two packets that travel alone, outside the
// numbered pairs: a host's announcement (by datagram) and its welcome (on the
// stream). Nothing else is taken from a packet on channel 0, so no other
// record escapes the checks of the numbered channels (the client's stale
// filter above all).
//
// The proof (19) is carried by no way: the manager checks and strips it from
// a datagram before the records are walked, and it has no handler.
//
// A record a packet may not carry is dropped; the packet's other records are
// still taken.
#pragma once

#include <cstdint>

enum class Carrier : std::uint8_t { kStream, kDatagram };

// True when a record of the type may arrive that way, in a packet of the
// channel, at a host (toHost) or at a client.
bool IsCarriedBy(std::uint32_t type, bool toHost, Carrier carrier, std::uint32_t channel);
