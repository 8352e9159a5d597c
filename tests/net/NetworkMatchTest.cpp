#include "../units/BattleTestWorld.h"
#include "LoopbackSession.h"
#include "app/Game.h"
#include "app/GameNetWorld.h"
#include "net/NetSenders.h"

#include <doctest/doctest.h>

using units_test::BattleWorld;

TEST_CASE("a client's order moves the host's real unit and the host's unit states reach the client")
{
    // The game first: made later, it would hand the physics its own empty ground.
    Game::Instance()->SetSetting(kSettingGameState, kStateMatch);
    BattleWorld battle;
    Army& red = battle.AddArmy(4000);
    Unit& unit = battle.AddUnit(red, kSmashtor, 0.0f, 0.0f);
    GameNetWorld hostWorld;

    LoopbackSession session(22600, 1);
    session.Host().net->SetWorld(&hostWorld);
    REQUIRE(session.StartHosting());
    REQUIRE(session.JoinAll());
    NetPeer& client = session.Client(0);
    const UnitHead head{unit.GetIndex(), red.GetId()};

    SUBCASE("the order arrives and the unit walks to it")
    {
        const Vec3 point{40.0f, 0.0f, 0.0f};
        SendMoveOrder(*client.net, head, point);
        REQUIRE(session.Pump([&] { return unit.GetDestination().x == doctest::Approx(point.x); }));
        CHECK(unit.GetOrder() == kOrderMove);
        battle.Frame(60);
        CHECK(unit.GetPosition().x > 1.0f);
    }
    SUBCASE("the host's sync carries the unit's state")
    {
        unit.SetPosition({12.0f, 0.0f, -3.0f});
        client.world.Populate(1, 1);
        client.world.armies[0][0].head = head;
        session.Host().net->GetUnitStateSync().Tick(hostWorld, session.Host().net->UdpPair());
        REQUIRE(session.Pump([&] { return client.world.armies[0][0].position.x == 12.0f; }));
        CHECK(client.world.armies[0][0].position.z == -3.0f);
        CHECK(client.world.armies[0][0].hitPoints == unit.GetHitPoints());
    }
    Game::Instance()->SetSetting(kSettingGameState, kStateMenus);
}
