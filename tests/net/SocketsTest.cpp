// The platform's sockets as the network uses them: the loopback guard that
// keeps every test's packets on this machine, and datagrams over the game's
// largest packet dropped at the socket.
#include "platform/NetAddress.h"
#include "platform/TcpStream.h"
#include "platform/UdpSocket.h"

#include <doctest/doctest.h>

#include <vector>

using platform::SocketResult;
using platform::UdpSocket;

TEST_CASE("the guard keeps every send on loopback and datagrams over 4015 bytes are dropped")
{
    // The test runner sets the guard for every test.
    REQUIRE(platform::LoopbackGuardOn());
    UdpSocket receiver;
    UdpSocket sender;
    REQUIRE(receiver.BindInRange(21100, 21110) == SocketResult::kOk);
    REQUIRE(sender.BindInRange(21100, 21110) == SocketResult::kOk);
    CHECK(sender.BoundPort() == receiver.BoundPort() + 1);
    CHECK(sender.SendTo({0x0A000001u, 3339}, std::vector<std::uint8_t>(20)) == SocketResult::kRefused);
    CHECK(sender.Broadcast({0xFFFFFFFFu, 3339}, std::vector<std::uint8_t>(20)) == SocketResult::kRefused);
    CHECK(platform::TcpStream::Connect({0xC0A80001u, 4444}, 10, 1) == nullptr);

    const platform::NetAddress to{platform::kLoopbackIp, receiver.BoundPort()};
    REQUIRE(sender.SendTo(to, std::vector<std::uint8_t>(4016)) == SocketResult::kOk);
    REQUIRE(sender.SendTo(to, std::vector<std::uint8_t>(4015)) == SocketResult::kOk);
    std::vector<std::uint8_t> buffer(UdpSocket::kMaxDatagram + 1);
    platform::NetAddress from;
    REQUIRE(receiver.WaitReadable(2000));
    CHECK(receiver.Receive(buffer, from) == -1);
    REQUIRE(receiver.WaitReadable(2000));
    CHECK(receiver.Receive(buffer, from) == 4015);
    CHECK(from == platform::NetAddress{platform::kLoopbackIp, sender.BoundPort()});
}
