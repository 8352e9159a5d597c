// The loopback guard under every network test: with it on, no socket sends
// or connects to an address outside 127.0.0.0/8, so a test can never reach
// another machine. The sockets' own work is the manager tests' to exercise.
#include "platform/NetAddress.h"
#include "platform/TcpStream.h"
#include "platform/UdpSocket.h"

#include <doctest/doctest.h>

#include <vector>

using platform::SocketResult;

TEST_CASE("the guard keeps every send and connect on loopback")
{
    // The test runner sets the guard for every test.
    REQUIRE(platform::LoopbackGuardOn());
    platform::UdpSocket socket;
    REQUIRE(socket.BindInRange(21100, 21110) == SocketResult::kOk);
    CHECK(socket.SendTo({0x0A000001u, 3339}, std::vector<std::uint8_t>(20)) == SocketResult::kRefused);
    CHECK(socket.Broadcast({0xFFFFFFFFu, 3339}, std::vector<std::uint8_t>(20)) == SocketResult::kRefused);
    CHECK(platform::TcpStream::Connect({0xC0A80001u, 4444}, 10, 1) == nullptr);
    CHECK(socket.SendTo({platform::kLoopbackIp, 3339}, std::vector<std::uint8_t>(20)) == SocketResult::kOk);
}
