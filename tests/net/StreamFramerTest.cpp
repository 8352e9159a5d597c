// The stream framer: a TCP byte stream cut into whole packets however the
// reads split it, and a header length out of bounds failing the stream.
#include "NetSamples.h"
#include "net/StreamFramer.h"

#include <doctest/doctest.h>

namespace {

struct Collected {
    StreamFramer framer;
    std::vector<std::vector<std::uint8_t>> packets;

    bool Feed(std::span<const std::uint8_t> bytes)
    {
        return framer.Feed(bytes, [this](std::span<const std::uint8_t> packet) {
            packets.emplace_back(packet.begin(), packet.end());
        });
    }
};

} // namespace

TEST_CASE("the framer cuts a stream into whole packets however it arrives, and fails it on a length out of bounds")
{
    const std::vector<std::uint8_t> first = PacketOf(SampleRecords(), 1, kChannelTcp, 1);
    const std::vector<std::uint8_t> second = PacketOf({LeaveMessage{}}, 1, kChannelTcp, 2);
    std::vector<std::uint8_t> stream = first;
    stream.insert(stream.end(), second.begin(), second.end());
    for (std::size_t split = 0; split < stream.size(); ++split) {
        Collected c;
        CHECK(c.Feed(std::span(stream).first(split)));
        CHECK(c.Feed(std::span(stream).subspan(split)));
        CHECK(c.packets == std::vector{first, second});
    }

    // A header length outside 16 to 4015 fails the stream.
    for (const std::uint32_t length : {0u, 15u, 4016u, 0xFFFFFFFFu}) {
        CAPTURE(length);
        std::vector<std::uint8_t> packet = PacketOf({LeaveMessage{}}, 1, kChannelTcp);
        for (std::size_t b = 0; b < 4; ++b) {
            packet[b] = static_cast<std::uint8_t>(length >> (8 * b));
        }
        Collected c;
        CHECK_FALSE(c.Feed(packet));
        CHECK(c.packets.empty());
        CHECK_FALSE(c.Feed(PacketOf({LeaveMessage{}}, 1, kChannelTcp)));
    }
    // The edges themselves are taken.
    Collected c;
    CHECK(c.Feed(PacketOf({}, 1, kChannelTcp)));
    std::vector<std::uint8_t> largest(kMaxPacketSize, 0);
    largest[0] = kMaxPacketSize & 0xFF;
    largest[1] = kMaxPacketSize >> 8;
    CHECK(c.Feed(largest));
    CHECK(c.packets.size() == 2);
}
