// Each of the five unit types kills on flat ground: the death is counted
// (the debris is the unit test's part) and Detagons blow up as they should;
// and an Artillerator's shell blasts only on dry ground, only where the
// battle has authority.
#include "BattleTestWorld.h"

#include <array>

using namespace units_test;

namespace {

// Far enough that each type has to close in (or, for the shooters, stays in
// reach), near enough that the fight starts soon.
constexpr std::array<float, kUnitTypeCount> kStartDistance = {6.0f, 6.0f, 20.0f, 20.0f, 6.0f};

} // namespace

// Each attacking type once: each attacks in its own way, and the damage and
// the death that follow go through the same code whatever the defender. The
// melee pairs meet a Detagon, which goes off when killed.
TEST_CASE("each unit type kills on flat ground and the death is counted")
{
    const std::pair<UnitType, UnitType> pairs[] = {{kSmashtor, kDetagon},
                                                   {kTriangoloid, kDetagon},
                                                   {kTrajectagon, kArtillerator},
                                                   {kArtillerator, kTriangoloid},
                                                   {kDetagon, kSmashtor}};
    for (const auto& [attackerType, defenderType] : pairs) {
        INFO(GetUnitTypeName(attackerType) << " on " << GetUnitTypeName(defenderType));
        BattleWorld world;
        Army& red = world.AddArmy();
        Army& blue = world.AddArmy();
        Unit& attacker = world.AddUnit(red, attackerType, 0.0f, 0.0f);
        Unit& defender = world.AddUnit(blue, defenderType, kStartDistance[attackerType], 0.0f);
        // The defender neither strikes back nor calls for help.
        defender.SetOrder(kOrderStand, false);
        OrderAttack(attacker, defender);
        defender.SetHitPoints(1);
        REQUIRE(world.RunUntil(20.0f, [&blue] { return blue.GetUnits().empty(); }));
        CHECK(blue.GetDeadCount() == 1);
        CHECK(red.GetDamageDealt() == 1);
        CHECK(blue.GetDamageTaken() == 1);
        const bool melee = attackerType == kSmashtor || attackerType == kTriangoloid;
        if (defenderType == kDetagon && melee) {
            // Destroyed by another type, a Detagon goes off in its killer's face.
            CHECK(attacker.GetHitPoints() < GetUnitTypeStats(attackerType).hitPoints);
        }
        if (attackerType == kDetagon) {
            CHECK(CountSeen(BattleEffect::kSelfDestructExplosion) == 1);
            // Its own blast killed it too, and that counts for nobody.
            world.Frame();
            CHECK(red.GetUnits().empty());
            CHECK(red.GetDamageTaken() == 0);
            CHECK(blue.GetDamageDealt() == 0);
        }
    }
}

TEST_CASE("a shell blasts where it comes down on dry ground, on the machine with authority only")
{
    for (const bool authority : {true, false}) {
        for (const float water : {-50.0f, 3.0f}) {
            CAPTURE(authority);
            CAPTURE(water);
            BattleWorld world(water);
            Battle::Instance()->SetAuthority(authority);
            Unit& gun = world.AddUnit(world.AddArmy(), kArtillerator, -20.0f, 0.0f);
            Unit& bystander = world.AddUnit(world.AddArmy(), kTriangoloid, 0.0f, 0.0f);
            // The blast is centred 4.5 below the shell: 3.0 from the
            // bystander's base, half of its radius.
            Projectile* const shell = Battle::Instance()->AddProjectile(std::make_unique<Projectile>(
                Vec3(0.0f, 1.5f, 0.0f), ObjectMeshType::Bullet2, Vec3(0.0f, 1.0f, 0.0f), 0.0f, &gun));
            shell->Remove();
            const bool blast = authority && water < 0.0f;
            CHECK(bystander.GetHitPoints() == bystander.GetFullHitPoints() - (blast ? 5 : 0));
            CHECK(CountSeen(BattleEffect::kSplashExplosion) == (blast ? 1 : 0));
            CHECK(Battle::Instance()->GetProjectiles().empty());
            CHECK(Battle::Instance()->GetRetiredCount() == 1);
            // A second event for the same shell finds nothing to do.
            shell->Remove();
            CHECK(Battle::Instance()->GetRetiredCount() == 1);
        }
    }
}
