// The network manager end to end on loopback: a host and two clients over
// real sockets with fake screens and worlds, from discovery to the match's
// records, a client dropped or stalled, hostile peers, refused joins.
#include "LoopbackSession.h"
#include "NetSamples.h"
#include "game/UnitOrder.h"
#include "net/NetSenders.h"
#include "platform/TcpListener.h"
#include "platform/TcpStream.h"
#include "platform/UdpSocket.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <array>
#include <chrono>

namespace {

std::unique_ptr<platform::TcpStream> ConnectRaw(const LoopbackSession& session)
{
    return platform::TcpStream::Connect({platform::kLoopbackIp, session.TcpPort()}, 2000, 1);
}

} // namespace

TEST_CASE("a host and two clients join, chat, change settings, start and play")
{
    LoopbackSession session(2);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& first = session.Client(0);
    NetPeer& second = session.Client(1);
    for (NetPeer* peer : {&host, &first, &second}) {
        peer->world.Populate(8, 40);
    }

    // Two clients on one address are two players with the lowest free ids.
    const std::vector<NetPeerEntry> players = host.net->Players();
    REQUIRE(players.size() == 2);
    CHECK(players[0].id == 1);
    CHECK(players[1].id == 2);
    CHECK(first.net->GetOwnId() + second.net->GetOwnId() == 3);
    CHECK(first.ui.options == host.ui.options);

    SUBCASE("chat and valid settings reach everyone once, and the host leaving sends its clients back")
    {
        first.net->TcpPair().SetSenderId(second.net->GetOwnId());
        SendLobbyChat(*first.net, "forged");
        first.net->FlushOutgoing();
        first.net->TcpPair().SetSenderId(first.net->GetOwnId());
        SendLobbyChat(*first.net, "hello");
        SendGameChat(*host.net, "go");
        const std::string line = first.net->GetOwnName() + " >> hello";
        REQUIRE(session.Pump([&] { return !second.ui.lobbyChat.empty() && !first.ui.gameChat.empty(); }));
        REQUIRE(session.Pump([&] { return !first.ui.lobbyChat.empty(); }));
        for (NetPeer* peer : {&host, &first, &second}) {
            CHECK(peer->ui.lobbyChat == std::vector<std::string>{line});
        }
        CHECK(host.ui.gameChat == std::vector<std::string>{"Hal >> go"});
        // Settings out of range are ignored and valid ones taken.
        const int received = first.ui.optionsReceived;
        SendGameSettings(*host.net, {9, 3.0f, 31, 0, 40, 1});          // mode
        SendGameSettings(*host.net, {0, std::nanf(""), 31, 0, 40, 1}); // minutes
        SendGameSettings(*host.net, {0, 3.0f, 0, 0, 40, 1});           // mask
        SendGameSettings(*host.net, {0, 3.0f, 31, 4, 40, 1});          // map
        SendGameSettings(*host.net, {0, 3.0f, 31, 0, 101, 1});         // units
        SendGameSettings(*host.net, {0, 3.0f, 31, 0, 40, 8});          // computer armies
        const GameSettingsMessage valid{3, 10.0f, 5, 3, 100, 7};
        SendGameSettings(*host.net, valid);
        REQUIRE(session.Pump([&] { return first.ui.options == valid && second.ui.options == valid; }));
        CHECK(first.ui.optionsReceived == received + 1);

        // The host leaving sends its clients back to the connection screen, from unit selection too.
        second.ui.screen = kScreenUnitSelection;
        first.world.state = 1; // the menus: no match yet
        second.world.state = 1;
        host.net->Leave();
        REQUIRE(session.Pump([&] { return first.ui.screen == kScreenConnection && second.ui.screen == 3; }));
        CHECK(first.net->GetOwnId() == -1);
    }
    SUBCASE("slots start the match once all are ready, unit states flow, and outside a match orders are not taken")
    {
        for (NetPeer* peer : {&host, &first, &second}) {
            peer->ui.screen = kScreenUnitSelection;
        }
        PlayerSlotsMessage ready;
        ready.slots[0].ready = 1;
        ready.slots[0].counts = {1, 2, 3, 4, 500};
        SendLobbySlotsAsClient(*first.net, ready);
        REQUIRE(session.Pump([&] { return host.ui.slots.size() == 1; }));
        CHECK_FALSE(host.ui.allReady);
        const int firstId = first.net->GetOwnId();
        CHECK(host.ui.slots[firstId].name == first.net->GetOwnName());
        // Held to the lobby's 50 units: the four before it leave 40.
        CHECK(host.ui.slots[firstId].counts[4] == 40);
        SendLobbySlotsAsClient(*second.net, ready);
        REQUIRE(session.Pump([&] { return host.ui.allReady; }));
        SendLobbySlotsAsHost(*host.net, PlayerSlotsMessage{});
        REQUIRE(session.Pump([&] { return first.ui.matchesStarted == 1 && second.ui.matchesStarted == 1; }));

        // Unit states flow from the host until every client unit matches.
        for (auto& army : host.world.armies) {
            for (UnitStateMessage& unit : army) {
                unit.position = unit.position + Vec3{100.0f, 0.0f, 0.0f};
                unit.order = kOrderMove;
                unit.arrived = 0;
            }
        }
        for (int tick = 0; tick < 8; ++tick) {
            host.net->GetUnitStateSync().Tick(host.world, host.net->UdpPair());
            session.Frame();
        }
        REQUIRE(session.Pump([&] { return first.world.armies == host.world.armies; }));
        REQUIRE(session.Pump([&] { return second.world.armies == host.world.armies; }));

        // Outside a match orders are neither sent nor taken.
        first.world.state = 1;
        SendMoveOrder(*first.net, {1, 1}, {});
        CHECK_FALSE(first.net->UdpPair().First().HasRecords());
        first.world.state = kNetStateMatch;
        second.world.state = 1;
        SendMoveOrder(*host.net, {2, 2}, {});
        REQUIRE(session.Pump([&] { return first.world.moves.size() == 1; }));
        SendGameChat(*host.net, "marker"); // sent after the move, so the move had its chance
        REQUIRE(session.Pump([&] { return second.ui.gameChat.size() == 1; }));
        CHECK(second.world.moves.empty());
    }
    SUBCASE("orders are relayed, deaths and explosions come from the host alone, and clients that leave are removed")
    {
        // The host's slots name the armies: the host and both clients ready,
        // so each client commands the army of its own id.
        host.net->AssignArmies(AllReady(3));
        const auto own = static_cast<std::uint8_t>(first.net->GetOwnId());
        const AttackOrderMessage attack{{4, own}, {1.0f, 0.0f, 1.0f}, {7, 0xFF, 3, 0xFF}, 1};
        SendMoveOrder(*first.net, {3, own}, {std::nanf(""), 0.0f, 0.0f});
        SendMoveOrder(*first.net, {3, own}, {5.0f, 0.0f, 6.0f});
        SendAttackOrder(*first.net, attack);
        REQUIRE(session.Pump([&] { return second.world.moves.size() == 1 && second.world.attacks.size() == 1; }));
        CHECK(host.world.moves == std::vector<MoveOrderMessage>{{{3, own}, {5.0f, 0.0f, 6.0f}}});
        CHECK(second.world.moves == host.world.moves);
        CHECK(host.world.attacks == std::vector{attack});
        CHECK(second.world.attacks == host.world.attacks);
        // Deaths and explosions come only from the host and are checked on arrival.
        SendUnitDestroyed(*host.net, {5, 6});
        SendUnitDestroyed(*first.net, {5, 7});                            // a client cannot report deaths
        SendExplosion(*host.net, {1.0f, 2.0f, 3.0f}, 1e300, 24.0, 10.0f); // the mutation test tries the rest
        SendExplosion(*host.net, {1.0f, 2.0f, 3.0f}, 12.0, 24.0, 10.0f);
        SendStartAttack(*host.net, {8, 0});
        REQUIRE(session.Pump([&] { return second.world.attacksStarted.size() == 1; }));
        CHECK(second.world.destroyed == std::vector<UnitHead>{{5, 6}});
        CHECK(second.world.explosions == std::vector<ExplosionMessage>{{{1.0f, 2.0f, 3.0f}, 12.0, 24.0, 10.0f}});
        CHECK(host.net->GetUnitsDestroyed() == 1);

        // A client that quits sends two leaves and is removed once, one that just closes is removed too.
        const int changes = host.ui.playerChanges;
        const std::int32_t leavingId = first.net->GetOwnId();
        SendLeave(*first.net);
        QueueLeave(*first.net);
        first.net->FlushOutgoing();
        first.net->Reset();
        REQUIRE(session.Pump([&] { return host.net->Players().size() == 1; }));
        SendLobbyChat(*second.net, "still here");
        REQUIRE(session.Pump([&] { return host.ui.lobbyChat.size() == 1; }));
        CHECK(host.ui.playerChanges == changes + 1);
        CHECK(host.net->LowestFreeId() == leavingId);
        second.net->Reset(); // no leave at all: the closed connection is one
        REQUIRE(session.Pump([&] { return host.net->Players().empty(); }));
        CHECK(host.ui.playerChanges == changes + 2);
    }
    SUBCASE("a peer that never reads is cut off when its backlog passes the cap, the clients kept")
    {
        // A joined player that never reads (the host sends nothing to a
        // connection before its join).
        std::unique_ptr<platform::TcpStream> stalled = ConnectRaw(session);
        REQUIRE(stalled);
        stalled->Send(PacketOf({JoinRequestMessage{"stall", 3000, kRawJoinWord}}, -1, kChannelTcp));
        REQUIRE(session.Pump([&] { return host.net->Players().size() == 3; }));
        bool dropped = false;
        for (int frame = 0; frame < 20000 && !dropped; ++frame) {
            for (int i = 0; i < 19; ++i) {
                host.net->QueueTcp(ChatMessage{std::string(150, 'x'), kGameChat});
            }
            session.Frame();
            dropped = host.net->ConnectionCount() == 2;
        }
        CHECK(dropped);
        // The clients' backlog of the flood may still fill their queues, which
        // then refuse a record or two: ask until a line gets through.
        REQUIRE(session.Pump([&] {
            SendLobbyChat(*host.net, "after");
            return !first.ui.lobbyChat.empty();
        }));
        CHECK(host.net->Players().size() == 2);
    }
}

