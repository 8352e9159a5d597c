// Datagrams that name a peer they do not come from: records only a stream
// carries (leaves, deaths, results, chat, settings...) are never taken from a
// datagram, whatever its source and proof, and a joined client hears
// datagrams only from its host's own UDP socket with its own word; the
// genuine leave on the stream still ends a player's place or a client's
// session. A forger with the host's address and port, or a fellow player who
// knows its own word, stops no genuine unit state however it numbers its
// datagrams, and nobody but the client moves its army on the host. Channel 0
// carries announcements and welcomes only. And the client's stale filter: a
// datagram numbered far ahead stops nothing, and a host whose numbers start
// again is followed.
#include "LoopbackSession.h"
#include "NetSamples.h"
#include "game/Battle.h"
#include "net/NetSenders.h"
#include "platform/TcpStream.h"
#include "platform/UdpSocket.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <random>

namespace {

// What the host sends its clients on the stream only, as a forger would
// send it by datagram. The leave comes last, so a client that took it would
// still have handled the rest.
std::vector<NetRecord> HostStreamRecords()
{
    MatchResultMessage result;
    result.state = kMatchStatistics;
    result.count = 2;
    result.armies[0] = {1, 900, 0, 3, 10.0f};
    result.armies[1] = {0, 0, 900, 0, 0.0f};
    PlayerNamesMessage names;
    names.names[0] = "Forged";
    return {
        UnitDestroyedMessage{{1, 1}},
        result,
        ChatMessage{"Hal >> forged", kGameChat},
        ChatMessage{"Hal >> forged", kLobbyChat},
        GameSettingsMessage{3, 10.0f, 5, 3, 100, 7},
        names,
        ExplosionMessage{{1.0f, 2.0f, 3.0f}, 12.0, 24.0, 10.0f},
        StartAttackMessage{{2, 1}},
        HostIdMessage{5},
        WelcomeMessage{5},
        StartGameMessage{},
        LeaveMessage{},
    };
}

// Every record in a datagram of its own and all of them in one, on the UDP
// channel (proved with word, unless it is 0) and on the one of announcements
// and welcomes.
void SendForged(const std::vector<NetRecord>& records, std::int32_t sender, std::uint32_t word,
                const std::function<void(const std::vector<std::uint8_t>&)>& send)
{
    const auto packet = [&](const std::vector<NetRecord>& some, std::uint32_t channel, std::uint32_t sequence) {
        return channel == kChannelUdp && word != 0 ? ProvedPacketOf(some, sender, word, sequence)
                                                   : PacketOf(some, sender, channel, sequence);
    };
    for (const std::uint32_t channel : {static_cast<std::uint32_t>(kChannelUdp), 0u}) {
        for (const NetRecord& record : records) {
            send(packet({record}, channel, 1));
        }
        send(packet(records, channel, 2));
    }
}

// The word client i and its host share.
std::uint32_t WordOf(LoopbackSession& session, int i)
{
    const std::shared_ptr<Connection> host = session.Client(i).net->HostConnection();
    REQUIRE(host);
    MutexLock lock(session.Client(i).net->GetMutex());
    return host->word;
}

// A unit state of the host's first army no other record in these tests holds.
UnitStateMessage Marker(float x)
{
    UnitStateMessage state;
    state.head = {3, 0};
    state.position = {x, 0.0f, 7.0f};
    state.destination = state.position;
    state.hitPoints = 55;
    return state;
}

bool Applied(const FakeNetWorld& world, const UnitStateMessage& state)
{
    return std::find(world.applied.begin(), world.applied.end(), state) != world.applied.end();
}

void CheckClientUntouched(const NetPeer& client, const GameSettingsMessage& options)
{
    CHECK(client.net->GetOwnId() > 0);
    CHECK(client.net->IsConnecting());
    CHECK(client.ui.screen == kScreenLobby);
    CHECK(client.ui.options == options);
    CHECK(client.ui.names[0] == "Player1");
    CHECK(client.ui.gameChat.empty());
    CHECK(client.ui.lobbyChat.empty());
    CHECK(client.world.destroyed.empty());
    CHECK(client.world.results.empty());
    CHECK(client.world.explosions.empty());
    CHECK(client.world.attacksStarted.empty());
    CHECK(client.world.matchesLeft.empty());
    CHECK(client.net->GetUnitsDestroyed() == 0);
}

// The host's leave on its stream: the client's match ends as the host left it.
void CheckGenuineLeaveEndsSession(LoopbackSession& session)
{
    NetPeer& client = session.Client(0);
    session.Host().net->Leave();
    REQUIRE(session.Pump([&] { return !client.world.matchesLeft.empty(); }));
    CHECK(client.world.matchesLeft == std::vector<std::string>{kHostLeftLine});
    CHECK(client.net->GetOwnId() == -1);
}

// The host's armies moved, then its unit states sent until the client's match them.
bool SyncedAfterMove(LoopbackSession& session, float dx)
{
    NetPeer& host = session.Host();
    for (auto& army : host.world.armies) {
        for (UnitStateMessage& unit : army) {
            unit.position.x += dx;
            unit.destination = unit.position;
        }
    }
    return session.Pump([&] {
        host.net->GetUnitStateSync().Tick(host.world, host.net->UdpPair());
        return session.Client(0).world.armies == host.world.armies;
    });
}

// Ticks of the host's unit-state sync, each taken in whole by client 0
// before the next, as 50 ms apart in a match; forge(tick) runs before each.
// Forty new states a tick, every one of them the host's, is the usual rate.
void SyncThroughForgery(LoopbackSession& session, int ticks, const std::function<void(int)>& forge)
{
    NetPeer& host = session.Host();
    NetPeer& client = session.Client(0);
    for (int tick = 0; tick < ticks; ++tick) {
        CAPTURE(tick);
        forge(tick);
        const std::size_t before = client.world.applied.size();
        host.net->GetUnitStateSync().Tick(host.world, host.net->UdpPair());
        REQUIRE(session.Pump([&] { return client.world.applied.size() >= before + 40; }));
        const auto fresh = client.world.applied.begin() + static_cast<std::ptrdiff_t>(before);
        CHECK(std::all_of(fresh, client.world.applied.end(),
                          [&](const UnitStateMessage& state) { return state.hitPoints == 100; }));
    }
}

// Waits until every datagram the host has sent is handled: its socket
// delivers in order, so a last one that is handled was the last.
bool HostDatagramsDrained(LoopbackSession& session, float x)
{
    NetPeer& host = session.Host();
    host.net->UdpPair().Clear(); // a tick still queued
    host.net->QueueUdp(Marker(x));
    return session.Pump([&] { return Applied(session.Client(0).world, Marker(x)); });
}

} // namespace

