// The end of a network match on loopback, a host and two clients with fake
// screens and worlds: the host's score reaches its clients and only checked
// scores from the host are taken; a client that leaves a match is named to
// everyone left, by a name whose cut left no space at its end; the host that
// goes, even without a word, ends its clients' match, except on the
// statistics, which stay up.
#include "LoopbackSession.h"
#include "TestSupport.h"
#include "core/EventTimer.h"
#include "net/NetSenders.h"

#include <doctest/doctest.h>

#include <algorithm>

TEST_CASE("in a match the host's score reaches its clients and players who leave are named")
{
    testing::ManualClockScope clock;
    LoopbackSession session(2);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& first = session.Client(0);
    NetPeer& second = session.Client(1);
    for (NetPeer* peer : {&host, &first, &second}) {
        peer->world.state = kNetStateMatch;
    }

    SUBCASE("the host's score is taken by its clients, a forged or impossible one by nobody")
    {
        host.world.score.count = 2;
        host.world.score.armies[0] = {1, 4, 2, 1, 30.5f};
        host.world.score.armies[1] = {0, 2, 4, 0, 12.25f};
        host.world.matchState = 5;
        host.net->StartUnitStateSync();
        // A client cannot score for the host; nor can the host send what no match reaches.
        first.net->QueueTcp(host.world.score);
        MatchResultMessage impossible = host.world.score;
        impossible.armies[1].army = 1;
        host.net->QueueTcp(impossible);
        REQUIRE(session.Pump([&] {
            clock.Advance(0.05); // a tick of the sync's timer
            EventTimer::Instance()->Update();
            return !first.world.results.empty() && !second.world.results.empty();
        }));
        MatchResultMessage expected = host.world.score;
        expected.state = 5;
        for (const NetPeer* client : {&first, &second}) {
            CHECK(std::all_of(client->world.results.begin(), client->world.results.end(),
                              [&](const MatchResultMessage& result) { return result == expected; }));
        }
        CHECK(host.world.results.empty());
    }
    SUBCASE("a client that leaves is named on the host and the other client, and nothing ends")
    {
        const std::string name = first.net->GetOwnName();
        first.net->Leave();
        const std::string line = name + " has left the game.";
        REQUIRE(session.Pump([&] { return !second.ui.gameChat.empty(); }));
        CHECK(host.ui.gameChat == std::vector<std::string>{line});
        CHECK(second.ui.gameChat == std::vector<std::string>{line});
        CHECK(host.net->Players().size() == 1);
        CHECK(host.world.matchesLeft.empty());
        CHECK(second.world.matchesLeft.empty());
        // A client whose connection just drops is named too.
        const std::string other = second.net->GetOwnName();
        second.net->Reset();
        REQUIRE(session.Pump([&] { return host.net->Players().empty(); }));
        CHECK(host.ui.gameChat == std::vector<std::string>{line, other + " has left the game."});
    }
    SUBCASE("the host's connection dropping ends its clients' match, but leaves the statistics on the screen")
    {
        second.world.matchState = 5;
        host.net->Reset(); // no leave sent: the connections just close
        REQUIRE(session.Pump([&] { return first.net->GetOwnId() == -1 && second.net->GetOwnId() == -1; }));
        CHECK(first.world.matchesLeft == std::vector<std::string>{kHostLeftLine});
        CHECK(first.ui.gameChat.empty());
        CHECK(second.world.matchesLeft.empty());
        CHECK(second.ui.gameChat == std::vector<std::string>{kHostLeftLine});
    }
}

TEST_CASE("names cut at the join's and the announcement's field keep no space the cut left")
{
    testing::ManualClockScope clock;
    LoopbackSession session(1);
    NetPeer& host = session.Host();
    NetPeer& client = session.Client(0);
    // Byte 51, the last a name field holds, is a space in both names.
    const std::string hostTyped = "Hal the Elder of the Southern Marches and the Long Road to the Gate";
    const std::string clientTyped = "Wintergreen of the Northern Reaches, Warden of the Hill";
    const std::string hostCut = "Hal the Elder of the Southern Marches and the Long";
    const std::string clientCut = "Wintergreen of the Northern Reaches, Warden of the";
    REQUIRE(hostTyped[kNameField - 2] == ' ');
    REQUIRE(clientTyped[kNameField - 2] == ' ');
    host.ui.screen = kScreenLobby;
    REQUIRE(client.net->OpenDiscovery());
    REQUIRE(host.net->OpenDiscovery());
    REQUIRE(host.net->Host(hostTyped));
    CHECK(host.net->GetOwnName() == hostCut);
    REQUIRE(session.Pump([&] { return !client.net->Hosts().empty(); }));
    CHECK(client.net->Hosts()[0].name == hostCut);
    REQUIRE(client.net->Connect(0, clientTyped));
    REQUIRE(session.Pump([&] { return host.net->Players().size() == 1 && client.net->GetOwnId() >= 1; }));
    CHECK(client.net->GetOwnName() == clientCut);
    CHECK(host.net->Players()[0].name == clientCut);

    // Leaving a match, the client is named with one space before the rest.
    host.world.state = kNetStateMatch;
    client.world.state = kNetStateMatch;
    client.net->Leave();
    REQUIRE(session.Pump([&] { return !host.ui.gameChat.empty(); }));
    CHECK(host.ui.gameChat == std::vector<std::string>{clientCut + " has left the game."});
}
