// fuzz_net_seeds <directory>: writes the packet fuzzer's starting inputs: a
// packet of every record type, for host and client, each way in, so that
// mutations begin from records the handlers act on; and packets of the
// match's records naming the fuzzer's battle units (armies 0 to 2, units 0
// to 4; the host's client commands army 1) and the host's score of its
// armies, so mutations begin in the battle and its ranking. Datagrams on
// channel 1 open with the proof of the fuzzer's peer (kRawJoinWord), as
// every datagram must, and some seeds go on channel 0, which takes only
// announcements and welcomes.
#include "../tests/net/NetSamples.h"
#include "game/UnitOrder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// The records of a match as the host sends them to a client.
std::vector<NetRecord> ToClient()
{
    std::vector<NetRecord> records;
    for (std::uint8_t army = 0; army < 3; ++army) {
        for (std::uint8_t unit = 0; unit < 5; unit += 2) {
            UnitStateMessage state;
            state.head = {unit, army};
            state.position = {10.0f * army - 20.0f, 2.0f, 5.0f * unit - 20.0f};
            state.destination = {0.0f, 0.0f, 0.0f};
            state.velocity = {1.0f, 0.0f, -1.0f};
            state.order = unit % 2 == 0 ? kOrderMove : kOrderEngage;
            state.hitPoints = 20;
            state.targets = {unit, 0xFF, static_cast<std::uint8_t>((army + 1) % 3), 0xFF};
            records.push_back(state);
        }
    }
    records.push_back(MoveOrderMessage{{1, 0}, {20.0f, 0.0f, 20.0f}});
    records.push_back(AttackOrderMessage{{2, 1}, {0.0f, 0.0f, 30.0f}, {4, 0xFF, 2, 0xFF}, 1});
    records.push_back(StartAttackMessage{{4, 2}});
    records.push_back(ExplosionMessage{{0.0f, 0.0f, 0.0f}, 12.0, 24.0, 4.0f});
    records.push_back(UnitDestroyedMessage{{3, 0}});
    // The score in play, then at the statistics, naming the armies in a new order.
    MatchResultMessage score;
    score.state = 2;
    score.count = 3;
    score.armies[0] = {2, 3, 1, 1, 4.5f};
    score.armies[1] = {0, 1, 2, 0, 1.25f};
    score.armies[2] = {1, 1, 2, 0, 0.0f};
    records.push_back(score);
    score.state = 5;
    records.push_back(score);
    return records;
}

// The orders a client sends the host for its own army.
std::vector<NetRecord> ToHost()
{
    return {MoveOrderMessage{{0, 1}, {-10.0f, 0.0f, 10.0f}},
            AttackOrderMessage{{2, 1}, {0.0f, 0.0f, 35.0f}, {2, 0xFF, 2, 0xFF}, 1},
            AttackOrderMessage{{4, 1}, {-30.0f, 0.0f, -20.0f}, {3, 0xFF, 0, 0xFF}, 0}};
}

// A packet as it comes that way: a datagram on channel 1 with its proof.
std::vector<std::uint8_t> PacketFor(const std::vector<NetRecord>& records, std::int32_t sender, std::uint32_t channel)
{
    return channel == kChannelUdp ? ProvedPacketOf(records, sender, kRawJoinWord) : PacketOf(records, sender, channel);
}

void Write(const std::filesystem::path& file, std::uint8_t mode, std::uint8_t screen,
           const std::vector<std::uint8_t>& packet)
{
    std::vector<std::uint8_t> input = {mode, screen, 3};
    input.insert(input.end(), packet.begin(), packet.end());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_net_seeds <directory>\n");
        return 1;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    int written = 0;
    for (const NetRecord& record : SampleRecords()) {
        for (std::uint8_t mode = 0; mode < 6; ++mode) {
            const bool host = (mode & 1) != 0;
            const std::uint32_t channel = (mode >> 1) == 0 ? kChannelUdp : kChannelTcp;
            const std::vector<std::uint8_t> packet = PacketFor({record, LeaveMessage{}}, host ? 1 : 0, channel);
            Write(directory / ("seed" + std::to_string(written++)), mode, host ? 2 : 4, packet);
        }
    }
    // The battle's: as a datagram and as a stream, to a client and to the host.
    for (const std::uint8_t way : {0, 4}) {
        const std::uint32_t channel = way == 0 ? kChannelUdp : kChannelTcp;
        Write(directory / ("battle" + std::to_string(written++)), way, 2, PacketFor(ToClient(), 0, channel));
        Write(directory / ("battle" + std::to_string(written++)), static_cast<std::uint8_t>(way | 1), 2,
              PacketFor(ToHost(), 1, channel));
    }
    // The two packets of channel 0: an announcement by datagram to a client
    // on the connection screen (screen byte 1), a welcome on its stream.
    Write(directory / ("alone" + std::to_string(written++)), 0, 1,
          PacketOf({HostAnnounceMessage{"Hal"}, UnitStateMessage{}}, 0, kChannelDirect));
    Write(directory / ("alone" + std::to_string(written++)), 2, 1, PacketOf({WelcomeMessage{2}}, 0, kChannelDirect));
    return 0;
}
