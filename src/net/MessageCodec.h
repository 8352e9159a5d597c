// The one codec of the LAN game's bytes, shared by every sender and
// receiver: the 16-byte packet header and the nineteen records (their
// layouts are at the top of NetMessages.h).
//
//  header  off 0 u32 total length (0 in a host announcement)
//          off 4 u32 sequence of the sending buffer pair (first packet 1)
//          off 8 i32 sender id: 0 host, 1-7 clients, -1 not yet welcomed
//          off 12 u32 channel: 1 UDP, 2 TCP, 0 announcement and welcome
//
// Decoding reads only through the bounded ByteReader: a record is read only
// when all of its bytes are there, every text field is taken up to its first
// NUL and never past its width less one, so what comes out is always
// terminated. Range checks of the values (finite floats, option ranges) are
// the handlers' business, since what is valid depends on the receiver.
#pragma once

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "net/NetMessages.h"

#include <cstdint>
#include <span>
#include <vector>

inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kMaxRecordBytes = 3999;
inline constexpr std::size_t kMaxPacketSize = kHeaderSize + kMaxRecordBytes; // 4015

enum Channel : std::uint32_t { kChannelDirect = 0, kChannelUdp = 1, kChannelTcp = 2 };

struct PacketHeader {
    std::uint32_t length = 0;
    std::uint32_t sequence = 0;
    std::int32_t sender = -1;
    std::uint32_t channel = 0;
    bool operator==(const PacketHeader&) const = default;
};

// The wire size of a record of the type, 0 for a type that does not exist.
std::size_t RecordSize(std::uint32_t type);

void EncodeHeader(const PacketHeader& header, ByteWriter& out);
bool DecodeHeader(ByteReader& in, PacketHeader& out);

// Appends exactly RecordSize(TypeOf(record)) bytes.
void EncodeRecord(const NetRecord& record, ByteWriter& out);
std::vector<std::uint8_t> EncodeRecordBytes(const NetRecord& record);
// One record in a packet of its own, its length written, numbered 1: what
// goes outside the buffer pairs (a join, a welcome, a leave to one peer).
std::vector<std::uint8_t> EncodeLonePacket(const NetRecord& record, std::int32_t sender, std::uint32_t channel);
// Reads one record at the reader's position: false, and the reader where it
// was, for an unknown type or a record cut short.
bool DecodeRecord(ByteReader& in, NetRecord& out);

// The word of the proof record at the start of a packet's records (offset
// 16): false when the packet is too short for one or its first record is
// another type.
bool ReadProofWord(std::span<const std::uint8_t> packet, std::uint32_t& word);

// Walks the records of one packet from offset 16 up to its end, giving each
// to visit in order. An unknown type or a cut record ends the walk; the
// records before it are kept. Returns how many were given.
template <typename Visit> std::size_t WalkRecords(std::span<const std::uint8_t> packet, Visit&& visit)
{
    if (packet.size() < kHeaderSize) {
        return 0;
    }
    ByteReader reader(packet.subspan(kHeaderSize));
    std::size_t count = 0;
    NetRecord record;
    while (reader.Remaining() > 0 && DecodeRecord(reader, record)) {
        visit(record);
        ++count;
    }
    return count;
}
