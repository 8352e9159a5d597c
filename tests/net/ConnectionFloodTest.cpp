// Floods at the host's door, with the host running its frames at about
// thirty a second, the pace at which a join read by the server thread waits
// for the frame that handles it:
//  - connections opened by the thousand a second, from one address or spread
//    over 127.0.0.2-127.0.0.200, silent or slow (a part of a join sent a byte
//    at a time, the connection kept): ten joins from 127.0.0.1 all get in;
//  - one connection streaming records as fast as it can, before its join or
//    joined (chat and orders): ten joins all get in, every player who leaves
//    or just closes its socket leaves the host's list and no socket of the
//    host's waits half-closed; the host's network part of the frame (its
//    flush and its handling of what came) is reported;
//  - a frame stalled for five seconds under a flood of joins: the host holds
//    few descriptors and can still open a file.
//
// The floods and the frames run on the steady clock: their pace is what is
// under test, so they sleep to it; nothing asserts on a time.
#include "FloodPeers.h"
#include "LoopbackSession.h"
#include "NetSamples.h"
#include "platform/TcpStream.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kFloodAddresses = 199; // to 127.0.0.200

enum class FloodKind {
    kSilent, // says nothing
    kSlow,   // sent a part of a join a byte at a time, never the whole
    kJoin,   // sends a whole join at once
};

struct FloodPlan {
    int perSecond = 1000;
    // Source addresses from 127.0.0.2 on, taken in turn.
    std::uint32_t addresses = 1;
    FloodKind kind = FloodKind::kSilent;
};

// Opens connections at the plan's rate, holding the latest kHeld (the host
// closes most of them long before), on a thread of this process or in a
// child of its own. The loop makes only system calls on memory set up
// before it starts, so a child forked from this process (whose other
// threads the child does not have) may run it.
class ConnectionFlood {
public:
    static constexpr std::size_t kHeld = 200;
    // Slow connections trickled a byte each round, in turn.
    static constexpr std::size_t kTrickledPerRound = 4;

    ConnectionFlood(std::uint16_t port, const FloodPlan& plan) : port_(port), plan_(plan)
    {
        const std::vector<std::uint8_t> join =
            PacketOf({JoinRequestMessage{"flood", 3000, kRawJoinWord}}, -1, kChannelTcp);
        std::copy(join.begin(), join.end(), join_.begin());
    }
    ~ConnectionFlood() { Stop(); }
    ConnectionFlood(const ConnectionFlood&) = delete;
    ConnectionFlood& operator=(const ConnectionFlood&) = delete;

    // On a thread of this process until Stop.
    void Start()
    {
        thread_ = std::thread([this] { Run(); });
    }
    // In a child process for this long; false when none could be made.
    bool StartChild(std::chrono::milliseconds length)
    {
        deadline_ = Clock::now() + length;
        child_ = ::fork();
        if (child_ == 0) {
            (void)::prctl(PR_SET_PDEATHSIG, SIGKILL);
            Run();
            ::_exit(0);
        }
        return child_ > 0;
    }
    void Stop()
    {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        if (child_ > 0) {
            ::kill(child_, SIGKILL);
            ::waitpid(child_, nullptr, 0);
            child_ = -1;
        }
    }

