// Records parsed by the receive threads wait here for the main thread, which
// runs their handlers at the start of its frame. The queue is capped: when
// nobody dispatches (between states, or a stalled frame) a flood cannot grow
// it without bound; a full queue gives up a UDP-borne record first (the
// unit states are repeated anyway) and refuses a new UDP one before any TCP
// one is lost.
#pragma once

#include "net/Connection.h"
#include "net/NetMessages.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

struct ReceivedMessage {
    NetRecord record;
    // This machine acts as host on it.
    bool asServer = false;
    std::uint32_t channel = 0;
    std::int32_t senderId = -1;
    // The datagram's source, or the stream's peer.
    platform::NetAddress source;
    // The connection it came on (null for a datagram from an unknown peer).
    std::shared_ptr<Connection> from;
};

class ReceivedMessageQueue {
public:
    static constexpr std::size_t kCap = 10000;

    explicit ReceivedMessageQueue(std::size_t cap = kCap) : cap_(cap) {}

    // False when the record was refused for want of room.
    bool Push(ReceivedMessage message);
    std::vector<ReceivedMessage> TakeAll();
    std::size_t Size() const;
    void Clear();
    // Waits until a record is queued or the time is up; for the loopback
    // tests, which must not sleep.
    bool WaitForAny(std::chrono::milliseconds timeout);

private:
    bool DropOldestDatagram();

    const std::size_t cap_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<ReceivedMessage> messages_;
};
