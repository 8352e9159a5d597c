// PacketPair.
#include "net/PacketPair.h"

#include "net/MessageCodec.h"

bool PacketPair::Queue(const NetRecord& record)
{
    const std::vector<std::uint8_t> bytes = EncodeRecordBytes(record);
    return first_.Append(bytes, sequence_) || overflow_.Append(bytes, sequence_);
}

void PacketPair::SetSenderId(std::int32_t id)
{
    first_.SetSenderId(id);
    overflow_.SetSenderId(id);
}

void PacketPair::Clear()
{
    first_.Clear();
    overflow_.Clear();
}

void PacketPair::Reset()
{
    Clear();
    SetSenderId(-1);
    sequence_ = 0;
}
