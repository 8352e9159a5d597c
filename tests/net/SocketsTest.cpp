#include "platform/NetAddress.h"
#include "platform/TcpListener.h"
#include "platform/TcpStream.h"
#include "platform/UdpSocket.h"

#include <doctest/doctest.h>

#include <vector>

using platform::NetAddress;
using platform::SocketResult;
using platform::UdpSocket;

namespace {

// Each test case has its own ports, so cases running side by side never meet.
constexpr std::uint16_t kPortSearchBase = 21000;
constexpr std::uint16_t kDatagramBase = 21100;
constexpr std::uint16_t kTcpPort = 21200;
// A bound on every wait, never reached on loopback.
constexpr int kWaitMs = 2000;

std::vector<std::uint8_t> Bytes(std::size_t count)
{
    return std::vector<std::uint8_t>(count, 0x5A);
}

} // namespace

TEST_CASE("addresses convert with inet_pton and the guard keeps every send on loopback")
{
    std::uint32_t ip = 0;
    CHECK(platform::ParseIpv4("127.255.255.255", ip));
    CHECK(ip == 0x7FFFFFFFu);
    CHECK(platform::FormatIpv4(0x0A000102u) == "10.0.1.2");
    for (const char* bad : {"", "1.2.3", "256.1.1.1", "host", "1.2.3.4 "}) {
        CHECK_FALSE(platform::ParseIpv4(bad, ip));
    }

    // The test runner sets the guard for every test.
    REQUIRE(platform::LoopbackGuardOn());
    UdpSocket socket;
    REQUIRE(socket.BindInRange(kDatagramBase + 50, kDatagramBase + 60) == SocketResult::kOk);
    CHECK(socket.SendTo({0x0A000001u, 3339}, Bytes(20)) == SocketResult::kRefused);
    CHECK(socket.Broadcast({0xFFFFFFFFu, 3339}, Bytes(20)) == SocketResult::kRefused);
    CHECK(platform::TcpStream::Connect({0xC0A80001u, 4444}, 10, 1) == nullptr);
    CHECK(platform::DestinationAllowed(platform::kLoopbackIp));
}

TEST_CASE("the UDP port search takes the first free port and reports a full range")
{
    UdpSocket first;
    UdpSocket second;
    UdpSocket third;
    REQUIRE(first.BindInRange(kPortSearchBase, kPortSearchBase + 5) == SocketResult::kOk);
    REQUIRE(second.BindInRange(kPortSearchBase, kPortSearchBase + 5) == SocketResult::kOk);
    CHECK(first.BoundPort() == kPortSearchBase);
    CHECK(second.BoundPort() == kPortSearchBase + 1);
    CHECK(third.BindInRange(kPortSearchBase, kPortSearchBase + 1) == SocketResult::kAddressInUse);
    CHECK_FALSE(third.IsBound());
    // Ports above 30000 are not the game's.
    CHECK(third.BindInRange(30001, 30010) == SocketResult::kAddressInUse);
}

TEST_CASE("datagrams arrive whole up to 4015 bytes and larger ones are dropped")
{
    UdpSocket receiver;
    UdpSocket sender;
    REQUIRE(receiver.BindInRange(kDatagramBase, kDatagramBase + 10) == SocketResult::kOk);
    REQUIRE(sender.BindInRange(kDatagramBase, kDatagramBase + 10) == SocketResult::kOk);
    std::vector<std::uint8_t> buffer(UdpSocket::kMaxDatagram + 1);
    NetAddress from;

    SUBCASE("unicast")
    {
        const NetAddress to{platform::kLoopbackIp, receiver.BoundPort()};
        REQUIRE(sender.SendTo(to, Bytes(4016)) == SocketResult::kOk);
        REQUIRE(sender.SendTo(to, Bytes(4015)) == SocketResult::kOk);
        REQUIRE(receiver.WaitReadable(kWaitMs));
        CHECK(receiver.Receive(buffer, from) == -1);
        REQUIRE(receiver.WaitReadable(kWaitMs));
        CHECK(receiver.Receive(buffer, from) == 4015);
        CHECK(from == NetAddress{platform::kLoopbackIp, sender.BoundPort()});
    }
    SUBCASE("broadcast on the loopback network reaches a socket bound to any address")
    {
        REQUIRE(sender.Broadcast({0x7FFFFFFFu, receiver.BoundPort()}, Bytes(72)) == SocketResult::kOk);
        REQUIRE(receiver.WaitReadable(kWaitMs));
        CHECK(receiver.Receive(buffer, from) == 72);
    }
}

TEST_CASE("TCP connects within its bound, survives a closed peer and reports the end of a stream")
{
    SUBCASE("no listener: failure, not a hang")
    {
        CHECK(platform::TcpStream::Connect({platform::kLoopbackIp, kTcpPort + 1}, 200, 2) == nullptr);
    }
    SUBCASE("a second listener on the same port is refused as in use")
    {
        platform::TcpListener listener;
        platform::TcpListener second;
        REQUIRE(listener.Listen(kTcpPort + 2, 5) == SocketResult::kOk);
        CHECK(second.Listen(kTcpPort + 2, 5) == SocketResult::kAddressInUse);
    }
    SUBCASE("a peer that closes")
    {
        platform::TcpListener listener;
        REQUIRE(listener.Listen(kTcpPort, 5) == SocketResult::kOk);
        std::unique_ptr<platform::TcpStream> client =
            platform::TcpStream::Connect({platform::kLoopbackIp, kTcpPort}, kWaitMs, 1);
        REQUIRE(client);
        REQUIRE(listener.WaitReadable(kWaitMs));
        std::unique_ptr<platform::TcpStream> server = listener.Accept();
        REQUIRE(server);
        CHECK(server->Peer().ip == platform::kLoopbackIp);
        server.reset();

        // Sends into the closed stream end in a reset, never in SIGPIPE.
        for (int i = 0; i < 1000 && !client->IsDead(); ++i) {
            client->Send(Bytes(100));
            (void)platform::Socket::PollReadable(std::vector<int>{client->Fd()}, 10); // the reset arriving
        }
        CHECK(client->IsDead());
        std::vector<std::uint8_t> buffer(64);
        CHECK(client->Receive(buffer) == -1);
        CHECK(client->Send(Bytes(100)) == SocketResult::kClosed);
    }
}
