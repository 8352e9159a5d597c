// The loopback guard under every network test: with it on, no socket sends
// or connects to an address outside 127.0.0.0/8, so a test can never reach
// another machine; and the port blocks' locks, which the suites of every user
// share. The sockets' own work is the manager tests' to exercise.
#include "platform/NetAddress.h"
#include "platform/TcpStream.h"
#include "platform/UdpSocket.h"

#include "NetPortLease.h"

#include <doctest/doctest.h>

#include <sys/stat.h>

#include <vector>

using platform::SocketResult;

TEST_CASE("the guard keeps every send and connect on loopback")
{
    // The test runner sets the guard for every test.
    REQUIRE(platform::LoopbackGuardOn());
    // On loopback the datagram goes to a port of this test's own block, where nobody listens.
    const std::uint16_t base = testing::LeaseNetPortBase();
    REQUIRE(base != 0);
    platform::UdpSocket socket;
    REQUIRE(socket.BindInRange(base, base) == SocketResult::kOk);
    CHECK(socket.SendTo({0x0A000001u, 3339}, std::vector<std::uint8_t>(20)) == SocketResult::kRefused);
    CHECK(socket.Broadcast({0xFFFFFFFFu, 3339}, std::vector<std::uint8_t>(20)) == SocketResult::kRefused);
    CHECK(platform::TcpStream::Connect({0xC0A80001u, 4444}, 10, 1) == nullptr);
    const platform::NetAddress ownBlock{platform::kLoopbackIp, static_cast<std::uint16_t>(base + 1)};
    CHECK(socket.SendTo(ownBlock, std::vector<std::uint8_t>(20)) == SocketResult::kOk);
}

TEST_CASE("a leased block's lock file can be locked by every user of the machine")
{
    const std::uint16_t base = testing::LeaseNetPortBase();
    REQUIRE(base != 0);
    struct stat info {};
    REQUIRE(::stat(testing::NetPortLockPath(base).c_str(), &info) == 0);
    CHECK((info.st_mode & 0777) == 0666);
}
