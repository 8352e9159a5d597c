// A unit's orders and hits: what SetOrder allows, the handlers' transitions,
// routes, strikes, explosions and the alert of idle comrades.
#include "BattleTestWorld.h"

#include "app/GameNetWorld.h"

#include <cmath>
#include <limits>
#include <utility>

using namespace units_test;

TEST_CASE("a unit's orders, routes and hits")
{
    BattleWorld world;
    Army& red = world.AddArmy();
    Army& blue = world.AddArmy();
    Unit& unit = world.AddUnit(red, kSmashtor, 0.0f, 0.0f);

    SUBCASE("an order out of range is refused and nothing leads out of Dying")
    {
        CHECK_FALSE(unit.SetOrder(kOrderCount, false));
        CHECK(unit.GetOrder() == kOrderIdle);
        unit.UpdateOrder();
        CHECK(unit.GetOrderStarted());
        CHECK(unit.SetOrder(kOrderIdle, false)); // the same order keeps its start-up
        CHECK(unit.GetOrderStarted());
        CHECK(unit.SetOrder(kOrderStand, true));
        CHECK(unit.GetOrderStarted());
        CHECK(unit.SetOrder(kOrderEngage, false));
        CHECK_FALSE(unit.GetOrderStarted());
        CHECK(unit.SetOrder(kOrderDying, false));
        for (std::uint32_t order = 0; order < kOrderCount; ++order) {
            CHECK(unit.SetOrder(order, false) == (order == kOrderDying));
            CHECK(unit.GetOrder() == kOrderDying);
        }
    }
    SUBCASE("health skins from 9 at full health to 0, whatever the hit points")
    {
        Unit& tri = world.AddUnit(red, kTriangoloid, 5.0f, 0.0f);
        for (const auto& [hitPoints, level] : {std::pair{11, 9}, {1, 0}, {-2000000000, 0}, {2000000000, 9}}) {
            tri.SetHitPoints(hitPoints);
            CHECK(tri.GetHealthLevel() == level);
        }
        CHECK(tri.GetHitPoints() == 12); // the hit points are held to the type's full health
    }
    SUBCASE("routes: MoveTo replaces, AddWaypoint queues, and a finished walk goes idle")
    {
        unit.SetOrder(kOrderMove, false);
        unit.UpdateOrder();
        unit.MoveTo({10.0f, 0.0f, 0.0f});
        unit.AddWaypoint({20.0f, 0.0f, 0.0f});
        unit.AddWaypoint({30.0f, 0.0f, 0.0f});
        CHECK(unit.GetDestination() == Vec3(10.0f, 0.0f, 0.0f));
        unit.OnArrived();
        CHECK(unit.GetDestination() == Vec3(20.0f, 0.0f, 0.0f));
        unit.OnArrived();
        unit.OnArrived();
        CHECK(unit.GetOrder() == kOrderIdle);
        CHECK(unit.GetOrderStarted()); // no second start-up
        CHECK(unit.GetAnimationController().GetAnimation() == kAnimationIdle);
        unit.MoveTo({5.0f, 0.0f, 5.0f});
        CHECK(unit.GetWaypoints().empty());
    }
    SUBCASE("Engage: idle at once without an enemy, a search within 70, attack strictly inside the range")
    {
        unit.SetOrder(kOrderEngage, false);
        unit.UpdateOrder();
        CHECK(unit.GetOrder() == kOrderIdle);
        CHECK(unit.GetDestination() == unit.GetPosition());

        world.AddUnit(blue, kTriangoloid, 71.0f, 0.0f); // beyond the search
        unit.SetTargets({nullptr, &blue, nullptr});
        unit.SetOrder(kOrderEngage, false);
        unit.UpdateOrder();
        CHECK(unit.GetOrder() == kOrderIdle);

        Unit& near = world.AddUnit(blue, kTriangoloid, 2.0f, 0.0f);
        unit.SetOrder(kOrderEngage, false);
        unit.UpdateOrder();
        CHECK(unit.GetTargets().target == &near);
        CHECK(unit.GetOrder() == kOrderEngage); // 2.0 is not inside the range of 2
        near.SetPosition({1.9f, 0.0f, 0.0f});
        unit.UpdateOrder();
        CHECK(unit.GetOrder() == kOrderAttack);
    }
    SUBCASE("an attack order whose unit died before it came fights that unit's army, as one a frame sooner does")
    {
        // A client's player clicks a blue unit; on the host it dies while
        // the order is on its way, so the order comes naming a unit the
        // host no longer knows: the army alone. A frame sooner it would
        // have named a dying unit.
        Unit& named = world.AddUnit(blue, kTriangoloid, 50.0f, 0.0f);
        Unit& next = world.AddUnit(blue, kSmashtor, 0.0f, 40.0f);
        const AttackOrderMessage order{{unit.GetIndex(), red.GetId()},
                                       named.GetPosition(),
                                       {named.GetIndex(), kNoUnitByte, blue.GetId(), kNoUnitByte},
                                       0};
        GameNetWorld host;
        named.SetOrder(kOrderDying, true);
        REQUIRE(host.AttackWith(order));
        CHECK(unit.GetTargets().target == &named);
        unit.UpdateOrder();
        CHECK(unit.GetOrder() == kOrderEngage);
        CHECK(unit.GetTargets().target == &next);

        unit.SetOrder(kOrderIdle, false);
        blue.RemoveUnit(named.GetIndex());
        REQUIRE(host.AttackWith(order));
        CHECK(unit.GetTargets().target == nullptr);
        CHECK(unit.GetTargets().targetArmy == &blue);
        unit.UpdateOrder();
        CHECK(unit.GetOrder() == kOrderEngage);
        CHECK(unit.GetTargets().target == &next);
        CHECK(unit.GetTargets().targetArmy == &blue);
    }
    SUBCASE("strikes: one per attacker per 0.35 s, none from comrades, and idle comrades join in")
    {
        Unit& comrade = world.AddUnit(red, kDetagon, 44.0f, 0.0f);
        Unit& distant = world.AddUnit(red, kDetagon, 45.0f, 0.0f);
        Unit& busy = world.AddUnit(red, kDetagon, 5.0f, 0.0f);
        busy.SetOrder(kOrderBusy, false);
        Unit& first = world.AddUnit(blue, kSmashtor, 1.0f, 0.0f);
        Unit& second = world.AddUnit(blue, kTriangoloid, 1.0f, 1.0f);
        Unit& friendly = world.AddUnit(red, kTriangoloid, -1.0f, 0.0f);
        world.Advance(1.0);
        unit.OnHit(friendly);
        CHECK(unit.GetHitPoints() == 10);
        CHECK(CountHeard(BattleSound::kHit) == 1);
        unit.OnHit(first);
        unit.OnHit(first);
        unit.OnHit(second);
        CHECK(unit.GetHitPoints() == 8);
        CHECK(comrade.GetOrder() == kOrderEngage);
        CHECK(comrade.GetTargets().target == &first);
        CHECK(distant.GetOrder() == kOrderIdle); // not strictly within 45
        CHECK(busy.GetOrder() == kOrderBusy);
        world.Advance(0.36);
        unit.SetHitPoints(1);
        unit.OnHit(first);
        CHECK(unit.GetOrder() == kOrderDying);
    }
    SUBCASE("explosions: damage by falloff, comrades' kills remembered, computer armies turn as one")
    {
        Unit& gun = world.AddUnit(blue, kArtillerator, 20.0f, 0.0f);
        Projectile* const shell = Battle::Instance()->AddProjectile(std::make_unique<Projectile>(
            Vec3(20.0f, 5.0f, 0.0f), ObjectMeshType::Bullet2, Vec3(0.0f, 1.0f, 0.0f), 0.0f, &gun));
        const auto word = [](Physical* source) { return reinterpret_cast<ExplosionWord>(source); };
        Unit::ApplyDamage(&unit, 0.5, word(shell));
        CHECK(unit.GetHitPoints() == 5);
        Unit& detagon = world.AddUnit(red, kDetagon, 3.0f, 0.0f);
        Unit::ApplyDamage(&unit, 0.3, word(&detagon));
        CHECK(unit.GetHitPoints() == 1); // own-army blasts hurt too
        CHECK(unit.GetTargets().target == &gun);
        Unit::ApplyDamage(&unit, 0.1, word(&detagon));
        CHECK(unit.GetOrder() == kOrderDying);
        CHECK(unit.GetTargets().target == &detagon);
        Unit::ApplyDamage(shell, 1.0, word(&detagon)); // not a unit: ignored

        red.SetComputer(true);
        Unit& other = world.AddUnit(red, kSmashtor, -5.0f, 0.0f);
        Unit::ApplyDamage(&other, 0.1, word(&gun));
        CHECK(other.GetOrder() == kOrderEngage);
        CHECK(other.GetTargets().targetArmy == &blue);
        CHECK(unit.GetOrder() == kOrderDying); // the dying are not called back to fight
        blue.RemoveUnit(gun.GetIndex());
        Unit::ApplyDamage(&other, 0.1, word(shell)); // the gun's army is gone
        CHECK(other.GetTargets().target == &gun);
    }
    SUBCASE("hit points anywhere in the int's range take blows and blasts of any size without wrapping round")
    {
        constexpr std::int32_t kLeast = std::numeric_limits<std::int32_t>::min();
        constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
        Unit& smashtor = world.AddUnit(blue, kSmashtor, 1.0f, 0.0f);
        Unit& detagon = world.AddUnit(blue, kDetagon, 3.0f, 0.0f);
        const auto word = [](Physical* source) { return reinterpret_cast<ExplosionWord>(source); };
        world.Advance(1.0);
        unit.SetHitPoints(kLeast);
        unit.OnHit(smashtor);
        CHECK(unit.GetHitPoints() == kLeast);
        CHECK(unit.GetOrder() == kOrderDying);
        for (const double falloff : {1.0, 1.0e30, HUGE_VAL, std::nan(""), -1.0e30}) {
            CAPTURE(falloff);
            Unit::ApplyDamage(&unit, falloff, word(&detagon));
            CHECK(unit.GetHitPoints() == kLeast);
        }
        // From the most a unit may hold, a blast past the int's range ends at
        // its least; one that is no number, or below nothing, does nothing.
        Unit& other = world.AddUnit(red, kTriangoloid, -3.0f, 0.0f);
        other.SetHitPoints(kMost);
        REQUIRE(other.GetHitPoints() == 12);
        Unit::ApplyDamage(&other, std::nan(""), word(&detagon));
        Unit::ApplyDamage(&other, -1.0e30, word(&detagon));
        CHECK(other.GetHitPoints() == 12);
        Unit::ApplyDamage(&other, 1.0e30, word(&detagon));
        CHECK(other.GetHitPoints() == kLeast);
    }
    SUBCASE("a received unit state's hit points are held between none and the type's full health")
    {
        GameNetWorld client;
        UnitStateMessage state;
        REQUIRE(client.ReadUnitState(0, 0, state));
        constexpr std::int32_t kLeast = std::numeric_limits<std::int32_t>::min();
        constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
        for (const auto& [sent, taken] : {std::pair{kLeast, 0}, {-3, 0}, {0, 0}, {7, 7}, {11, 10}, {kMost, 10}}) {
            CAPTURE(sent);
            state.hitPoints = sent;
            REQUIRE(client.ApplyUnitState(state));
            CHECK(unit.GetHitPoints() == taken);
        }
        // The next blow after the least the host may send.
        state.hitPoints = kLeast;
        REQUIRE(client.ApplyUnitState(state));
        Unit& smashtor = world.AddUnit(blue, kSmashtor, 1.0f, 0.0f);
        world.Advance(1.0);
        unit.OnHit(smashtor);
        CHECK(unit.GetHitPoints() == -1);
    }
    // The killer's army's count is the attack tests' part, for every type.
    SUBCASE("dying: debris and the sound, nothing counted for comrades or after the match, and a client waits")
    {
        Unit& killer = world.AddUnit(blue, kSmashtor, 3.0f, 0.0f);
        unit.SetTargets({&killer, &blue, &killer});
        unit.SetOrder(kOrderDying, false);
        unit.UpdateOrder();
        CHECK(red.GetUnits().empty());
        CHECK(CountHeard(BattleSound::kFallApart) == 1);
        const std::vector<std::unique_ptr<Projectile>>& debris = Battle::Instance()->GetProjectiles();
        REQUIRE(debris.size() == 10);
        for (const std::unique_ptr<Projectile>& piece : debris) {
            CHECK(piece->GetCollisionType() == kCollisionNone);
            CHECK(piece->GetSteering());
            CHECK(piece->GetMeshType() >= ObjectMeshType::Debris1);
            CHECK(piece->GetMeshType() <= ObjectMeshType::Debris4);
        }

        Unit& comrade = world.AddUnit(blue, kSmashtor, 6.0f, 0.0f);
        killer.SetTargets({&comrade, &blue, &comrade});
        killer.SetOrder(kOrderDying, false);
        Battle::Instance()->SetMatchState(kMatchStatistics);
        comrade.SetTargets({nullptr, &red, nullptr});
        comrade.SetOrder(kOrderDying, false);
        blue.Update();
        CHECK(blue.GetDamageTaken() == 0);
        CHECK(red.GetDamageDealt() == 0);

        Battle::Instance()->SetMatchState(kMatchGameOn);
        Battle::Instance()->SetAuthority(false);
        Unit& client = world.AddUnit(red, kSmashtor, 9.0f, 0.0f);
        client.SetOrder(kOrderDying, false);
        client.UpdateOrder();
        CHECK(client.GetOrder() == kOrderBusy);
        CHECK(red.FindUnit(client.GetIndex()) == &client);
    }
}