TEST_CASE("a hostile peer never crashes the host or disturbs its clients")
{
    LoopbackSession session(1);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& client = session.Client(0);
    const auto clientStillServed = [&](const std::string& text) {
        SendLobbyChat(*host.net, text);
        return session.Pump(
            [&] { return !client.ui.lobbyChat.empty() && client.ui.lobbyChat.back() == "Hal >> " + text; });
    };

    SUBCASE("a flood of connections and joins stops at seven, one of announcements at the host list's cap")
    {
        std::vector<std::unique_ptr<platform::TcpStream>> flood;
        const std::vector<std::uint8_t> join = PacketOf({JoinRequestMessage{"x", 3000, kRawJoinWord}}, -1, kChannelTcp);
        for (int i = 0; i < 10; ++i) {
            flood.push_back(ConnectRaw(session));
            REQUIRE(flood.back());
            flood.back()->Send(join);
        }
        // Joins past the seventh are refused, and a connection pushed out by a
        // newer one before its join was read is gone: seven stay.
        REQUIRE(session.Pump([&] { return host.net->Players().size() == 7 && host.net->ConnectionCount() == 7; }));
        CHECK(host.net->LowestFreeId() == -1);
        CHECK(clientStillServed("two"));

        // A flood of announcements fills the host list to its cap, a renamed host keeps one entry.
        NetworkManager listener(session.Config()); // never opens its ports
        CHECK(listener.NoteHost("A", {platform::kLoopbackIp, 1000}));
        CHECK(listener.NoteHost("B", {platform::kLoopbackIp, 1000}));
        CHECK(listener.Hosts().size() == 1);
        for (std::uint16_t port = 2000; port < 2100; ++port) {
            listener.NoteHost("many", {platform::kLoopbackIp, port});
        }
        CHECK(listener.Hosts().size() == NetworkManager::kMaxHosts);
    }
    SUBCASE("forged senders and stray datagrams are dropped, and a bad length closes only that connection")
    {
        platform::UdpSocket stranger;
        REQUIRE(stranger.BindInRange(static_cast<std::uint16_t>(session.PortBase() + 90),
                                     static_cast<std::uint16_t>(session.PortBase() + 99)) ==
                platform::SocketResult::kOk);
        const platform::NetAddress hostUdp{platform::kLoopbackIp, session.Host().net->GetUdpPort()};
        // A datagram as if from a client, but from an unknown port.
        stranger.SendTo(hostUdp, PacketOf({MoveOrderMessage{{1, 1}, {}}}, 1, kChannelUdp));
        stranger.SendTo(hostUdp, std::vector<std::uint8_t>(7, 0xFF));
        std::unique_ptr<platform::TcpStream> noisy = ConnectRaw(session);
        REQUIRE(noisy);
        REQUIRE(session.Pump([&] { return host.net->ConnectionCount() == 2; }));
        // Claims to be the host: dropped on a host.
        noisy->Send(PacketOf({LeaveMessage{}, StartGameMessage{}}, 0, kChannelTcp));
        std::vector<std::uint8_t> packet = PacketOf({LeaveMessage{}}, 1, kChannelTcp);
        packet[0] = 3;
        noisy->Send(packet);
        REQUIRE(session.Pump([&] { return host.net->ConnectionCount() == 1; }));
        CHECK(clientStillServed("one"));
        CHECK(host.ui.playerChanges == 1);
        CHECK(host.world.moves.empty());
        CHECK(host.net->Players().size() == 1);
    }
}

