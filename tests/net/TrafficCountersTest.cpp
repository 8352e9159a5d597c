// The TCP channel's four traffic counters over a known exchange: a join and
// two chat lines, then a frame whose records spill into the overflow buffer;
// a reset zeroes them.
#include "LoopbackSession.h"
#include "net/NetSenders.h"

#include <doctest/doctest.h>

#include <ostream>
#include <string>

// For the failure messages; in the counters' own namespace, where the checks look.
static std::ostream& operator<<(std::ostream& out, const TcpTraffic& t)
{
    return out << "{in " << t.packetsIn << "/" << t.messagesIn << ", out " << t.packetsOut << "/" << t.messagesOut
               << "}";
}

TEST_CASE("the TCP traffic counters follow a join and two chat lines and a reset zeroes them")
{
    LoopbackSession session(1);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& client = session.Client(0);
    // In: packets, records; out: packets, records. The client's join; the
    // host's settings and names in one packet. The welcome travels in a
    // packet of its own on no channel and is not counted.
    CHECK(host.net->GetTcpTraffic() == TcpTraffic{1, 1, 1, 2});
    CHECK(client.net->GetTcpTraffic() == TcpTraffic{1, 2, 1, 1});

    // Two lines in one frame are one packet; the host relays both in one.
    SendLobbyChat(*client.net, "one");
    SendLobbyChat(*client.net, "two");
    REQUIRE(session.Pump([&] { return host.ui.lobbyChat.size() == 2 && client.ui.lobbyChat.size() == 2; }));
    CHECK(host.net->GetTcpTraffic() == TcpTraffic{2, 3, 2, 4});
    CHECK(client.net->GetTcpTraffic() == TcpTraffic{2, 4, 2, 3});

    // Twenty lines of 208 bytes: nineteen fill the first buffer, the last
    // goes in the overflow. Sending counts the first buffer's packet and
    // every record queued on it, the one it passed to the overflow included;
    // both packets are counted where they arrive.
    for (int i = 0; i < 20; ++i) {
        host.net->QueueTcp(ChatMessage{"line " + std::to_string(i), kGameChat});
    }
    REQUIRE(session.Pump([&] { return client.ui.gameChat.size() == 20; }));
    CHECK(host.net->GetTcpTraffic() == TcpTraffic{2, 3, 3, 24});
    CHECK(client.net->GetTcpTraffic() == TcpTraffic{4, 24, 2, 3});

    host.net->Reset();
    client.net->Reset();
    CHECK(host.net->GetTcpTraffic() == TcpTraffic{});
    CHECK(client.net->GetTcpTraffic() == TcpTraffic{});
}
