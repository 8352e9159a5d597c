// Seeded mutations of valid packets of every record type, fed to a host and
// to a joined client through each way bytes come in (whole packets, a
// stream's framer, datagrams), with the handlers running after each: no
// crash, no sanitizer report, and the world and screens see only records
// that passed their checks. Random datagrams at large are the fuzzer's
// (fuzz/fuzz_net_packet); this run keeps to packets near valid ones.
#include "NetFakes.h"
#include "NetSamples.h"
#include "net/NetworkManager.h"
#include "net/RecordChecks.h"
#include "platform/Random.h"

#include <doctest/doctest.h>

#include <algorithm>

namespace {

// Lengths at the framer's bounds, counts past the tables, floats that are not numbers.
constexpr std::uint32_t kInterestingWords[] = {0, 1, 15, 16, 4015, 4016, 30001, 0x7FC00000, 0x7F800000, 0xFFFFFFFF};

std::size_t Pick(std::size_t count)
{
    return static_cast<std::size_t>(platform::Rand()) % count;
}

// The word of the targets' peers, which their datagrams carry as they should.
constexpr std::uint32_t kPeerWord = 0x0DDBA11u;

std::vector<std::uint8_t> MutatedPacket(const std::vector<NetRecord>& samples)
{
    std::vector<NetRecord> records;
    for (std::size_t i = 0, count = 1 + Pick(4); i < count; ++i) {
        records.push_back(samples[Pick(samples.size())]);
    }
    // Sender 0 is the host, 1 and 2 clients. Channel 2 carries most, channel
    // 0 (announcements and welcomes only) least; a packet on channel 1 opens
    // with the peer's proof, which the edits may spoil.
    const auto sender = static_cast<std::int32_t>(Pick(3));
    constexpr std::uint32_t kChannels[] = {kChannelDirect, kChannelUdp, kChannelUdp,
                                           kChannelTcp,    kChannelTcp, kChannelTcp};
    const std::uint32_t channel = kChannels[Pick(std::size(kChannels))];
    std::vector<std::uint8_t> packet =
        channel == kChannelUdp ? ProvedPacketOf(records, sender, kPeerWord) : PacketOf(records, sender, channel);
    // One packet in eight goes whole, so the handlers see records to check.
    for (std::size_t e = 0, edits = Pick(8) == 0 ? 0 : 1 + Pick(3); e < edits && !packet.empty(); ++e) {
        const std::size_t at = Pick(packet.size());
        const std::uint32_t word =
            Pick(2) == 0 ? platform::Rand() : kInterestingWords[Pick(std::size(kInterestingWords))];
        if (Pick(4) == 0) {
            packet.resize(at);
        }
        for (std::size_t b = 0; b < 4 && at + b < packet.size(); ++b) {
            packet[at + b] = static_cast<std::uint8_t>(word >> (8 * b));
        }
    }
    return packet;
}

struct Target {
    FakeNetUi ui;
    FakeNetWorld world;
    NetworkManager net{NetConfig()};
    std::shared_ptr<Connection> peer;

    explicit Target(bool host)
    {
        net.SetUi(&ui);
        net.SetWorld(&world);
        world.Populate(3, 5);
        net.SetAuthority(host);
        Renew();
    }

    // A fresh peer: on the host a joined client with id 1, on a client its host.
    void Renew()
    {
        peer = std::make_shared<Connection>();
        peer->address = {platform::kLoopbackIp, 3339};
        if (net.IsHosting()) {
            peer->word = kPeerWord;
            peer->id = 1;
            peer->joined = true;
            peer->armyId = 1; // the sample move's army
            return;
        }
        net.AttachHost(peer, "me");
        net.AcceptWelcome(2);
        peer->word = kPeerWord; // as if its join had carried it
    }

    void Feed(const std::vector<std::uint8_t>& packet)
    {
        ui.screen = 2 + static_cast<int>(Pick(4));
        world.state = Pick(4) == 0 ? 1 : kNetStateMatch;
        const std::span<const std::uint8_t> bytes(packet);
        const std::size_t split = packet.empty() ? 0 : Pick(packet.size());
        switch (Pick(3)) {
        case 0:
            net.ReceivePacket(packet, peer->address, peer, Pick(2) == 0);
            break;
        case 1:
            net.ReceiveDatagram(packet, peer->address);
            break;
        default:
            net.ReceiveStreamBytes(peer, bytes.first(split)) && net.ReceiveStreamBytes(peer, bytes.subspan(split));
            break;
        }
        net.ProcessIncoming();
        if (peer->lossReported || (!net.IsHosting() && !net.IsConnecting())) {
            Renew();
        }
    }

    void CheckSeenOnlyValid() const
    {
        const MapReach reach = ReachOfMap(world.mapSide);
        const auto onMap = [reach](const Vec3& point) { return IsOnMap(point, reach); };
        CHECK(std::ranges::all_of(world.moves, [&](const MoveOrderMessage& move) { return onMap(move.point); }));
        CHECK(
            std::ranges::all_of(world.attacks, [&](const AttackOrderMessage& attack) { return onMap(attack.point); }));
        CHECK(std::ranges::all_of(world.applied,
                                  [reach](const UnitStateMessage& state) { return IsValidUnitState(state, reach); }));
        CHECK(std::ranges::all_of(world.explosions,
                                  [reach](const ExplosionMessage& blast) { return IsValidExplosion(blast, reach); }));
        // Only a client's own army is ordered on the host.
        CHECK((!net.IsHosting() ||
               std::ranges::all_of(world.moves, [](const MoveOrderMessage& move) { return move.head.army == 1; })));
        CHECK((ui.optionsReceived == 0 || AreValidSettings(ui.options)));
        for (const auto& [id, slot] : ui.slots) {
            const int total = slot.counts[0] + slot.counts[1] + slot.counts[2] + slot.counts[3] + slot.counts[4];
            CHECK((id >= 1 && id <= 7 && *std::min_element(slot.counts.begin(), slot.counts.end()) >= 0 &&
                   total <= static_cast<int>(ui.options.maxUnits)));
        }
    }
};

} // namespace

TEST_CASE("thousands of mutated packets reach host and client handlers only as checked records")
{
    platform::SeedRand(1606);
    const std::vector<NetRecord> samples = SampleRecords();
    Target host(true);
    Target client(false);
    for (int i = 0; i < 12000; ++i) {
        (Pick(2) == 0 ? host : client).Feed(MutatedPacket(samples));
    }
    host.CheckSeenOnlyValid();
    client.CheckSeenOnlyValid();
    // The whole share kept the handlers busy, so the checks above saw records.
    CHECK(host.world.moves.size() > 10);
    CHECK(client.world.applied.size() > 10);
    CHECK(client.ui.optionsReceived > 5);
}