TEST_CASE("a joined client takes its host's stream records from no datagram")
{
    LoopbackSession session(1);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& client = session.Client(0);
    for (NetPeer* peer : {&host, &client}) {
        peer->world.Populate(3, 4); // and in a match, as the fake world starts
    }
    const GameSettingsMessage options = client.ui.options;
    const platform::NetAddress clientUdp{platform::kLoopbackIp, client.net->GetUdpPort()};
    const platform::NetAddress hostUdp{platform::kLoopbackIp, host.net->GetUdpPort()};

    SUBCASE("from another port of the host's address nothing is taken, not even a unit state")
    {
        platform::UdpSocket stranger;
        REQUIRE(stranger.BindInRange(static_cast<std::uint16_t>(session.PortBase() + 30),
                                     static_cast<std::uint16_t>(session.PortBase() + 39)) ==
                platform::SocketResult::kOk);
        std::vector<NetRecord> records = HostStreamRecords();
        const UnitStateMessage forgedState = Marker(-90.0f);
        records.insert(records.begin(), forgedState);
        // The client's own word, as a fellow of the host's game might guess it, does not help either.
        SendForged(records, 0, WordOf(session, 0), [&](const auto& packet) { stranger.SendTo(clientUdp, packet); });
        // The host's own unit state, sent after them to the same socket.
        const UnitStateMessage genuine = Marker(90.0f);
        host.net->QueueUdp(genuine);
        REQUIRE(session.Pump([&] { return Applied(client.world, genuine); }));
        CHECK_FALSE(Applied(client.world, forgedState));
        CheckClientUntouched(client, options);
        CheckGenuineLeaveEndsSession(session);
    }
    SUBCASE("from the host's own address and port but without the client's word nothing is taken")
    {
        std::vector<NetRecord> records = HostStreamRecords();
        const UnitStateMessage forgedState = Marker(-80.0f);
        records.insert(records.begin(), forgedState);
        for (const std::uint32_t guess : {0u, 1u, WordOf(session, 0) ^ 1u, ~WordOf(session, 0)}) {
            SendForged(records, 0, guess, [&](const auto& packet) { client.net->ReceiveDatagram(packet, hostUdp); });
        }
        const UnitStateMessage genuine = Marker(80.0f);
        host.net->QueueUdp(genuine);
        REQUIRE(session.Pump([&] { return Applied(client.world, genuine); }));
        CHECK_FALSE(Applied(client.world, forgedState));
        CheckClientUntouched(client, options);
        CheckGenuineLeaveEndsSession(session);
    }
    SUBCASE("from the host's own address and port, even with the client's word, the datagram's records only are taken")
    {
        const std::uint32_t word = WordOf(session, 0);
        SendForged(HostStreamRecords(), 0, word,
                   [&](const auto& packet) { client.net->ReceiveDatagram(packet, hostUdp); });
        // A unit state with them in one datagram is taken: datagrams carry those.
        const UnitStateMessage state = Marker(60.0f);
        client.net->ReceiveDatagram(ProvedPacketOf({LeaveMessage{}, state, UnitDestroyedMessage{{0, 0}}}, 0, word, 3),
                                    hostUdp);
        session.Frame();
        CHECK(Applied(client.world, state));
        CheckClientUntouched(client, options);
        CheckGenuineLeaveEndsSession(session);
    }
}

