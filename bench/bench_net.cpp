// bench_net: a host and one client in this process on loopback (the
// loopback guard on, ports from a block leased for this process as the net
// tests lease theirs, announcements to 127.255.255.255). Prints the
// unit-state sync's bytes per second to each client with eight armies of
// forty (20 ticks of 40 units a second, headers and proofs included), and the
// time from a client queuing a move order for its own army to the host's
// handler applying it: median and 99th percentile in microseconds over many
// orders. Then the network part of the host's frame (its flush and its
// handling of what came) at thirty frames a second while one connection from
// 127.0.0.2 streams records at it as fast as it takes them, before its join
// and joined (chat lines and attack orders): median and 99th percentile in
// milliseconds. Every wait on the network has a limit; one that passes it ends the bench
// with the reason on stderr.
#include "../tests/net/FloodPeers.h"
#include "../tests/net/NetFakes.h"
#include "../tests/support/NetPortLease.h"
#include "BenchRun.h"
#include "net/NetSenders.h"
#include "net/NetworkManager.h"
#include "platform/NetAddress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr int kTicksPerSecond = 20;
// On loopback anything sent arrives within milliseconds: a wait this long
// means it never will.
constexpr double kWaitSeconds = 10.0;
// The host's slots name the armies in slot order: the host's army 0, the
// client's (the only other ready slot) army 1.
constexpr std::uint8_t kClientArmy = 1;

struct Lengths {
    int syncSeconds = 10;
    int orders = 2000;
    int floodedFrames = 300;
};

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

NetConfig BenchConfig(std::uint16_t base)
{
    NetConfig config;
    config.udpBasePort = base;
    config.udpLastPort = static_cast<std::uint16_t>(base + 19);
    config.announceFirstPort = base;
    config.announceLastPort = static_cast<std::uint16_t>(base + 19);
    config.announceAddress = "127.255.255.255";
    config.tcpPort = static_cast<std::uint16_t>(base + 50);
    return config;
}