TEST_CASE("a join is tried once at a time and fails visibly when refused or unanswered")
{
    LoopbackSession session(1);
    REQUIRE(session.StartHosting());
    NetPeer& client = session.Client(0);
    REQUIRE(session.Pump([&] { return !client.net->Hosts().empty(); }));

    SUBCASE("the host on unit selection refuses a join, and the client is told")
    {
        session.Host().ui.screen = kScreenUnitSelection;
        REQUIRE(client.net->Connect(0, "Late"));
        REQUIRE(session.Pump([&] { return !client.net->IsConnecting(); }));
        CHECK(session.Host().net->ConnectionCount() == 0);
        CHECK(client.net->GetOwnId() == -1);
    }
    SUBCASE("a vanished host fails the connect and says so, and discovery binds its port again")
    {
        session.Host().net->Reset();
        REQUIRE(client.net->Connect(0, "Me"));
        CHECK_FALSE(client.net->Connect(0, "Again"));
        REQUIRE(session.Pump([&] { return client.ui.connectFailures == 1; }));
        CHECK_FALSE(client.net->IsConnecting());
        client.net->Reset();
        REQUIRE(client.net->OpenDiscovery());
        CHECK(client.net->GetUdpPort() == session.PortBase());
    }
}

TEST_CASE("connections that never join keep no player out, and a client orders only its own army")
{
    testing::ManualClockScope clock; // the join's wait and the host list read it
    LoopbackSession session(2);
    REQUIRE(session.StartHosting());
    NetPeer& host = session.Host();

    SUBCASE("a player joins a host holding nine silent connections at once, and the silent ones go soon after")
    {
        std::vector<std::unique_ptr<platform::TcpStream>> silent;
        for (int i = 0; i < 9; ++i) {
            silent.push_back(ConnectRaw(session));
            REQUIRE(silent.back());
        }
        REQUIRE(session.Pump([&] { return host.net->ConnectionCount() == NetworkManager::kMaxWaitingPerAddress; }));
        NetPeer& player = session.Client(0);
        REQUIRE(session.Pump([&] { return !player.net->Hosts().empty(); }));
        REQUIRE(player.net->Connect(0, "Real"));
        REQUIRE(session.Pump([&] { return player.net->GetOwnId() == 1 && player.ui.screen == kScreenLobby; }));
        CHECK(host.net->Players().size() == 1);
        // The player's join comes with its connect: its connection pushed out
        // a silent one only if the host accepted it before the join was there.
        const std::size_t held = host.net->ConnectionCount();
        CHECK(held >= NetworkManager::kMaxWaitingPerAddress);

        // No game traffic reaches a connection that has not joined.
        SendLobbyChat(*host.net, "for players");
        REQUIRE(session.Pump([&] { return !player.ui.lobbyChat.empty(); }));
        std::array<std::uint8_t, 64> bytes{};
        CHECK(silent.back()->Receive(bytes) == 0);

        // Just short of the wait they are all still held, past it every one is closed.
        clock.Advance(NetConfig().joinWaitSeconds - 0.5);
        session.Frame();
        CHECK(host.net->ConnectionCount() == held);
        clock.Advance(1.0);
        REQUIRE(session.Pump([&] { return host.net->ConnectionCount() == 1; }));
        REQUIRE(session.Pump([&] {
            return std::all_of(silent.begin(), silent.end(),
                               [&](const auto& stream) { return stream->Receive(bytes) < 0; });
        }));
        CHECK(host.net->Players().size() == 1);
        SendLobbyChat(*host.net, "still here");
        CHECK(session.Pump([&] { return player.ui.lobbyChat.size() == 2; }));
    }
    SUBCASE("a client's orders for another army's units change nothing")
    {
        REQUIRE(session.JoinAll());
        NetPeer& first = session.Client(0);
        NetPeer& second = session.Client(1);
        for (NetPeer* peer : {&host, &first, &second}) {
            peer->world.Populate(3, 4);
        }
        const auto own = static_cast<std::uint8_t>(first.net->GetOwnId());
        const auto other = static_cast<std::uint8_t>(second.net->GetOwnId());
        const AttackOrderMessage ownAttack{{2, own}, {1.0f, 0.0f, 1.0f}, {1, 0xFF, other, 0xFF}, 1};
        // Before the host's slots name the armies a client commands none.
        // Attacks and chat share the stream, so the chat line comes after.
        SendAttackOrder(*first.net, ownAttack);
        SendLobbyChat(*first.net, "before the slots");
        REQUIRE(session.Pump([&] { return host.ui.lobbyChat.size() == 1; }));
        CHECK(host.world.attacks.empty());

        host.net->AssignArmies(AllReady(3));
        // Moves go in one datagram, handled in order: the own move last.
        SendMoveOrder(*first.net, {1, other}, {3.0f, 0.0f, 3.0f});
        SendMoveOrder(*first.net, {1, 0}, {4.0f, 0.0f, 4.0f});
        SendAttackOrder(*first.net, {{2, 0}, {1.0f, 0.0f, 1.0f}, {1, 0xFF, other, 0xFF}, 1});
        SendAttackOrder(*first.net, {{2, other}, {1.0f, 0.0f, 1.0f}, {1, 0xFF, 0, 0xFF}, 1});
        SendAttackOrder(*first.net, ownAttack);
        SendMoveOrder(*first.net, {1, own}, {7.0f, 0.0f, 7.0f});
        REQUIRE(session.Pump([&] { return second.world.moves.size() == 1 && second.world.attacks.size() == 1; }));
        const std::vector<MoveOrderMessage> ownMove{{{1, own}, {7.0f, 0.0f, 7.0f}}};
        CHECK(host.world.moves == ownMove);
        CHECK(second.world.moves == ownMove);
        CHECK(host.world.attacks == std::vector{ownAttack});
        CHECK(second.world.attacks == std::vector{ownAttack});
    }
    SUBCASE("received names and chat lose their control bytes")
    {
        REQUIRE(session.JoinAll());
        NetPeer& first = session.Client(0);
        NetPeer& second = session.Client(1);
        SendLobbyChat(*first.net, "two\nlines\r\x01");
        REQUIRE(session.Pump([&] { return !second.ui.lobbyChat.empty() && !host.ui.lobbyChat.empty(); }));
        const std::string line = first.net->GetOwnName() + " >> twolines";
        CHECK(host.ui.lobbyChat.back() == line);
        CHECK(second.ui.lobbyChat.back() == line);

        // A joiner's name, as the host lists it and sends it on.
        std::unique_ptr<platform::TcpStream> raw = ConnectRaw(session);
        REQUIRE(raw);
        raw->Send(PacketOf({JoinRequestMessage{"Evil\nName\x7F", 3000, kRawJoinWord}}, -1, kChannelTcp));
        REQUIRE(session.Pump([&] { return host.net->Players().size() == 3 && !first.ui.names[2].empty(); }));
        CHECK(host.net->Players().back().name == "EvilName");
        CHECK(first.ui.names[2] == "EvilName");
    }
}