TEST_CASE("a host takes a joined client's stream records from no datagram, not even from its own port")
{
    LoopbackSession session(1);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    host.world.Populate(3, 4);
    // A player of the test's own: its stream, and a UDP socket whose port its join names.
    platform::UdpSocket own;
    REQUIRE(own.BindInRange(static_cast<std::uint16_t>(session.PortBase() + 30),
                            static_cast<std::uint16_t>(session.PortBase() + 39)) == platform::SocketResult::kOk);
    std::unique_ptr<platform::TcpStream> stream =
        platform::TcpStream::Connect({platform::kLoopbackIp, session.TcpPort()}, 2000, 1);
    REQUIRE(stream);
    stream->Send(PacketOf({JoinRequestMessage{"Raw", own.BoundPort(), kRawJoinWord}}, -1, kChannelTcp));
    REQUIRE(session.Pump([&] { return host.net->Players().size() == 2; }));
    const std::int32_t id = host.net->Players().back().id;
    REQUIRE(host.net->Players().back().name == "Raw");
    host.net->AssignArmies(AllReady(3)); // each client commands the army of its id
    host.ui.screen = kScreenUnitSelection;
    const int changes = host.ui.playerChanges;
    const platform::NetAddress hostUdp{platform::kLoopbackIp, host.net->GetUdpPort()};

    PlayerSlotsMessage slots;
    slots.slots[0].ready = 1;
    slots.senderId = static_cast<std::uint32_t>(id);
    const auto army = static_cast<std::uint8_t>(id);
    const std::vector<NetRecord> streamOnly = {
        ChatMessage{"Raw >> forged", kLobbyChat},
        slots,
        AttackOrderMessage{{1, army}, {1.0f, 0.0f, 1.0f}, {1, 0xFF, 0, 0xFF}, 1},
        JoinRequestMessage{"Again", own.BoundPort(), kRawJoinWord},
        LeaveMessage{},
    };
    platform::UdpSocket stranger;
    REQUIRE(stranger.BindInRange(static_cast<std::uint16_t>(session.PortBase() + 40),
                                 static_cast<std::uint16_t>(session.PortBase() + 49)) == platform::SocketResult::kOk);
    // With the player's word: from another port refused, from its own only datagram records taken.
    SendForged(streamOnly, id, kRawJoinWord, [&](const auto& packet) { stranger.SendTo(hostUdp, packet); });
    SendForged(streamOnly, id, kRawJoinWord, [&](const auto& packet) { own.SendTo(hostUdp, packet); });
    // A move from the player's own port with its word comes after them and is taken.
    const MoveOrderMessage move{{1, army}, {5.0f, 0.0f, 5.0f}};
    own.SendTo(hostUdp, ProvedPacketOf({move}, id, kRawJoinWord));
    REQUIRE(session.Pump([&] { return !host.world.moves.empty(); }));
    CHECK(host.world.moves == std::vector{move});
    CHECK(host.net->Players().size() == 2);
    CHECK(host.ui.playerChanges == changes);
    CHECK(host.ui.lobbyChat.empty());
    CHECK(host.ui.slots.empty());
    CHECK(host.world.attacks.empty());

    // Its leave on its stream ends its place.
    stream->Send(PacketOf({LeaveMessage{}}, id, kChannelTcp));
    REQUIRE(session.Pump([&] { return host.net->Players().size() == 1; }));
    CHECK(host.ui.playerChanges == changes + 1);
    CHECK(host.net->LowestFreeId() == id);
}