// Frames of both managers until done holds; false when kWaitSeconds pass first.
bool Pump(Peer& host, Peer& client, const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kWaitSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
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

// The client in the host's lobby, then both on unit selection and the host
// starting the match, whose slots give the client its army.
bool StartMatch(Peer& host, Peer& client)
{
    host.ui.screen = kScreenLobby;
    if (!client.net.OpenDiscovery() || !host.net.OpenDiscovery() || !host.net.Host("Bench")) {
        std::fprintf(stderr, "bench_net: could not open the loopback ports\n");
        return false;
    }
    if (!Pump(host, client, [&] { return !client.net.Hosts().empty(); })) {
        std::fprintf(stderr, "bench_net: the client never heard the host\n");
        return false;
    }
    if (!client.net.Connect(0, "Client") || !Pump(host, client, [&] { return client.net.GetOwnId() > 0; })) {
        std::fprintf(stderr, "bench_net: the client did not join\n");
        return false;
    }
    host.ui.screen = kScreenUnitSelection;
    client.ui.screen = kScreenUnitSelection;
    PlayerSlotsMessage slots;
    slots.slots[0].ready = 1;
    slots.slots[static_cast<std::size_t>(client.net.GetOwnId())].ready = 1;
    SendLobbySlotsAsHost(host.net, slots);
    if (!Pump(host, client, [&] { return client.ui.matchesStarted == 1; })) {
        std::fprintf(stderr, "bench_net: the client never received the host's start\n");
        return false;
    }
    return true;
}

bool MeasureSync(Peer& host, Peer& client, int seconds)
{
    std::size_t bytes = 0;
    const std::size_t appliedBefore = client.world.applied.size();
    const int ticks = seconds * kTicksPerSecond;
    for (int tick = 0; tick < ticks; ++tick) {
        host.net.GetUnitStateSync().Tick(host.world, host.net.UdpPair());
        for (PacketBuffer* buffer : {&host.net.UdpPair().First(), &host.net.UdpPair().Overflow()}) {
            bytes += buffer->HasRecords() ? buffer->Packet().size() : 0;
        }
        // Each tick is taken in before the next, as 50 ms apart in a game;
        // at full speed the bench would only measure the socket's buffer.
        const std::size_t expected = appliedBefore + static_cast<std::size_t>(40 * (tick + 1));
        if (!Pump(host, client, [&] { return client.world.applied.size() >= expected; })) {
            std::fprintf(stderr, "bench_net: tick %d of the unit-state sync never reached the client whole\n", tick);
            return false;
        }
    }
    std::printf("unit-state sync, 320 units: %zu bytes/s per client (%d ticks)\n",
                bytes / static_cast<std::size_t>(seconds), ticks);
    return true;
}

bool MeasureOrderLatency(Peer& host, Peer& client, int orders)
{
    std::vector<double> micros;
    for (int i = 0; i < orders; ++i) {
        const std::size_t before = host.world.moves.size();
        const auto start = std::chrono::steady_clock::now();
        const auto deadline = start + std::chrono::duration<double>(kWaitSeconds);
        SendMoveOrder(client.net, {static_cast<std::uint8_t>(i % 40), kClientArmy}, {1.0f, 0.0f, 2.0f});
        client.net.FlushOutgoing();
        while (host.world.moves.size() == before) {
            if (std::chrono::steady_clock::now() >= deadline) {
                std::fprintf(stderr, "bench_net: the host never applied move order %d for the client's army %d\n", i,
                             kClientArmy);
                return false;
            }
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
                micros[micros.size() / 2], micros[micros.size() * 99 / 100], orders);
    return true;
}

double Percentile(std::vector<double> values, std::size_t percent)
{
    std::sort(values.begin(), values.end());
    return values[values.size() * percent / 100];
}

// One frame of the host, its network part timed, and half a frame later one
// of the client (machines keep no step), at thirty frames a second.
void FloodedFrame(Peer& host, Peer& client, std::vector<double>& hostMs)
{
    constexpr std::chrono::milliseconds kHalfFrame(16);
    const auto start = std::chrono::steady_clock::now();
    host.net.FlushOutgoing();
    host.net.ProcessIncoming();
    hostMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    std::this_thread::sleep_until(start + kHalfFrame);
    client.net.FlushOutgoing();
    client.net.ProcessIncoming();
    std::this_thread::sleep_until(start + 2 * kHalfFrame);
}

bool MeasureFloodedFrames(Peer& host, Peer& client, bool joins, int frames)
{
    host.ui.screen = kScreenLobby; // where a join is taken
    RecordStreamer streamer(host.net.GetTcpPort(), joins);
    std::vector<double> hostMs;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kWaitSeconds);
    while (joins && !streamer.Welcomed()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            std::fprintf(stderr, "bench_net: the streaming connection was never welcomed\n");
            return false;
        }
        FloodedFrame(host, client, hostMs);
    }
    hostMs.clear();
    for (int i = 0; i < frames; ++i) {
        FloodedFrame(host, client, hostMs);
    }
    std::printf("host network frame part, one connection streaming records %s: median %.3f ms, 99th percentile "
                "%.3f ms (%d frames, %.0f kB streamed)\n",
                joins ? "joined" : "before its join", Percentile(hostMs, 50), Percentile(hostMs, 99), frames,
                static_cast<double>(streamer.BytesSent()) / 1000.0);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const bool shortForm = bench::ShortForm(argc, argv);
    bench::RunLimit limit("bench_net", bench::RunSeconds(shortForm));
    const Lengths lengths = shortForm ? Lengths{1, 50, 15} : Lengths{};
    platform::SetLoopbackGuard(true);
    const std::uint16_t base = testing::LeaseNetPortBase();
    if (base == 0) {
        std::fprintf(stderr, "bench_net: no block of loopback ports is free\n");
        return 1;
    }
    Peer host(BenchConfig(base));
    Peer client(BenchConfig(base));
    limit.Stage("starting the match");
    bool measured = StartMatch(host, client);
    limit.Stage("measuring the unit-state sync");
    measured = measured && MeasureSync(host, client, lengths.syncSeconds);
    limit.Stage("measuring the order latency");
    measured = measured && MeasureOrderLatency(host, client, lengths.orders);
    limit.Stage("measuring the host's frame under a stream of records before a join");
    measured = measured && MeasureFloodedFrames(host, client, false, lengths.floodedFrames);
    limit.Stage("measuring the host's frame under a stream of records from a joined player");
    measured = measured && MeasureFloodedFrames(host, client, true, lengths.floodedFrames);
    limit.Stage("closing the connections");
    client.net.Reset();
    host.net.Reset();
    return measured ? 0 : 1;
}
