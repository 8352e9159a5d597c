#include "net/PacketPair.h"

#include <doctest/doctest.h>

namespace {

PacketHeader HeaderOf(PacketBuffer& buffer)
{
    ByteReader reader(buffer.Packet());
    PacketHeader header;
    REQUIRE(DecodeHeader(reader, header));
    return header;
}

} // namespace

TEST_CASE("a buffer pair fills the first buffer, then the overflow, then drops")
{
    PacketPair pair(kChannelTcp);
    pair.SetSenderId(3);
    const ChatMessage chat{"line", kGameChat}; // 208 bytes
    // Records are whole words, so the last fits at 3788 (3996 < 4000) and not at 3792.
    const auto fillTo = [&](std::size_t used) {
        for (int i = 0; i < 18; ++i) {
            REQUIRE(pair.Queue(chat));
        }
        while (pair.First().Used() < used) {
            REQUIRE(pair.Queue(LeaveMessage{}));
        }
    };

    SUBCASE("a 208-byte record still fits at 3788")
    {
        fillTo(3788);
        CHECK(pair.Queue(chat));
        CHECK(pair.First().Used() == 3996);
        CHECK_FALSE(pair.Overflow().HasRecords());
    }
    SUBCASE("at 3792 it goes to the overflow buffer, and with both full it is dropped")
    {
        fillTo(3792);
        CHECK(pair.Queue(chat));
        CHECK(pair.First().Used() == 3792);
        CHECK(pair.Overflow().Used() == 208);
        while (pair.Overflow().Used() + 208 < PacketBuffer::kCapacity) {
            REQUIRE(pair.Queue(chat));
        }
        CHECK_FALSE(pair.Queue(chat));
        CHECK(pair.Overflow().Packet().size() <= kMaxPacketSize);
    }
    SUBCASE("the header carries the sender and the written length")
    {
        fillTo(3792);
        const PacketHeader header = HeaderOf(pair.First());
        CHECK(header.sender == 3);
        CHECK(header.length == kHeaderSize + 3792);
        CHECK(header.channel == kChannelTcp);
    }
}

TEST_CASE("sequence numbers start at 1, skip empty frames and rise across first and overflow")
{
    PacketPair pair(kChannelUdp);
    CHECK_FALSE(pair.First().HasRecords());
    pair.Queue(LeaveMessage{});
    CHECK(HeaderOf(pair.First()).sequence == 1);
    pair.Clear();
    pair.Clear(); // an empty frame
    while (pair.Queue(UnitStateMessage{}) && !pair.Overflow().HasRecords()) {
    }
    CHECK(HeaderOf(pair.First()).sequence == 2);
    CHECK(HeaderOf(pair.Overflow()).sequence == 3);
}