TEST_CASE("a datagram numbered far ahead stops no unit state, and a host whose numbers start again is followed")
{
    LoopbackSession session(1);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& client = session.Client(0);
    for (NetPeer* peer : {&host, &client}) {
        peer->world.Populate(3, 4);
    }
    const platform::NetAddress hostUdp{platform::kLoopbackIp, host.net->GetUdpPort()};
    // These stand for the host's own datagrams: they prove themselves.
    const std::uint32_t word = WordOf(session, 0);

    SUBCASE("one datagram numbered 0xFFFFFFF0 from the host's address")
    {
        REQUIRE(SyncedAfterMove(session, 10.0f));
        const UnitStateMessage forged = Marker(-70.0f);
        client.net->ReceiveDatagram(ProvedPacketOf({forged}, 0, word, 0xFFFFFFF0u), hostUdp);
        CHECK(SyncedAfterMove(session, 10.0f));
        CHECK(SyncedAfterMove(session, 10.0f));
        CHECK_FALSE(Applied(client.world, forged));
    }
    SUBCASE("numbers far from the host's, two in order, then the host's own again")
    {
        // Before the host sends any, so none of its own comes between: a
        // number taken, then two far from it in order, as if the host's
        // numbering had jumped. The second is taken.
        client.net->ReceiveDatagram(ProvedPacketOf({Marker(-69.0f)}, 0, word, 5), hostUdp);
        client.net->ReceiveDatagram(ProvedPacketOf({Marker(-70.0f)}, 0, word, 100000), hostUdp);
        client.net->ReceiveDatagram(ProvedPacketOf({Marker(-71.0f)}, 0, word, 100001), hostUdp);
        session.Frame();
        CHECK(Applied(client.world, Marker(-69.0f)));
        CHECK_FALSE(Applied(client.world, Marker(-70.0f)));
        CHECK(Applied(client.world, Marker(-71.0f)));
        // The host's own numbers, now far behind, are followed again.
        CHECK(SyncedAfterMove(session, 10.0f));
    }
    SUBCASE("a new match takes the host's numbers from its first datagram, whatever they are")
    {
        REQUIRE(SyncedAfterMove(session, 10.0f));
        REQUIRE(HostDatagramsDrained(session, 33.0f));
        client.world.state = 1; // back to the menus
        session.Frame();
        REQUIRE(host.net->UdpPair().GetSequence() > 1);
        host.net->UdpPair().Reset(); // the host's numbers start again from 1
        host.net->UdpPair().SetSenderId(0);
        client.world.state = kNetStateMatch;
        session.Frame();
        const UnitStateMessage first = Marker(40.0f);
        host.net->QueueUdp(first);
        REQUIRE(session.Pump([&] { return Applied(client.world, first); }));
        CHECK(SyncedAfterMove(session, 10.0f));
    }
}

