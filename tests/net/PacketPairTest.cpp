// The pair of outgoing buffers: records fill the first, spill into the
// overflow, then are dropped, and each buffer's header says who sent what.
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
    // Records are whole words: a chat still fits at 3788 (3996 < 4000), not at 3792.
    while (pair.First().Used() < 3788) {
        REQUIRE(pair.Queue(LeaveMessage{}));
    }
    CHECK(pair.Queue(chat));
    CHECK_FALSE(pair.Overflow().HasRecords());
    CHECK(pair.Queue(chat));
    CHECK(pair.Overflow().Used() == 208);
    CHECK(HeaderOf(pair.First()) == PacketHeader{kHeaderSize + 3996, 1, 3, kChannelTcp});
    CHECK(HeaderOf(pair.Overflow()).sequence == 2);
    while (pair.Overflow().Used() + 208 < PacketBuffer::kCapacity) {
        REQUIRE(pair.Queue(chat));
    }
    CHECK_FALSE(pair.Queue(chat));
    CHECK(pair.Overflow().Packet().size() <= kMaxPacketSize);
}
