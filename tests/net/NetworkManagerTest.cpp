#include "LoopbackSession.h"
#include "NetSamples.h"
#include "game/UnitOrder.h"
#include "net/NetSenders.h"
#include "platform/TcpStream.h"
#include "platform/UdpSocket.h"

#include <doctest/doctest.h>

#include <algorithm>

namespace {

bool Has(const std::vector<std::string>& lines, const std::string& line)
{
    return std::count(lines.begin(), lines.end(), line) == 1;
}

PlayerSlotsMessage ReadySlots()
{
    PlayerSlotsMessage slots;
    slots.slots[0].ready = 1;
    slots.slots[0].counts = {1, 2, 3, 4, 500};
    return slots;
}

} // namespace

TEST_CASE("a host and two clients find each other, join, chat, change settings and start")
{
    LoopbackSession session(22000, 2);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& first = session.Client(0);
    NetPeer& second = session.Client(1);

    // Two clients on one address are two players with the lowest free ids.
    const std::vector<NetPeerEntry> players = host.net->Players();
    REQUIRE(players.size() == 2);
    CHECK(players[0].id == 1);
    CHECK(players[1].id == 2);
    CHECK(first.net->GetOwnId() + second.net->GetOwnId() == 3);
    CHECK(players[0].address.port != players[1].address.port);
    CHECK(first.ui.screen == kScreenLobby);
    CHECK(first.ui.hostListChanges == 1);
    CHECK(first.ui.options == host.ui.options);
    CHECK(second.ui.names[0] != second.ui.names[1]);
    CHECK(host.ui.playerChanges == 2);
    // Once joined, the client keeps only its host.
    CHECK(first.net->ConnectionCount() == 1);

    SUBCASE("lobby chat reaches everyone once, game chat too")
    {
        SendLobbyChat(*first.net, "hello");
        SendGameChat(*host.net, "go");
        const std::string line = first.net->GetOwnName() + " >> hello";
        REQUIRE(session.Pump([&] { return second.ui.lobbyChat.size() == 1 && second.ui.gameChat.size() == 1; }));
        REQUIRE(session.Pump([&] { return first.ui.lobbyChat.size() == 1; }));
        CHECK(Has(host.ui.lobbyChat, line));
        CHECK(Has(second.ui.lobbyChat, line));
        CHECK(Has(first.ui.lobbyChat, line));
        CHECK(Has(host.ui.gameChat, "Hal >> go"));
        CHECK(Has(first.ui.gameChat, "Hal >> go"));
        SendLobbyChat(*first.net, "");
        CHECK_FALSE(first.net->TcpPair().First().HasRecords());
    }
    SUBCASE("settings out of range are ignored and valid ones taken")
    {
        const GameSettingsMessage before = first.ui.options;
        SendGameSettings(*host.net, {9, 3.0f, 31, 0, 40, 1});          // mode
        SendGameSettings(*host.net, {0, std::nanf(""), 31, 0, 40, 1}); // minutes
        SendGameSettings(*host.net, {0, 3.0f, 0, 0, 40, 1});           // mask
        SendGameSettings(*host.net, {0, 3.0f, 31, 4, 40, 1});          // map
        SendGameSettings(*host.net, {0, 3.0f, 31, 0, 101, 1});         // units
        SendGameSettings(*host.net, {0, 3.0f, 31, 0, 40, 8});          // computer armies
        const GameSettingsMessage valid{3, 10.0f, 5, 3, 100, 7};
        SendGameSettings(*host.net, valid);
        REQUIRE(session.Pump([&] { return first.ui.options == valid && second.ui.options == valid; }));
        CHECK(before != valid);
    }
    SUBCASE("start opens unit selection and the slots start the match")
    {
        SendStartGame(*host.net);
        REQUIRE(session.Pump([&] { return first.ui.screen == kScreenUnitSelection && second.ui.screen == 2; }));
        REQUIRE(first.world.optionsSet.size() == 1);
        CHECK(first.world.optionsSet[0] == host.ui.options);

        host.ui.screen = kScreenUnitSelection;
        SendLobbySlotsAsClient(*first.net, ReadySlots());
        REQUIRE(session.Pump([&] { return host.ui.slots.size() == 1; }));
        CHECK_FALSE(host.ui.allReady);
        const int firstId = first.net->GetOwnId();
        CHECK(host.ui.slots[firstId].name == first.net->GetOwnName());
        CHECK(host.ui.slots[firstId].counts[4] == 120);
        SendLobbySlotsAsClient(*second.net, ReadySlots());
        REQUIRE(session.Pump([&] { return host.ui.allReady; }));

        SendLobbySlotsAsHost(*host.net, PlayerSlotsMessage{});
        REQUIRE(session.Pump([&] { return first.ui.matchesStarted == 1 && second.ui.matchesStarted == 1; }));
    }
    SUBCASE("a client that quits sends two leaves and is removed once")
    {
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
    }
    SUBCASE("the host leaving sends its clients back to the connection screen, from unit selection too")
    {
        second.ui.screen = kScreenUnitSelection;
        second.world.state = 1; // the menus: no match yet
        host.net->Leave();
        REQUIRE(session.Pump([&] { return first.ui.screen == kScreenConnection && second.ui.screen == 3; }));
        CHECK_FALSE(first.net->IsConnecting());
        CHECK(first.net->GetOwnId() == -1);
    }
}