TEST_CASE("hosts that stop announcing leave the list, and spoofed ones never keep a live host out")
{
    testing::ManualClockScope clock;
    LoopbackSession session(1);
    NetPeer& client = session.Client(0);
    REQUIRE(client.net->OpenDiscovery());
    const platform::NetAddress clientUdp{platform::kLoopbackIp, client.net->GetUdpPort()};
    // Sixteen announcements from sixteen addresses that never speak again fill the list.
    std::vector<std::unique_ptr<platform::UdpSocket>> spoofers;
    for (int i = 0; i < static_cast<int>(NetworkManager::kMaxHosts); ++i) {
        spoofers.push_back(std::make_unique<platform::UdpSocket>());
        REQUIRE(spoofers.back()->BindInRange(static_cast<std::uint16_t>(session.PortBase() + 20 + i),
                                             static_cast<std::uint16_t>(session.PortBase() + 49)) ==
                platform::SocketResult::kOk);
        spoofers.back()->SendTo(clientUdp, PacketOf({HostAnnounceMessage{"fake"}}, 0, kChannelDirect));
    }
    REQUIRE(session.Pump([&] { return client.net->Hosts().size() == NetworkManager::kMaxHosts; }));

    // A real host announcing every half second is listed at once, and after
    // a few seconds it is the only one.
    clock.Advance(0.5);
    REQUIRE(session.Host().net->Host("Hal"));
    REQUIRE(session.Pump([&] {
        const std::vector<NetPeerEntry> hosts = client.net->Hosts();
        return std::any_of(hosts.begin(), hosts.end(), [](const NetPeerEntry& h) { return h.name == "Hal"; });
    }));
    CHECK(client.net->Hosts().size() == NetworkManager::kMaxHosts);
    for (int half = 0; half < 60; ++half) { // thirty seconds of announcing
        clock.Advance(0.5);
        session.Host().net->AnnounceHost();
        // Each announcement is handled before the clock moves on (the bound only ends a failing test).
        REQUIRE(client.net->GetQueue().WaitForAny(std::chrono::milliseconds(5000)));
        client.net->ProcessIncoming();
        const std::vector<NetPeerEntry> hosts = client.net->Hosts();
        REQUIRE(std::any_of(hosts.begin(), hosts.end(), [](const NetPeerEntry& h) { return h.name == "Hal"; }));
    }
    REQUIRE(session.Pump([&] { return client.net->Hosts().size() == 1; }));
    CHECK(client.net->Hosts()[0].name == "Hal");
}

