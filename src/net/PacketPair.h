// A channel's two outgoing buffers: a record goes into the first and, only
// when that is full, into the overflow; with both full it is dropped. Both
// draw their sequence numbers from one counter, so the overflow packet of a
// frame numbers above the first and a client's stale filter keeps it.
#pragma once

#include "net/NetMessages.h"
#include "net/PacketBuffer.h"

#include <cstdint>

class PacketPair {
public:
    explicit PacketPair(std::uint32_t channel) : first_(channel), overflow_(channel) {}

    // False when the record was dropped.
    bool Queue(const NetRecord& record);
    void SetSenderId(std::int32_t id);
    std::int32_t GetSenderId() const { return first_.GetSenderId(); }
    PacketBuffer& First() { return first_; }
    PacketBuffer& Overflow() { return overflow_; }
    void Clear();
    // Back to the state of a new pair (sequence 0).
    void Reset();
    std::uint32_t GetSequence() const { return sequence_; }

private:
    PacketBuffer first_;
    PacketBuffer overflow_;
    std::uint32_t sequence_ = 0;
};
