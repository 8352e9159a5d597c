// Received values against the real battle: a joined client whose world is
// the game's own (GameNetWorld over the battle, the physics and a 400-unit
// map) takes the host's unit states and starts. Finite values far off the
// map (z = 3e38 and -3e38) never reach the units, and the starts put the
// armies on the map; the battle steps on with every unit finite. The state
// of a unit fleeing a melee attacker, whose destination the battle itself
// puts far past the map's edge, is taken.
#include "../units/BattleTestWorld.h"
#include "NetFakes.h"
#include "NetSamples.h"
#include "app/GameNetWorld.h"
#include "net/NetworkManager.h"

#include <doctest/doctest.h>

using units_test::BattleWorld;

namespace {

// The game's world, in a match without the Game around it.
class MatchWorld : public GameNetWorld {
public:
    std::uint32_t GameState() const override { return kNetStateMatch; }
};

struct BattleClient {
    FakeNetUi ui;
    MatchWorld world;
    NetworkManager net{NetConfig()};
    std::shared_ptr<Connection> host = std::make_shared<Connection>();
    std::uint32_t sequence = 0;
    std::uint32_t word = 0;

    BattleClient()
    {
        net.SetUi(&ui);
        net.SetWorld(&world);
        host->address = {platform::kLoopbackIp, 3339};
        net.AttachHost(host, "me");
        word = net.MakeJoinRequest().word;
        net.AcceptWelcome(2);
    }

    // One datagram from the host, then the frame's handlers.
    void Receive(const std::vector<NetRecord>& records)
    {
        net.ReceiveDatagram(ProvedPacketOf(records, 0, word, ++sequence), host->address);
        net.ProcessIncoming();
    }
};

bool EveryUnitOnTheMap(const Army& army)
{
    const MapReach reach = ReachOfMap(400.0f);
    return std::all_of(army.GetUnits().begin(), army.GetUnits().end(),
                       [&](const std::unique_ptr<Unit>& unit) { return IsOnMap(unit->GetPosition(), reach); });
}

} // namespace

TEST_CASE("the host's unit states and starts far off the map never reach the client's battle")
{
    BattleWorld battle;
    Army& red = battle.AddArmy(4000);
    for (int i = 0; i < 12; ++i) {
        battle.AddUnit(red, i % 2 == 0 ? kSmashtor : kTriangoloid, static_cast<float>(i) * 3.0f, 10.0f);
    }
    BattleClient client;

    SUBCASE("unit states at z = 3e38 and -3e38 are refused, and the battle steps on")
    {
        std::vector<NetRecord> states;
        for (const float z : {3.0e38f, -3.0e38f}) {
            for (std::uint8_t unit = 0; unit < 12; ++unit) {
                UnitStateMessage state;
                state.head = {unit, red.GetId()};
                state.position = {static_cast<float>(unit), 0.0f, z};
                state.destination = state.position;
                state.order = kOrderMove;
                state.hitPoints = 5;
                states.push_back(state);
            }
        }
        client.Receive(states);
        battle.Frame(120);
        CHECK(EveryUnitOnTheMap(red));

        // A state on the map is taken, so the refusal above was the check's.
        UnitStateMessage near;
        near.head = {0, red.GetId()};
        near.position = {50.0f, 0.0f, -60.0f};
        near.destination = near.position;
        near.order = kOrderIdle;
        near.hitPoints = 5;
        client.Receive({near});
        CHECK(red.GetUnits()[0]->GetPosition().x == doctest::Approx(50.0f));
        battle.Frame(10);
        CHECK(EveryUnitOnTheMap(red));
    }
    SUBCASE("starts at 3e38 and -3e38 put the armies on the map")
    {
        client.ui.screen = kScreenUnitSelection;
        PlayerSlotsMessage slots;
        slots.slots[0] = {{2, 2, 2, 2, 2}, {3.0e38f, 0.0f, -3.0e38f}, 1, "far", 0xFFFF0000u, 0};
        slots.slots[1] = {{2, 2, 2, 2, 2}, {-3.0e38f, 3.0e38f, 3.0e38f}, 1, "farther", 0xFF00FF00u, 0};
        client.net.ReceivePacket(PacketOf({slots}, 0, kChannelTcp), client.host->address, client.host, false);
        client.net.ProcessIncoming();
        REQUIRE(client.ui.matchesStarted == 1);
        for (const std::size_t i : {0u, 1u}) {
            // As the game makes a network army: its start put on this map, then placed.
            const Vec3 start = GameNetWorld::StartOnMap(client.ui.startedWith.slots[i].start);
            CHECK(IsOnMap(start, ReachOfMap(400.0f)));
            Army& army = battle.AddArmy(4000);
            for (int u = 0; u < 10; ++u) {
                REQUIRE(army.AddUnit(u % 2 == 0 ? kSmashtor : kTrajectagon));
            }
            army.Place(start.x, start.y, start.z);
            battle.Frame(30);
            CHECK(EveryUnitOnTheMap(army));
        }
    }
}

TEST_CASE("a client takes the state of a unit fleeing toward a point far past the map")
{
    BattleWorld battle;
    Army& red = battle.AddArmy(4000);
    Army& blue = battle.AddArmy(4000);
    Unit& shooter = battle.AddUnit(red, kTrajectagon, 150.0f, 0.0f);
    Unit& smashtor = battle.AddUnit(blue, kSmashtor, 147.0f, 0.0f);
    // Past the interval between one attacker's strikes, then struck: the
    // shooter flees, every frame for a point fifty times its distance from
    // the attacker beyond itself.
    battle.Frame(30);
    shooter.OnHit(smashtor);
    REQUIRE(shooter.GetOrder() == kOrderRetreat);
    battle.Frame(10);
    REQUIRE(shooter.GetOrder() == kOrderRetreat);
    const MapReach reach = ReachOfMap(400.0f);
    REQUIRE(IsOnMap(shooter.GetPosition(), reach));
    REQUIRE_FALSE(IsOnMap(shooter.GetDestination(), reach));

    // What the host sends of it; the client's copy has fallen behind.
    MatchWorld host;
    UnitStateMessage state;
    REQUIRE(host.ReadUnitState(0, 0, state));
    shooter.SetPosition({100.0f, 0.0f, 30.0f});
    shooter.SetDestination(100.0f, 0.0f, 30.0f);
    BattleClient client;
    client.Receive({state});
    CHECK(shooter.GetPosition().x == doctest::Approx(state.position.x));
    CHECK(shooter.GetPosition().z == doctest::Approx(state.position.z));
    CHECK(shooter.GetDestination().x == doctest::Approx(state.destination.x));
    CHECK(shooter.GetDestination().x > reach.across);
    // It runs on toward that point, and the walls keep it on the map.
    battle.Frame(60);
    CHECK(shooter.GetPosition().x > state.position.x);
    CHECK(EveryUnitOnTheMap(red));
}