TEST_CASE("orders, deaths, explosions and unit states travel between host and clients")
{
    LoopbackSession session(22100, 2);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& first = session.Client(0);
    NetPeer& second = session.Client(1);
    for (int i = 0; i <= 2; ++i) {
        NetPeer& peer = i == 0 ? host : session.Client(i - 1);
        peer.world.Populate(8, 40);
    }

    SUBCASE("a client's move reaches the host, which relays it to every client")
    {
        SendMoveOrder(*first.net, {3, 1}, {std::nanf(""), 0.0f, 0.0f});
        SendMoveOrder(*first.net, {3, 1}, {5.0f, 0.0f, 6.0f});
        REQUIRE(session.Pump([&] { return first.world.moves.size() == 1 && second.world.moves.size() == 1; }));
        REQUIRE(host.world.moves.size() == 1);
        CHECK(host.world.moves[0] == MoveOrderMessage{{3, 1}, {5.0f, 0.0f, 6.0f}});
        CHECK(second.world.moves[0] == host.world.moves[0]);
    }
    SUBCASE("a client's attack goes by TCP and comes back by UDP")
    {
        const AttackOrderMessage attack{{4, 2}, {1.0f, 0.0f, 1.0f}, {7, 0xFF, 3, 0xFF}, 1};
        SendAttackOrder(*first.net, attack);
        CHECK(first.net->TcpPair().First().HasRecords());
        REQUIRE(session.Pump([&] { return second.world.attacks.size() == 1 && first.world.attacks.size() == 1; }));
        CHECK(host.world.attacks.at(0) == attack);
        CHECK(second.world.attacks[0] == attack);
    }
    SUBCASE("deaths and explosions go from the host, checked on arrival")
    {
        SendUnitDestroyed(*host.net, {5, 6});
        SendUnitDestroyed(*first.net, {5, 7}); // a client cannot report deaths
        SendExplosion(*host.net, {1.0f, 2.0f, 3.0f}, 1e300, 24.0, 10.0f);
        SendExplosion(*host.net, {1.0f, 2.0f, 3.0f}, 12.0, 24.0, -1.0f);
        SendExplosion(*host.net, {1.0f, 2.0f, 3.0f}, 12.0, 24.0, 10.0f);
        SendStartAttack(*host.net, {8, 0});
        REQUIRE(session.Pump([&] { return second.world.attacksStarted.size() == 1; }));
        CHECK(second.world.destroyed == std::vector<UnitHead>{{5, 6}});
        REQUIRE(second.world.explosions.size() == 1);
        CHECK(second.world.explosions[0].radius == 12.0);
        CHECK(second.net->GetUnitsDestroyed() == 1);
        CHECK(host.net->GetUnitsDestroyed() == 1);
    }
    SUBCASE("outside a match orders are neither sent nor taken")
    {
        first.world.state = 1;
        SendMoveOrder(*first.net, {1, 1}, {});
        CHECK_FALSE(first.net->UdpPair().First().HasRecords());
        first.world.state = kNetStateMatch;
        second.world.state = 1;
        SendMoveOrder(*host.net, {2, 2}, {});
        SendGameChat(*host.net, "marker");
        REQUIRE(session.Pump([&] { return second.ui.gameChat.size() == 1 && first.ui.gameChat.size() == 1; }));
        REQUIRE(session.Pump([&] { return first.world.moves.size() == 1; }));
        CHECK(second.world.moves.empty());
    }
    SUBCASE("unit states flow from the host until every client unit matches")
    {
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
        CHECK(first.world.applied.size() >= 320);
    }
}

