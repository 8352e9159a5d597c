// A flood of silent connections from one address (127.0.0.2, about a
// thousand a second) keeps no player of another address out: ten joins from
// 127.0.0.1 all get in while the host runs its frames at about thirty a
// second, the pace at which a join read by the server thread waits for the
// frame that handles it.
//
// The flood and the frames run on the steady clock: their pace is what is
// under test, so they sleep to it; nothing asserts on a time.
#include "LoopbackSession.h"
#include "NetSamples.h"
#include "platform/TcpStream.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kFloodIp = 0x7F000002u; // 127.0.0.2

// Opens a connection from 127.0.0.2 to the port and leaves it silent; the
// handshake completes in the kernel. -1 when the socket cannot be made.
int ConnectFrom(std::uint32_t fromIp, std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    // The port is picked at connect, so the flood does not run short of
    // ports bound but not yet connected.
    const int on = 1;
    (void)::setsockopt(fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &on, sizeof(on));
    sockaddr_in from{};
    from.sin_family = AF_INET;
    from.sin_addr.s_addr = htonl(fromIp);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(platform::kLoopbackIp);
    to.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&from), sizeof(from)) != 0 ||
        (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof(to)) != 0 && errno != EINPROGRESS)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A thread opening a connection every millisecond, holding the latest few
// hundred (the host closes most of them long before).
class ConnectionFlood {
public:
    static constexpr std::size_t kHeld = 200;

    explicit ConnectionFlood(std::uint16_t port) : thread_([this, port] { Run(port); }) {}
    ~ConnectionFlood()
    {
        stop_ = true;
        thread_.join();
    }
    ConnectionFlood(const ConnectionFlood&) = delete;
    ConnectionFlood& operator=(const ConnectionFlood&) = delete;

    int Opened() const { return opened_; }

private:
    void Run(std::uint16_t port)
    {
        std::deque<int> held;
        Clock::time_point next = Clock::now();
        while (!stop_) {
            const int fd = ConnectFrom(kFloodIp, port);
            if (fd >= 0) {
                held.push_back(fd);
                ++opened_;
            }
            if (held.size() > kHeld) {
                ::close(held.front());
                held.pop_front();
            }
            next += std::chrono::milliseconds(1);
            std::this_thread::sleep_until(next);
        }
        for (const int fd : held) {
            ::close(fd);
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<int> opened_{0};
    std::thread thread_;
};

// The session's frames at about thirty a second until done holds; false
// when the time runs out first (that only ends a failing test).
bool RunFrames(LoopbackSession& session, const std::function<bool()>& done)
{
    const Clock::time_point end = Clock::now() + std::chrono::seconds(10);
    Clock::time_point next = Clock::now();
    while (Clock::now() < end) {
        session.Frame();
        if (done()) {
            return true;
        }
        next += std::chrono::milliseconds(33);
        std::this_thread::sleep_until(next);
    }
    return false;
}

} // namespace

TEST_CASE("a flood of silent connections from one address keeps no player of another out")
{
    constexpr int kClients = 5;
    constexpr int kRounds = 2;
    LoopbackSession session(kClients);
    REQUIRE(session.StartHosting());
    NetPeer& host = session.Host();
    const auto everyClient = [&](const std::function<bool(NetPeer&)>& holds) {
        for (int i = 0; i < kClients; ++i) {
            if (!holds(session.Client(i))) {
                return false;
            }
        }
        return true;
    };
    REQUIRE(session.Pump([&] { return everyClient([](NetPeer& c) { return !c.net->Hosts().empty(); }); }));

    const ConnectionFlood flood(session.TcpPort());
    REQUIRE(session.Pump([&] { return flood.Opened() > 50; })); // the flood is under way
    int joined = 0;
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < kClients; ++i) {
            REQUIRE(session.Client(i).net->Connect(0, "Player" + std::to_string(round * kClients + i)));
        }
        // Every attempt ends: welcomed, or refused and back to no connection.
        REQUIRE(RunFrames(session, [&] {
            return everyClient([](NetPeer& c) { return c.net->GetOwnId() > 0 || !c.net->IsConnecting(); });
        }));
        std::size_t welcomed = 0;
        for (int i = 0; i < kClients; ++i) {
            welcomed += session.Client(i).net->GetOwnId() > 0 ? 1 : 0;
        }
        CHECK(host.net->Players().size() == welcomed);
        joined += static_cast<int>(welcomed);

        // They leave to make room for the next round, which hears the host anew.
        for (int i = 0; i < kClients; ++i) {
            session.Client(i).net->Leave();
            session.Client(i).ui.screen = kScreenConnection; // as its screen goes back
        }
        REQUIRE(RunFrames(session, [&] { return host.net->Players().empty(); }));
        REQUIRE(everyClient([](NetPeer& c) { return c.net->OpenDiscovery(); }));
        host.net->AnnounceHost();
        REQUIRE(session.Pump([&] { return everyClient([](NetPeer& c) { return !c.net->Hosts().empty(); }); }));
    }
    CHECK(joined == kRounds * kClients);
    // What stays of the flood is held to its address's cap.
    CHECK(host.net->ConnectionCount() <= NetworkManager::kMaxWaitingPerAddress);
    MESSAGE("connections opened by the flood: " << flood.Opened());
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
