// One outgoing packet under construction: the 16-byte header and the records
// appended during a frame. A record is taken only while used + size < 4000,
// so a packet never exceeds 4015 bytes. The header's length is written just
// before sending; the sequence number is stamped when the first record of a
// packet arrives, from the counter its pair shares (see PacketPair), so a
// frame that sends nothing uses no number. Main thread only.
#pragma once

#include "net/MessageCodec.h"

#include <cstdint>
#include <span>
#include <vector>

class PacketBuffer {
public:
    static constexpr std::size_t kCapacity = 4000;

    explicit PacketBuffer(std::uint32_t channel);

    void SetSenderId(std::int32_t id) { senderId_ = id; }
    std::int32_t GetSenderId() const { return senderId_; }
    // False, and nothing appended, when the record does not fit.
    bool Append(std::span<const std::uint8_t> record, std::uint32_t& pairSequence);
    std::size_t Used() const { return bytes_.size() - kHeaderSize; }
    bool HasRecords() const { return Used() > 0; }
    std::uint32_t MessageCount() const { return messageCount_; }
    // The whole packet with its length written.
    std::span<const std::uint8_t> Packet();
    void Clear();

private:
    std::vector<std::uint8_t> bytes_;
    PacketHeader header_;
    std::int32_t senderId_ = -1;
    std::uint32_t messageCount_ = 0;
};
