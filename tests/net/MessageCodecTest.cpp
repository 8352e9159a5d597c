// The record codec: every record type round-trips at its fixed wire size,
// the byte layout is pinned by two golden records, and text and packets
// from the wire are bounded however they end.
#include "NetSamples.h"
#include "net/MessageCodec.h"

#include <doctest/doctest.h>

namespace {

std::vector<NetRecord> Walk(const std::vector<std::uint8_t>& packet)
{
    std::vector<NetRecord> records;
    WalkRecords(packet, [&](const NetRecord& record) { records.push_back(record); });
    return records;
}

} // namespace

TEST_CASE("every record type round-trips through its fixed wire size, and wire text and packets are bounded")
{
    const std::vector<NetRecord> samples = SampleRecords();
    REQUIRE(samples.size() == 19);
    const std::size_t sizes[] = {64, 56, 8, 20, 8, 208, 28, 4, 748, 80, 8, 8, 8, 40, 28, 4, 532, 172, 8};
    for (const NetRecord& record : samples) {
        const std::uint32_t type = TypeOf(record);
        CAPTURE(type);
        const std::vector<std::uint8_t> bytes = EncodeRecordBytes(record);
        CHECK(bytes.size() == sizes[type - 1]);
        ByteReader reader(bytes);
        NetRecord decoded;
        REQUIRE(DecodeRecord(reader, decoded));
        CHECK(reader.Remaining() == 0);
        CHECK(decoded == record);
    }
    // All of them in one packet, in order.
    CHECK(Walk(PacketOf(samples, 0, kChannelTcp)) == samples);

    // Golden bytes: a header and a move order, little-endian with zero padding.
    ByteWriter out;
    EncodeHeader({24, 2, -1, kChannelTcp}, out);
    const std::vector<std::uint8_t> header = {24, 0, 0, 0, 2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0};
    CHECK(out.Bytes() == header);
    const std::vector<std::uint8_t> move = {4,    0,    0,    0,    7,    0xFF, 0,    0,    0x00, 0x00,
                                            0x80, 0x3F, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x3F};
    CHECK(EncodeRecordBytes(MoveOrderMessage{{7, 0xFF}, {1.0f, -2.0f, 0.5f}}) == move);

    // Fields with no terminator come out one short of their width, top-level or nested.
    for (const std::uint32_t type : {kMsgChat, kMsgPlayerSlots}) {
        std::vector<std::uint8_t> bytes(RecordSize(type), 'A');
        bytes[0] = static_cast<std::uint8_t>(type);
        bytes[1] = bytes[2] = bytes[3] = 0;
        ByteReader reader(bytes);
        NetRecord record;
        REQUIRE(DecodeRecord(reader, record));
        if (type == kMsgChat) {
            CHECK(std::get<ChatMessage>(record).text.size() == kChatField - 1);
        } else {
            CHECK(std::get<PlayerSlotsMessage>(record).slots[7].name.size() == kSlotNameField - 1);
        }
    }

    // The walk stops at an unknown type or a cut record and keeps what came before.
    const std::vector<NetRecord> two = {LeaveMessage{}, WelcomeMessage{3}};
    for (const std::uint8_t bad : {0, 20, 0xFF}) {
        std::vector<std::uint8_t> packet = PacketOf(two, 0, kChannelTcp);
        packet.insert(packet.end(), {bad, 0, 0, bad});
        packet.insert(packet.end(), 60, 0);
        CHECK(Walk(packet) == two);
    }
    for (const NetRecord& record : SampleRecords()) {
        const std::vector<std::uint8_t> whole = PacketOf({LeaveMessage{}, record}, 0, kChannelTcp);
        for (std::size_t cut = 1; cut < RecordSize(TypeOf(record)); ++cut) {
            const std::vector<std::uint8_t> packet(whole.begin(), whole.end() - static_cast<std::ptrdiff_t>(cut));
            REQUIRE(Walk(packet).size() == 1);
        }
    }
    CHECK(Walk(std::vector<std::uint8_t>(15, 0)).empty());
}