TEST_CASE("a reset during a connect attempt does not wait for the attempt")
{
    LoopbackSession session(1);
    NetPeer& client = session.Client(0);
    NetConfig config = session.Config();
    config.connectTimeoutMs = 5000;
    client.net->SetConfig(config);
    REQUIRE(client.net->OpenDiscovery());
    // A host whose queue of connections is full (a backlog of one holds two):
    // its kernel drops further attempts unanswered, so a connect waits out
    // its whole time.
    platform::TcpListener stalled;
    REQUIRE(stalled.Listen(session.TcpPort(), 1) == platform::SocketResult::kOk);
    std::vector<std::unique_ptr<platform::TcpStream>> queued;
    for (int i = 0; i < 2; ++i) {
        queued.push_back(platform::TcpStream::Connect({platform::kLoopbackIp, session.TcpPort()}, 500, 1));
        REQUIRE(queued.back());
    }
    REQUIRE(client.net->NoteHost("Stalled", {platform::kLoopbackIp, 1}));
    REQUIRE(client.net->Connect(0, "Me"));
    int rounds = 0;
    session.Pump([&] { return ++rounds > 50; }); // the worker is well into its attempt
    // Still under way: neither failed (which ends the attempt at the next
    // frame) nor through to the host (which would make it the client's host).
    REQUIRE(client.net->IsConnecting());
    REQUIRE(client.net->HostConnection() == nullptr);
    REQUIRE(client.ui.connectFailures == 0);

    const auto before = std::chrono::steady_clock::now();
    client.net->Reset();
    const auto waited = std::chrono::steady_clock::now() - before;
    CHECK(waited < std::chrono::milliseconds(1000)); // the attempt itself lasts five seconds
    CHECK_FALSE(client.net->IsConnecting());
    // The attempt never got into the host's queue: only the two queued are there.
    CHECK(stalled.Accept() != nullptr);
    CHECK(stalled.Accept() != nullptr);
    CHECK(stalled.Accept() == nullptr);
    // The manager is ready for the next attempt at once, and nothing of the old one comes back.
    REQUIRE(client.net->OpenDiscovery());
    REQUIRE(client.net->NoteHost("Stalled", {platform::kLoopbackIp, 1}));
    session.Frame();
    CHECK(client.ui.connectFailures == 0);
    CHECK(client.net->Hosts().size() == 1);
}
