// PacketBuffer.
#include "net/PacketBuffer.h"

#include <algorithm>

PacketBuffer::PacketBuffer(std::uint32_t channel)
{
    header_.channel = channel;
    bytes_.reserve(kHeaderSize + kCapacity);
    Clear();
}

bool PacketBuffer::Append(std::span<const std::uint8_t> record, std::uint32_t& pairSequence)
{
    if (Used() + record.size() >= kCapacity) {
        return false;
    }
    if (!HasRecords()) {
        header_.sequence = ++pairSequence;
        header_.sender = senderId_;
    }
    bytes_.insert(bytes_.end(), record.begin(), record.end());
    ++messageCount_;
    return true;
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
