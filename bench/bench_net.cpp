// bench_net: a host and one client in this process on loopback (the
// loopback guard on, ports 23000 up, announcements to 127.255.255.255).
// Prints the unit-state sync's bytes per second to each client with eight
// armies of forty (20 ticks of 40 units a second, headers included), and
// the time from a client queuing a move order to the host's handler applying
// it: median and 99th percentile in microseconds over many orders.
#include "../tests/net/NetFakes.h"
#include "net/NetSenders.h"
#include "net/NetworkManager.h"
#include "platform/NetAddress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kSyncSeconds = 10;
constexpr int kTicksPerSecond = 20;
constexpr int kOrders = 2000;

struct Peer {
    FakeNetUi ui;
    FakeNetWorld world;
    NetworkManager net;

    explicit Peer(const NetConfig& config) : net(config)
    {
        net.SetUi(&ui);
        net.SetWorld(&world);
        world.Populate(8, 40);
    }
};

NetConfig BenchConfig()
{
    NetConfig config;
    config.udpBasePort = 23000;
    config.udpLastPort = 23019;
    config.announceFirstPort = 23000;
    config.announceLastPort = 23019;
    config.announceAddress = "127.255.255.255";
    config.tcpPort = 23050;
    return config;
}

bool Pump(Peer& host, Peer& client, const std::function<bool()>& done)
{
    for (int round = 0; round < 5000; ++round) {
        host.net.FlushOutgoing();
        client.net.FlushOutgoing();
        host.net.ProcessIncoming();
        client.net.ProcessIncoming();
        if (done()) {
            return true;
        }
        client.net.GetQueue().WaitForAny(std::chrono::milliseconds(1));
    }
    return false;
}

void MeasureSync(Peer& host, Peer& client)
{
    std::size_t bytes = 0;
    const std::size_t appliedBefore = client.world.applied.size();
    int ticks = 0;
    for (; ticks < kSyncSeconds * kTicksPerSecond; ++ticks) {
        host.net.GetUnitStateSync().Tick(host.world, host.net.UdpPair());
        for (PacketBuffer* buffer : {&host.net.UdpPair().First(), &host.net.UdpPair().Overflow()}) {
            bytes += buffer->HasRecords() ? buffer->Packet().size() : 0;
        }
        // Each tick is taken in before the next, as 50 ms apart in a game;
        // at full speed the bench would only measure the socket's buffer.
        const std::size_t expected = appliedBefore + static_cast<std::size_t>(40 * (ticks + 1));
        if (!Pump(host, client, [&] { return client.world.applied.size() >= expected; })) {
            break;
        }
    }
    std::printf("unit-state sync, 320 units: %zu bytes/s per client (%d of %d ticks arrived whole)\n",
                bytes / kSyncSeconds, ticks, kSyncSeconds * kTicksPerSecond);
}

void MeasureOrderLatency(Peer& host, Peer& client)
{
    std::vector<double> micros;
    for (int i = 0; i < kOrders; ++i) {
        const std::size_t before = host.world.moves.size();
        const auto start = std::chrono::steady_clock::now();
        SendMoveOrder(client.net, {static_cast<std::uint8_t>(i % 40), 1}, {1.0f, 0.0f, 2.0f});
        client.net.FlushOutgoing();
        while (host.world.moves.size() == before) {
            host.net.GetQueue().WaitForAny(std::chrono::milliseconds(100));
            host.net.ProcessIncoming();
        }
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        host.net.FlushOutgoing(); // the relay, drained by the client below
        client.net.ProcessIncoming();
    }
    std::sort(micros.begin(), micros.end());
    std::printf("client order to host handler on loopback: median %.1f us, 99th percentile %.1f us (%d orders)\n",
                micros[micros.size() / 2], micros[micros.size() * 99 / 100], kOrders);
}

} // namespace

int main()
{
    platform::SetLoopbackGuard(true);
    Peer host(BenchConfig());
    Peer client(BenchConfig());
    host.ui.screen = kScreenLobby;
    if (!client.net.OpenDiscovery() || !host.net.OpenDiscovery() || !host.net.Host("Bench")) {
        std::fprintf(stderr, "bench_net: could not open the loopback ports\n");
        return 1;
    }
    if (!Pump(host, client, [&] { return !client.net.Hosts().empty(); }) || !client.net.Connect(0, "Client") ||
        !Pump(host, client, [&] { return client.net.GetOwnId() > 0; })) {
        std::fprintf(stderr, "bench_net: the client did not join\n");
        return 1;
    }
    MeasureSync(host, client);
    MeasureOrderLatency(host, client);
    client.net.Reset();
    host.net.Reset();
    return 0;
}