    // Connections opened by the thread (a child's are its own).
    int Opened() const { return opened_; }

private:
    void Run()
    {
        std::array<int, kHeld> held{};
        held.fill(-1);
        std::array<std::size_t, kHeld> sent{};
        std::size_t oldest = 0;
        std::size_t trickled = 0;
        std::uint32_t address = 0;
        const auto period = std::chrono::nanoseconds(1'000'000'000 / plan_.perSecond);
        Clock::time_point due = Clock::now();
        while (!stop_ && Clock::now() < deadline_) {
            if (held[oldest] >= 0) {
                ::close(held[oldest]);
            }
            held[oldest] = ConnectFrom(kFloodIp + address, port_);
            sent[oldest] = 0;
            address = (address + 1) % plan_.addresses;
            if (held[oldest] >= 0) {
                ++opened_;
                if (plan_.kind == FloodKind::kJoin && WaitFor(held[oldest], POLLOUT, 10)) {
                    (void)::send(held[oldest], join_.data(), join_.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                }
            }
            oldest = (oldest + 1) % kHeld;
            if (plan_.kind == FloodKind::kSlow) {
                for (std::size_t i = 0; i < kTrickledPerRound; ++i, trickled = (trickled + 1) % kHeld) {
                    if (held[trickled] >= 0 && sent[trickled] + 1 < join_.size() &&
                        ::send(held[trickled], join_.data() + sent[trickled], 1, MSG_NOSIGNAL | MSG_DONTWAIT) == 1) {
                        ++sent[trickled];
                    }
                }
            }
            due += period;
            std::this_thread::sleep_until(due);
        }
        for (const int fd : held) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }

    const std::uint16_t port_;
    const FloodPlan plan_;
    std::array<std::uint8_t, kHeaderSize + 64> join_{};
    Clock::time_point deadline_ = Clock::time_point::max();
    std::atomic<bool> stop_{false};
    std::atomic<int> opened_{0};
    std::thread thread_;
    pid_t child_ = -1;
};

// The host's frame's network part (its flush and its handling of what came),
// timed.
void HostFrame(NetworkManager& host, std::vector<double>& hostMs)
{
    const Clock::time_point start = Clock::now();
    host.FlushOutgoing();
    host.ProcessIncoming();
    hostMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
}

// The session's frames at about thirty a second until done holds; false
// when the time runs out first (that only ends a failing test). The clients'
// frames fall half-way between the host's, as machines keep no step.
bool RunFrames(LoopbackSession& session, std::vector<double>& hostMs, const std::function<bool()>& done)
{
    constexpr std::chrono::milliseconds kHalfFrame(16);
    const Clock::time_point end = Clock::now() + std::chrono::seconds(10);
    Clock::time_point next = Clock::now();
    while (Clock::now() < end) {
        HostFrame(*session.Host().net, hostMs);
        next += kHalfFrame;
        std::this_thread::sleep_until(next);
        for (int i = 0; i < session.ClientCount(); ++i) {
            session.Client(i).net->FlushOutgoing();
            session.Client(i).net->ProcessIncoming();
        }
        if (done()) {
            return true;
        }
        next += kHalfFrame;
        std::this_thread::sleep_until(next);
    }
    return false;
}

// The host's sockets on its game port that a player on 127.0.0.1 closed and
// the host has not: half-closed, waiting on the host. Looked for among this
// process's descriptors, where the host's are.
int HalfClosedByPlayers(std::uint16_t port)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename().string());
        tcp_info info{};
        socklen_t infoLength = sizeof info;
        sockaddr_in local{};
        sockaddr_in peer{};
        socklen_t localLength = sizeof local;
        socklen_t peerLength = sizeof peer;
        if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &infoLength) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) != 0 ||
            ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0) {
            continue; // not a connected stream (or closed meanwhile)
        }
        const bool player = ntohs(local.sin_port) == port && ntohl(peer.sin_addr.s_addr) == platform::kLoopbackIp;
        count += player && info.tcpi_state == TCP_CLOSE_WAIT ? 1 : 0;
    }
    return count;
}

double Percentile(std::vector<double> values, std::size_t percent)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() * percent / 100];
}

// Every client hears the host (again).
bool HearHost(LoopbackSession& session)
{
    return session.Pump([&] {
        for (int i = 0; i < session.ClientCount(); ++i) {
            if (session.Client(i).net->Hosts().empty()) {
                return false;
            }
        }
        return true;
    });
}

std::size_t PlayersNamedPlayer(NetworkManager& host)
{
    const std::vector<NetPeerEntry> players = host.Players();
    return static_cast<std::size_t>(std::count_if(players.begin(), players.end(),
                                                  [](const NetPeerEntry& p) { return p.name.starts_with("Player"); }));
}

// Rounds of the session's clients joining from 127.0.0.1 while something
// floods the host: every client connects, the frames run until every
// attempt has ended (welcomed, or refused and back to no connection), and
// the welcomed leave again (the last of them just closing its socket) until
// the host lists none of them and holds none of their sockets half-closed.
// The joins that got in.
int JoinRounds(LoopbackSession& session, int rounds, std::vector<double>& hostMs)
{
    NetPeer& host = session.Host();
    const int clients = session.ClientCount();
    const auto everyClient = [&](const std::function<bool(NetPeer&)>& holds) {
        for (int i = 0; i < clients; ++i) {
            if (!holds(session.Client(i))) {
                return false;
            }
        }
        return true;
    };
    int joined = 0;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < clients; ++i) {
            REQUIRE(session.Client(i).net->Connect(0, "Player" + std::to_string(round * clients + i)));
        }
        REQUIRE(RunFrames(session, hostMs, [&] {
            return everyClient([](NetPeer& c) { return c.net->GetOwnId() > 0 || !c.net->IsConnecting(); });
        }));
        std::size_t welcomed = 0;
        for (int i = 0; i < clients; ++i) {
            welcomed += session.Client(i).net->GetOwnId() > 0 ? 1 : 0;
        }
        CHECK(PlayersNamedPlayer(*host.net) == welcomed);
        joined += static_cast<int>(welcomed);

        for (int i = 0; i < clients; ++i) {
            NetPeer& client = session.Client(i);
            if (i + 1 < clients) {
                client.net->Leave();
            } else {
                client.net->Reset(); // no leave: its socket just closes
            }
            client.ui.screen = kScreenConnection; // as its screen goes back
        }
        const bool gone = RunFrames(session, hostMs, [&] {
            return PlayersNamedPlayer(*host.net) == 0 && HalfClosedByPlayers(session.TcpPort()) == 0;
        });
        CHECK(PlayersNamedPlayer(*host.net) == 0);
        CHECK(HalfClosedByPlayers(session.TcpPort()) == 0);
        REQUIRE(gone);
        REQUIRE(everyClient([](NetPeer& c) { return c.net->OpenDiscovery(); }));
        host.net->AnnounceHost();
        REQUIRE(HearHost(session));
    }
    return joined;
}

