// Records parsed by the receive threads wait here for the main thread, which
// runs their handlers at the start of its frame.
//
// Every record counts against the connection it came on, by its bytes
// (Connection::queuedBytes), so each connection has a fair share of the queue
// and of the frame's work:
//  - A stream record is never refused, and neither is a leave (the loss of a
//    stream is queued as one): a connection's stream records are bounded by
//    its reader instead, which stops reading a stream whose waiting records
//    pass its budget and lets the kernel hold the rest, so TCP holds the
//    sender back and nobody else's record is lost.
//  - A datagram record is refused when its connection's waiting records have
//    reached the budget the receiver gives, and, whoever sent it, when the
//    queue already holds its cap of datagram records (announcements come
//    from anyone). UDP is lossy: what the game sends that way is repeated or
//    superseded.
//  - The frame takes at most a budget of record bytes from each connection
//    (always its first waiting record, whatever its size) and leaves the
//    rest queued, in order, for the next frame. Records of no connection are
//    all taken.
#pragma once

#include "net/Connection.h"
#include "net/NetMessages.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
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
    static constexpr std::size_t kDatagramCap = 10000;
    static constexpr std::size_t kNoLimit = SIZE_MAX;

    explicit ReceivedMessageQueue(std::size_t datagramCap = kDatagramCap) : datagramCap_(datagramCap) {}

    // False when a datagram record was refused (see the top of this file);
    // connectionBudget is the record bytes its connection may have waiting.
    bool Push(ReceivedMessage message, std::size_t connectionBudget = kNoLimit);
    // In arrival order: of each connection its records up to bytesPerConnection
    // (its first always), of no connection all; the rest stay in order.
    std::vector<ReceivedMessage> Take(std::size_t bytesPerConnection);
    std::vector<ReceivedMessage> TakeAll() { return Take(kNoLimit); }
    std::size_t Size() const;
    void Clear();
    // Waits until a record is queued or the time is up; for the loopback
    // tests, which must not sleep.
    bool WaitForAny(std::chrono::milliseconds timeout);

private:
    // Under the mutex: the message leaves the queue.
    void Release(const ReceivedMessage& message);

    const std::size_t datagramCap_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<ReceivedMessage> messages_;
    std::size_t datagrams_ = 0;
};
