// One peer of this machine. On the host: a client, known by its stream (two
// clients on one address are two connections), with the UDP port its join
// gave. On a client: a host heard of by its announcement, known by address
// and port; the one joined also holds the stream.
//
// Connections are shared: the server thread polls a snapshot of them outside
// the manager's lock, and queued records name the one they came on. So a
// connection removed from the list has its stream shut down at once (the
// peer sees it end, and nothing more is read or sent), while its descriptor
// closes when the last holder lets go: the server thread's pass, or the
// frame that handles its last record.
#pragma once

#include "net/StreamFramer.h"
#include "platform/NetAddress.h"
#include "platform/TcpStream.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct Connection {
    std::string name;
    // The peer's address and UDP port (0 until known).
    platform::NetAddress address;
    // 1-7 once joined (the host's own id is 0 on a client), -2 before.
    std::int32_t id = -2;
    // Welcomed, and not since dropped by the host. Read and written under
    // the manager's mutex only, as is joinReceived.
    bool joined = false;
    // The word of this connection, which every datagram between the two
    // sides must carry (its proof record): drawn by the client for each
    // attempt and sent in its join on the stream, so only the two know it.
    // On the host, a client's from its join; on a client, its host's from
    // the welcome on. 0, never a valid word, until then.
    std::uint32_t word = 0;
    // Host: the server thread has read this connection's join and queued it
    // for the next frame; from then on it is never pushed out or closed as
    // one still waiting to join.
    bool joinReceived = false;
    // Host: the army this client commands, once the host's slots of the
    // match have named it; -1 before.
    std::int32_t armyId = -1;
    // Main thread, on the stopwatch: on the host, when a connection not yet
    // joined was first seen (it is closed if no join follows soon); on a
    // client, when a host heard of last announced itself. 0 until set.
    std::int64_t waitingSince = 0;
    std::int64_t lastAnnounced = 0;
    std::unique_ptr<platform::TcpStream> stream;
    // Only the server thread touches the framer.
    StreamFramer framer;
    // Set once when the loss of the stream has been reported as a leave, or
    // when the connection was dropped and no leave is wanted.
    std::atomic<bool> lossReported{false};
    // Bytes of this connection's records waiting in the received-record
    // queue (ReceivedMessageQueue keeps it): its share of the queue.
    std::atomic<std::size_t> queuedBytes{0};
};