TEST_CASE("genuine unit states keep arriving whatever a forger with the host's address and port numbers")
{
    LoopbackSession session(2);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& client = session.Client(0);
    for (NetPeer* peer : {&host, &client, &session.Client(1)}) {
        peer->world.Populate(3, 4);
    }
    const platform::NetAddress hostUdp{platform::kLoopbackIp, host.net->GetUdpPort()};
    // A bystander guesses words; a fellow player knows its own. Each forged
    // number goes out bare and with the forger's best word.
    std::mt19937 guesses(2024);
    const std::uint32_t fellowWord = WordOf(session, 1);
    REQUIRE(fellowWord != WordOf(session, 0));
    std::vector<UnitStateMessage> forged;
    const auto forge = [&](std::uint32_t sequence, std::uint32_t word) {
        forged.push_back(Marker(-100.0f - static_cast<float>(forged.size())));
        client.net->ReceiveDatagram(PacketOf({forged.back()}, 0, kChannelUdp, sequence), hostUdp);
        client.net->ReceiveDatagram(ProvedPacketOf({forged.back()}, 0, word, sequence), hostUdp);
    };
    const auto last = [&] { return host.net->UdpPair().GetSequence(); };
    // Three seconds of ticks, twenty a second.
    constexpr int kTicks = 60;

    SUBCASE("a bystander's state numbered the host's last + 64, every second")
    {
        SyncThroughForgery(session, kTicks, [&](int tick) {
            if (tick % 20 == 0) {
                forge(last() + 64, guesses());
            }
        });
    }
    SUBCASE("a bystander's 200 pairs of far-off numbers a second")
    {
        SyncThroughForgery(session, kTicks, [&](int) {
            for (int pair = 0; pair < 10; ++pair) {
                forge(0x40000000u, guesses());
                forge(0x40000001u, guesses());
            }
        });
    }
    SUBCASE("a fellow player, with its own word, as the host towards another client")
    {
        SyncThroughForgery(session, kTicks, [&](int tick) {
            if (tick % 20 == 0) {
                forge(last() + 64, fellowWord);
            }
            for (int pair = 0; pair < 10; ++pair) {
                forge(last() + 100000, fellowWord);
                forge(last() + 100001, fellowWord);
            }
        });
    }
    CHECK(std::none_of(forged.begin(), forged.end(),
                       [&](const UnitStateMessage& state) { return Applied(client.world, state); }));
}

TEST_CASE("nobody but the client moves its army on the host")
{
    LoopbackSession session(2);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& client = session.Client(0);
    NetPeer& fellow = session.Client(1);
    host.world.Populate(3, 4);
    host.net->AssignArmies(AllReady(3)); // each client commands the army of its id
    const std::int32_t id = client.net->GetOwnId();
    const auto army = static_cast<std::uint8_t>(id);
    const platform::NetAddress clientUdp{platform::kLoopbackIp, client.net->GetUdpPort()};
    const platform::NetAddress fellowUdp{platform::kLoopbackIp, fellow.net->GetUdpPort()};
    const std::uint32_t fellowWord = WordOf(session, 1);

    // 600 moves for the client's army from its address, port and id: bare,
    // with guessed words and with the fellow's word; then the fellow's own
    // proved datagrams naming the client's id.
    std::mt19937 guesses(77);
    for (int i = 0; i < 200; ++i) {
        const MoveOrderMessage move{{static_cast<std::uint8_t>(i % 4), army}, {-50.0f, 0.0f, -50.0f}};
        host.net->ReceiveDatagram(PacketOf({move}, id, kChannelUdp), clientUdp);
        host.net->ReceiveDatagram(ProvedPacketOf({move}, id, static_cast<std::uint32_t>(guesses())), clientUdp);
        host.net->ReceiveDatagram(ProvedPacketOf({move}, id, fellowWord), clientUdp);
        host.net->ReceiveDatagram(ProvedPacketOf({move}, id, fellowWord), fellowUdp);
    }
    // The client's own move, through its manager.
    const MoveOrderMessage genuine{{1, army}, {20.0f, 0.0f, 20.0f}};
    SendMoveOrder(*client.net, genuine.head, genuine.point);
    REQUIRE(session.Pump([&] { return !host.world.moves.empty() && !fellow.world.moves.empty(); }));
    CHECK(host.world.moves == std::vector{genuine});
    // The relay carries the genuine move only.
    CHECK(fellow.world.moves == std::vector{genuine});
}

