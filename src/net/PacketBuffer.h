// One outgoing packet under construction: the 16-byte header and the records
// appended during a frame. A record is taken only while used + size < 4000,
// so a packet never exceeds 4015 bytes. The header's length is written just
// before sending; the sequence number is stamped when the first record of a
// packet arrives, from the counter its pair shares (see PacketPair), so a
// frame that sends nothing uses no number. Main thread only.
//
// A datagram buffer (channel 1) opens each packet with the proof record
// (NetMessages.h), whose word is written for each peer just before that
// peer's send: one packet serves every peer, each with its own word. The
// proof counts against the capacity but not as a message.
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
    // False, and nothing appended, when the record does not fit. Counted as a
    // message either way, as the traffic counters count what was queued.
    bool Append(std::span<const std::uint8_t> record, std::uint32_t& pairSequence);
    std::size_t Used() const { return bytes_.size() - kHeaderSize; }
    bool HasRecords() const { return Used() > 0; }
    std::uint32_t MessageCount() const { return messageCount_; }
    // The peer's word into the proof record of a datagram packet; nothing on
    // another channel or before the first record.
    void SetProofWord(std::uint32_t word);
    // The whole packet with its length written.
    std::span<const std::uint8_t> Packet();
    void Clear();

private:
    std::vector<std::uint8_t> bytes_;
    PacketHeader header_;
    std::int32_t senderId_ = -1;
    std::uint32_t messageCount_ = 0;
    bool proved_ = false;
};