TEST_CASE("a client that dies or stops reading is dropped without holding up the host")
{
    LoopbackSession session(22200, 2);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();

    SUBCASE("a connection that closes counts as a leave")
    {
        session.Client(1).net->Reset();
        REQUIRE(session.Pump([&] { return host.net->Players().size() == 1; }));
        CHECK(host.ui.playerChanges == 3);
    }
    SUBCASE("a peer that never reads is cut off when its backlog passes the cap")
    {
        std::unique_ptr<platform::TcpStream> stalled =
            platform::TcpStream::Connect({platform::kLoopbackIp, session.TcpPort()}, 2000, 1);
        REQUIRE(stalled);
        REQUIRE(session.Pump([&] { return host.net->ConnectionCount() == 3; }));
        bool dropped = false;
        for (int frame = 0; frame < 20000 && !dropped; ++frame) {
            SendGameChat(*host.net, std::string(150, 'x'));
            for (int i = 0; i < 18; ++i) {
                host.net->QueueTcp(ChatMessage{"flood", kGameChat});
            }
            session.Frame();
            dropped = host.net->ConnectionCount() == 2;
        }
        CHECK(dropped);
        // The joined clients kept up all along.
        SendLobbyChat(*host.net, "after");
        REQUIRE(session.Pump([&] { return session.Client(0).ui.lobbyChat.size() == 1; }));
        CHECK(host.net->Players().size() == 2);
    }
}

TEST_CASE("a hostile peer never crashes the host or disturbs its clients")
{
    LoopbackSession session(22300, 1);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& client = session.Client(0);
    const auto clientStillServed = [&](const std::string& text) {
        SendLobbyChat(*host.net, text);
        return session.Pump(
            [&] { return !client.ui.lobbyChat.empty() && client.ui.lobbyChat.back() == "Hal >> " + text; });
    };

    SUBCASE("a bad length closes only that connection")
    {
        std::unique_ptr<platform::TcpStream> bad =
            platform::TcpStream::Connect({platform::kLoopbackIp, session.TcpPort()}, 2000, 1);
        REQUIRE(bad);
        REQUIRE(session.Pump([&] { return host.net->ConnectionCount() == 2; }));
        std::vector<std::uint8_t> packet = PacketOf({LeaveMessage{}}, 1, kChannelTcp);
        packet[0] = 3;
        bad->Send(packet);
        REQUIRE(session.Pump([&] { return host.net->ConnectionCount() == 1; }));
        CHECK(clientStillServed("one"));
        CHECK(host.ui.playerChanges == 1);
    }
    SUBCASE("a flood of connections and joins stops at seven")
    {
        std::vector<std::unique_ptr<platform::TcpStream>> flood;
        const std::vector<std::uint8_t> join = PacketOf({JoinRequestMessage{"x", 3000, 0}}, -1, kChannelTcp);
        for (int i = 0; i < 10; ++i) {
            flood.push_back(platform::TcpStream::Connect({platform::kLoopbackIp, session.TcpPort()}, 2000, 1));
            REQUIRE(flood.back());
            flood.back()->Send(join);
        }
        REQUIRE(session.Pump([&] { return host.net->Players().size() == 7; }));
        for (int i = 0; i < 50; ++i) {
            session.Frame();
            CHECK(host.net->ConnectionCount() <= 7);
        }
        CHECK(host.net->LowestFreeId() == -1);
        CHECK(clientStillServed("two"));
    }
    SUBCASE("random bytes, forged senders and stray datagrams are dropped")
    {
        platform::UdpSocket stranger;
        REQUIRE(stranger.BindInRange(22390, 22399) == platform::SocketResult::kOk);
        const platform::NetAddress hostUdp{platform::kLoopbackIp, session.HostUdpPort()};
        // A datagram as if from a client, but from an unknown port.
        stranger.SendTo(hostUdp, PacketOf({MoveOrderMessage{{1, 1}, {}}}, 1, kChannelUdp));
        stranger.SendTo(hostUdp, std::vector<std::uint8_t>(7, 0xFF));
        std::unique_ptr<platform::TcpStream> noisy =
            platform::TcpStream::Connect({platform::kLoopbackIp, session.TcpPort()}, 2000, 1);
        REQUIRE(noisy);
        // Claims to be the host: dropped on a host.
        noisy->Send(PacketOf({LeaveMessage{}, StartGameMessage{}}, 0, kChannelTcp));
        std::vector<std::uint8_t> noise(3000);
        for (std::size_t i = 0; i < noise.size(); ++i) {
            noise[i] = static_cast<std::uint8_t>(i * 7919 >> 3);
        }
        noisy->Send(noise);
        CHECK(clientStillServed("three"));
        CHECK(host.world.moves.empty());
        CHECK(host.net->Players().size() == 1);
    }
}

