// The pair of outgoing buffers: records fill the first, spill into the
// overflow, then are dropped, and each buffer's header says who sent what;
// a datagram pair's packets open with the proof, which counts against the
// room but not as a message.
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

TEST_CASE("a datagram pair opens each packet with the proof, written per peer, and a tick's forty states fit one")
{
    PacketPair pair(kChannelUdp);
    pair.SetSenderId(0);
    std::uint32_t word = 1;
    CHECK_FALSE(ReadProofWord(pair.First().Packet(), word)); // nothing queued, nothing to prove
    UnitStateMessage state;                                  // 80 bytes
    for (int i = 0; i < 40; ++i) {
        REQUIRE(pair.Queue(state));
    }
    CHECK(pair.First().Used() == 8 + 40 * 80);
    CHECK(pair.First().MessageCount() == 40);
    CHECK_FALSE(pair.Overflow().HasRecords());
    for (const std::uint32_t peer : {0x01234567u, 0xFEDCBA98u}) {
        pair.First().SetProofWord(peer);
        REQUIRE(ReadProofWord(pair.First().Packet(), word));
        CHECK(word == peer);
    }
    // Two ticks in one frame: 49 states and the proof fill the first packet
    // (3928 + 80 would reach 4000), the rest open a second with its own proof.
    for (int i = 40; i < 80; ++i) {
        REQUIRE(pair.Queue(state));
    }
    CHECK(pair.First().Used() == 8 + 49 * 80);
    CHECK(pair.Overflow().Used() == 8 + 31 * 80);
    REQUIRE(ReadProofWord(pair.Overflow().Packet(), word));
    CHECK(word == 0);
}
