// PacketBuffer.
#include "net/PacketBuffer.h"

#include <algorithm>

PacketBuffer::PacketBuffer(std::uint32_t channel) : proved_(channel == kChannelUdp)
{
    header_.channel = channel;
    bytes_.reserve(kHeaderSize + kCapacity);
    Clear();
}

bool PacketBuffer::Append(std::span<const std::uint8_t> record, std::uint32_t& pairSequence)
{
    ++messageCount_;
    const std::size_t opening = proved_ && !HasRecords() ? RecordSize(kMsgProof) : 0;
    if (Used() + opening + record.size() >= kCapacity) {
        return false;
    }
    if (!HasRecords()) {
        header_.sequence = ++pairSequence;
        header_.sender = senderId_;
        if (proved_) {
            ByteWriter proof;
            EncodeRecord(ProofMessage{}, proof);
            bytes_.insert(bytes_.end(), proof.Bytes().begin(), proof.Bytes().end());
        }
    }
    bytes_.insert(bytes_.end(), record.begin(), record.end());
    return true;
}

void PacketBuffer::SetProofWord(std::uint32_t word)
{
    if (!proved_ || !HasRecords()) {
        return;
    }
    // The word follows the proof's type word, little-endian as every word.
    for (std::size_t b = 0; b < 4; ++b) {
        bytes_[kHeaderSize + 4 + b] = static_cast<std::uint8_t>(word >> (8 * b));
    }
}

std::span<const std::uint8_t> PacketBuffer::Packet()
{
    header_.length = static_cast<std::uint32_t>(bytes_.size());
    ByteWriter header;
    EncodeHeader(header_, header);
    std::copy(header.Bytes().begin(), header.Bytes().end(), bytes_.begin());
    return bytes_;
}

void PacketBuffer::Clear()
{
    bytes_.assign(kHeaderSize, 0);
    header_.length = 0;
    messageCount_ = 0;
}