// What this process holds; all it may when it cannot even look.
std::size_t OpenDescriptors()
{
    std::error_code error;
    std::filesystem::directory_iterator entries("/proc/self/fd", error);
    if (error) {
        rlimit limit{};
        ::getrlimit(RLIMIT_NOFILE, &limit);
        return limit.rlim_cur;
    }
    return static_cast<std::size_t>(std::distance(entries, std::filesystem::directory_iterator()));
}

// The process held to a number of descriptors, as most systems hold a game,
// for the scope; a lower limit already set is kept.
class DescriptorLimit {
public:
    explicit DescriptorLimit(rlim_t most)
    {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit held = saved_;
        held.rlim_cur = std::min(saved_.rlim_cur, most);
        ::setrlimit(RLIMIT_NOFILE, &held);
    }
    ~DescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
    DescriptorLimit(const DescriptorLimit&) = delete;
    DescriptorLimit& operator=(const DescriptorLimit&) = delete;

private:
    rlimit saved_{};
};

} // namespace

TEST_CASE("a flood of silent connections from one address keeps no player of another out")
{
    constexpr int kClients = 5;
    constexpr int kRounds = 2;
    LoopbackSession session(kClients);
    REQUIRE(session.StartHosting());
    REQUIRE(HearHost(session));

    ConnectionFlood flood(session.TcpPort(), FloodPlan{});
    flood.Start();
    REQUIRE(session.Pump([&] { return flood.Opened() > 50; })); // the flood is under way
    std::vector<double> hostMs;
    CHECK(JoinRounds(session, kRounds, hostMs) == kRounds * kClients);
    // What stays of the flood is held to its address's cap.
    CHECK(session.Host().net->ConnectionCount() <= NetworkManager::kMaxWaitingPerAddress);
    MESSAGE("connections opened by the flood: " << flood.Opened());
}

TEST_CASE("a flood of connections spread over many addresses keeps no player out")
{
    constexpr int kClients = 5;
    constexpr int kRounds = 2;
    FloodPlan plan{1000, kFloodAddresses, FloodKind::kSilent};
    SUBCASE("a thousand silent connections a second") {}
    SUBCASE("two thousand silent connections a second")
    {
        plan.perSecond = 2000;
    }
    SUBCASE("slow connections, each sent a part of a join a byte at a time")
    {
        plan.kind = FloodKind::kSlow;
    }
    LoopbackSession session(kClients);
    REQUIRE(session.StartHosting());
    REQUIRE(HearHost(session));

    ConnectionFlood flood(session.TcpPort(), plan);
    flood.Start();
    REQUIRE(session.Pump([&] { return flood.Opened() > 100; })); // the flood is under way
    std::vector<double> hostMs;
    CHECK(JoinRounds(session, kRounds, hostMs) == kRounds * kClients);
    CHECK(session.Host().net->ConnectionCount() <= NetworkManager::kMaxWaitingConnections);
    MESSAGE("connections opened by the flood: " << flood.Opened());
}