TEST_CASE("channel 0 carries announcements and welcomes only, and a kick still reaches the kicked client")
{
    LoopbackSession session(1);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& host = session.Host();
    NetPeer& client = session.Client(0);
    for (NetPeer* peer : {&host, &client}) {
        peer->world.Populate(3, 4);
    }
    const platform::NetAddress hostUdp{platform::kLoopbackIp, host.net->GetUdpPort()};
    const std::shared_ptr<Connection> toClient = host.net->SnapshotConnections().front();

    SUBCASE("a datagram on channel 0 from the host's address and port carries no unit state or order")
    {
        const UnitStateMessage forged = Marker(-50.0f);
        const MoveOrderMessage move{{1, 0}, {3.0f, 0.0f, 3.0f}};
        const AttackOrderMessage attack{{2, 0}, {1.0f, 0.0f, 1.0f}, {1, 0xFF, 1, 0xFF}, 1};
        for (const std::uint32_t sequence : {1u, 1000000u}) {
            client.net->ReceiveDatagram(PacketOf({forged, move, attack}, 0, kChannelDirect, sequence), hostUdp);
        }
        const UnitStateMessage genuine = Marker(50.0f);
        host.net->QueueUdp(genuine);
        REQUIRE(session.Pump([&] { return Applied(client.world, genuine); }));
        CHECK_FALSE(Applied(client.world, forged));
        CHECK(client.world.moves.empty());
        CHECK(client.world.attacks.empty());
    }
    SUBCASE("the host's stream on channel 0 carries only its welcome")
    {
        const GameSettingsMessage options = client.ui.options;
        host.net->SendDirect(*toClient, ChatMessage{"Hal >> not on this channel", kLobbyChat});
        host.net->SendDirect(*toClient, GameSettingsMessage{3, 10.0f, 5, 3, 100, 7});
        host.net->SendDirect(*toClient, LeaveMessage{});
        SendLobbyChat(*host.net, "on the stream's own");
        REQUIRE(session.Pump([&] { return !client.ui.lobbyChat.empty(); }));
        CHECK(client.ui.lobbyChat == std::vector<std::string>{"Hal >> on the stream's own"});
        CHECK(client.ui.options == options);
        CHECK(client.net->GetOwnId() > 0);
    }
    SUBCASE("a player's stream on channel 0 carries nothing to the host")
    {
        std::unique_ptr<platform::TcpStream> stream =
            platform::TcpStream::Connect({platform::kLoopbackIp, session.TcpPort()}, 2000, 1);
        REQUIRE(stream);
        stream->Send(PacketOf({JoinRequestMessage{"Raw", 3000, kRawJoinWord}}, -1, kChannelTcp));
        REQUIRE(session.Pump([&] { return host.net->Players().size() == 2; }));
        const std::int32_t id = host.net->Players().back().id;
        stream->Send(PacketOf({ChatMessage{"Raw >> not on this channel", kLobbyChat}, LeaveMessage{}}, id, 0));
        stream->Send(PacketOf({ChatMessage{"Raw >> on the stream's own", kLobbyChat}}, id, kChannelTcp));
        REQUIRE(session.Pump([&] { return !host.ui.lobbyChat.empty(); }));
        CHECK(host.ui.lobbyChat == std::vector<std::string>{"Raw >> on the stream's own"});
        CHECK(host.net->Players().size() == 2);
    }
    SUBCASE("the lobby's kick, and what the kicked player still had waiting")
    {
        client.world.state = 1; // in the lobby, not a match
        // A line the host has read but not yet handled when it kicks.
        SendLobbyChat(*client.net, "one last word");
        client.net->FlushOutgoing();
        REQUIRE(host.net->GetQueue().WaitForAny(std::chrono::milliseconds(5000)));
        REQUIRE(host.net->Kick(client.net->GetOwnId()));
        REQUIRE(session.Pump([&] { return client.net->GetOwnId() == -1; }));
        CHECK(client.ui.screen == kScreenConnection);
        CHECK_FALSE(client.net->IsConnecting());
        CHECK(host.net->Players().empty());
        CHECK(host.ui.lobbyChat.empty());
    }
}