TEST_CASE("joins outside the lobby are refused and a host is known by address and port")
{
    SUBCASE("the host on unit selection refuses a join, and the client is told")
    {
        LoopbackSession session(22400, 1);
        REQUIRE(session.StartHosting());
        session.Host().ui.screen = kScreenUnitSelection;
        REQUIRE(session.Pump([&] { return !session.Client(0).net->Hosts().empty(); }));
        REQUIRE(session.Client(0).net->Connect(0, "Late"));
        CHECK_FALSE(session.Client(0).net->Connect(0, "Twice")); // one attempt at a time
        REQUIRE(session.Pump([&] { return !session.Client(0).net->IsConnecting(); }));
        CHECK(session.Host().net->ConnectionCount() == 0);
        CHECK(session.Client(0).net->GetOwnId() == -1);
    }
    SUBCASE("a vanished host fails the connect and says so")
    {
        LoopbackSession session(22450, 1);
        NetworkManager& client = *session.Client(0).net;
        REQUIRE(client.OpenDiscovery());
        CHECK(client.NoteHost("Gone", {platform::kLoopbackIp, 22451}));
        // The attempt runs beside the frame: Connect returns at once, and a
        // second press meanwhile starts nothing.
        REQUIRE(client.Connect(0, "Me"));
        CHECK_FALSE(client.Connect(0, "Again"));
        CHECK(client.IsConnecting());
        REQUIRE(session.Pump([&] { return session.Client(0).ui.connectFailures == 1; }));
        CHECK_FALSE(client.IsConnecting());
        CHECK(client.GetOwnId() == -1);
    }
    SUBCASE("the announcement is 72 bytes: length 0, sequence 1, sender 0, channel 0 and the name")
    {
        platform::UdpSocket listener;
        const NetConfig config = LoopbackSession::ConfigFor(22470);
        REQUIRE(listener.BindInRange(config.announceFirstPort, config.announceLastPort) == platform::SocketResult::kOk);
        NetworkManager host(config);
        REQUIRE(host.Host("Hal"));
        REQUIRE(listener.WaitReadable(2000));
        std::vector<std::uint8_t> buffer(platform::UdpSocket::kMaxDatagram + 1);
        platform::NetAddress from;
        REQUIRE(listener.Receive(buffer, from) == 72);
        buffer.resize(72);
        ByteReader reader(buffer);
        PacketHeader header;
        REQUIRE(DecodeHeader(reader, header));
        CHECK(header == PacketHeader{0, 1, 0, kChannelDirect});
        NetRecord record;
        REQUIRE(DecodeRecord(reader, record));
        CHECK(std::get<HostAnnounceMessage>(record).name == "Hal");
        CHECK(from.port == host.GetUdpPort());
    }
    SUBCASE("renamed hosts update their entry and the list is capped")
    {
        NetworkManager client(LoopbackSession::ConfigFor(22500));
        CHECK(client.NoteHost("A", {platform::kLoopbackIp, 1000}));
        CHECK_FALSE(client.NoteHost("A", {platform::kLoopbackIp, 1000}));
        CHECK(client.NoteHost("B", {platform::kLoopbackIp, 1000}));
        CHECK(client.Hosts().size() == 1);
        CHECK(client.NoteHost("A", {platform::kLoopbackIp, 1001}));
        for (std::uint16_t port = 2000; port < 2100; ++port) {
            client.NoteHost("many", {platform::kLoopbackIp, port});
        }
        CHECK(client.Hosts().size() == NetworkManager::kMaxHosts);
    }
    SUBCASE("after a reset discovery binds the base port again")
    {
        NetworkManager net(LoopbackSession::ConfigFor(22550));
        REQUIRE(net.OpenDiscovery());
        CHECK(net.GetUdpPort() == 22550);
        REQUIRE(net.OpenDiscovery()); // entered again: the same socket
        CHECK(net.GetUdpPort() == 22550);
        net.Reset();
        CHECK(net.GetUdpPort() == 0);
        REQUIRE(net.OpenDiscovery());
        CHECK(net.GetUdpPort() == 22550);
    }
}
