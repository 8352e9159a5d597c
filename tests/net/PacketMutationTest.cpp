// Seeded mutations of valid packets of every record type, fed to a host and
// to a joined client through each way bytes come in (whole packets, a
// stream's framer, datagrams), with the handlers running after each: no
// crash, no sanitizer report, and the world and screens see only records
// that passed their checks.
#include "NetFakes.h"
#include "NetSamples.h"
#include "net/NetworkManager.h"
#include "net/RecordChecks.h"
#include "platform/Random.h"

#include <doctest/doctest.h>

#include <cmath>

namespace {

constexpr int kPackets = 20000;
constexpr std::uint32_t kInterestingWords[] = {0,          1,          7,          8,          15,         16,
                                               18,         4015,       4016,       30001,      0x7FC00000, 0x7F800000,
                                               0xFF800000, 0x7149F2CA, 0x00000001, 0x80000000, 0xFFFFFFFF};

std::size_t Pick(std::size_t count)
{
    return static_cast<std::size_t>(platform::Rand()) % count;
}

std::vector<std::uint8_t> SeedPacket(const std::vector<NetRecord>& samples)
{
    std::vector<NetRecord> records;
    const std::size_t count = 1 + Pick(4);
    for (std::size_t i = 0; i < count; ++i) {
        records.push_back(samples[Pick(samples.size())]);
    }
    const std::int32_t sender = static_cast<std::int32_t>(Pick(3)); // 0 host, 1 and 2 clients
    return PacketOf(records, sender, static_cast<std::uint32_t>(Pick(3)), static_cast<std::uint32_t>(Pick(5)));
}

void Mutate(std::vector<std::uint8_t>& packet)
{
    const int edits = 1 + static_cast<int>(Pick(4));
    for (int e = 0; e < edits && !packet.empty(); ++e) {
        const std::size_t at = Pick(packet.size());
        switch (Pick(5)) {
        case 0:
            packet[at] ^= static_cast<std::uint8_t>(1u << Pick(8));
            break;
        case 1:
            packet[at] = static_cast<std::uint8_t>(platform::Rand());
            break;
        case 2: {
            const std::uint32_t word = kInterestingWords[Pick(std::size(kInterestingWords))];
            for (std::size_t b = 0; b < 4 && at + b < packet.size(); ++b) {
                packet[at + b] = static_cast<std::uint8_t>(word >> (8 * b));
            }
            break;
        }
        case 3:
            packet.resize(at);
            break;
        default:
            packet.insert(packet.begin() + static_cast<std::ptrdiff_t>(at), Pick(40), 0xFF);
            break;
        }
    }
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
        if (host) {
            net.SetAuthority(true);
        }
        Renew();
    }

    // A fresh peer: on the host a joined client with id 1, on a client its host.
    void Renew()
    {
        peer = std::make_shared<Connection>();
        peer->address = {platform::kLoopbackIp, 3339};
        if (net.IsHosting()) {
            peer->id = 1;
            peer->joined = true;
            return;
        }
        net.AttachHost(peer, "me");
        net.AcceptWelcome(2);
    }

    void Feed(const std::vector<std::uint8_t>& packet)
    {
        ui.screen = 2 + static_cast<int>(Pick(4));
        world.state = Pick(4) == 0 ? 1 : kNetStateMatch;
        switch (Pick(3)) {
        case 0:
            net.ReceivePacket(packet, peer->address, peer, Pick(2) == 0);
            break;
        case 1:
            net.ReceiveDatagram(packet, peer->address);
            break;
        default: {
            const std::size_t split = packet.empty() ? 0 : Pick(packet.size());
            const std::span<const std::uint8_t> bytes(packet);
            net.ReceiveStreamBytes(peer, bytes.first(split)) && net.ReceiveStreamBytes(peer, bytes.subspan(split));
            break;
        }
        }
        net.ProcessIncoming();
        if (peer->lossReported || (!net.IsHosting() && !net.IsConnecting())) {
            Renew();
        }
    }

    void CheckSeenOnlyValid() const
    {
        for (const MoveOrderMessage& move : world.moves) {
            CHECK(IsFinite(move.point));
        }
        for (const AttackOrderMessage& attack : world.attacks) {
            CHECK(IsFinite(attack.point));
        }
        for (const UnitStateMessage& state : world.applied) {
            CHECK(IsValidUnitState(state));
        }
        for (const ExplosionMessage& explosion : world.explosions) {
            CHECK(IsValidExplosion(explosion));
        }
        if (ui.optionsReceived > 0) {
            CHECK(AreValidSettings(ui.options));
        }
        for (const auto& [id, slot] : ui.slots) {
            CHECK(id >= 1);
            CHECK(id <= 7);
            for (const std::int32_t count : slot.counts) {
                CHECK(count >= 0);
                CHECK(count <= 120);
            }
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
    for (int i = 0; i < kPackets; ++i) {
        std::vector<std::uint8_t> packet = SeedPacket(samples);
        if (Pick(8) != 0) {
            Mutate(packet);
        }
        Target& target = Pick(2) == 0 ? host : client;
        target.Feed(packet);
    }
    host.CheckSeenOnlyValid();
    client.CheckSeenOnlyValid();
    // The unmutated share kept the handlers busy, so the checks above saw records.
    CHECK(host.world.moves.size() > 20);
    CHECK(client.world.applied.size() > 20);
    CHECK(client.ui.optionsReceived > 10);
}