TEST_CASE("one connection streaming records as fast as it can keeps no player out and no player in")
{
    constexpr int kClients = 5;
    constexpr int kRounds = 2;
    bool joins = false;
    SUBCASE("before its join") {}
    SUBCASE("joined, with chat lines and orders")
    {
        joins = true;
    }
    LoopbackSession session(kClients);
    REQUIRE(session.StartHosting());
    REQUIRE(HearHost(session));
    NetPeer& host = session.Host();

    std::vector<double> hostMs;
    RecordStreamer streamer(session.TcpPort(), joins);
    // A second and a half of it before the players come, so the host's
    // backlog of it is as full as it gets.
    const Clock::time_point settled = Clock::now() + std::chrono::milliseconds(1500);
    REQUIRE(RunFrames(session, hostMs, [&] { return (!joins || streamer.Welcomed()) && Clock::now() > settled; }));
    CHECK(JoinRounds(session, kRounds, hostMs) == kRounds * kClients);
    if (!joins) {
        // Its records were no join: every connection it made was closed, at once.
        CHECK(streamer.Closed() > 0);
        CHECK(host.net->Players().empty());
    } else {
        // Its stream, read no faster than the host handles it, still has its
        // end seen, and it leaves.
        CHECK(host.net->Players().size() == 1);
        // What it had relayed to the players came a share a frame: as many
        // chat lines as fill the host's take of it, at most.
        const std::size_t linesPerFrame = NetworkManager::kClientBytesPerFrame / RecordSize(kMsgChat) + 1;
        for (int i = 0; i < kClients; ++i) {
            CHECK(session.Client(i).ui.lobbyChat.size() <= hostMs.size() * linesPerFrame);
        }
        streamer.Drop();
        CHECK(RunFrames(session, hostMs, [&] { return host.net->Players().empty(); }));
    }
    MESSAGE("host network frame part over " << hostMs.size() << " frames: median " << Percentile(hostMs, 50)
                                            << " ms, 99th percentile " << Percentile(hostMs, 99) << " ms; streamed "
                                            << streamer.BytesSent() / 1000 << " kB");
}

TEST_CASE("a join read by the server thread waits for its frame, whatever arrives or expires meanwhile")
{
    testing::ManualClockScope clock; // the join's wait
    LoopbackSession session(0);
    REQUIRE(session.StartHosting());
    NetPeer& host = session.Host();
    const platform::NetAddress game{platform::kLoopbackIp, session.TcpPort()};
    std::unique_ptr<platform::TcpStream> player = platform::TcpStream::Connect(game, 2000, 1);
    REQUIRE(player);
    REQUIRE(session.Pump([&] { return host.net->ConnectionCount() == 1; })); // seen, and its wait begun

    // Its join read, but no frame yet: its wait runs out, and more connections
    // from its own address arrive than that address may hold waiting.
    clock.Advance(NetConfig().joinWaitSeconds + 1.0);
    player->Send(PacketOf({JoinRequestMessage{"Late", 3000, kRawJoinWord}}, -1, kChannelTcp));
    REQUIRE(host.net->GetQueue().WaitForAny(std::chrono::milliseconds(5000)));
    std::vector<std::unique_ptr<platform::TcpStream>> silent;
    for (std::size_t i = 0; i < NetworkManager::kMaxWaitingPerAddress + 3; ++i) {
        silent.push_back(platform::TcpStream::Connect(game, 2000, 1));
        REQUIRE(silent.back());
    }
    // The accepts are the server thread's: looked for until they are all in,
    // without a frame (the bound only ends a failing test).
    const std::size_t held = 1 + NetworkManager::kMaxWaitingPerAddress;
    for (int i = 0; i < 5000 && host.net->ConnectionCount() < held; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    CHECK(host.net->ConnectionCount() == held);

    session.Frame();
    REQUIRE(host.net->Players().size() == 1);
    CHECK(host.net->Players()[0].name == "Late");
}

TEST_CASE("a frame stalled for five seconds under a flood of joins leaves the host few descriptors")
{
    LoopbackSession session(0);
    REQUIRE(session.StartHosting());
    NetPeer& host = session.Host();
    const DescriptorLimit limit(1024);
    const std::size_t before = OpenDescriptors();

    // The flood runs in a child, so the descriptors counted here are the host's.
    ConnectionFlood flood(session.TcpPort(), FloodPlan{1000, kFloodAddresses, FloodKind::kJoin});
    REQUIRE(flood.StartChild(std::chrono::milliseconds(5000)));
    std::size_t most = 0;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(5000);
    while (Clock::now() < end) { // no frame of the host meanwhile
        most = std::max(most, OpenDescriptors());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    CHECK(most < 100);
    const int file = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    CHECK(file >= 0);
    if (file >= 0) {
        ::close(file);
    }
    flood.Stop();

    // The frame at last: of the joins read meanwhile, no more than the places.
    host.net->ProcessIncoming();
    CHECK(host.net->Players().size() <= NetworkManager::kMaxClients);
    MESSAGE("descriptors: " << before << " before the flood, at most " << most << " during it");
}
