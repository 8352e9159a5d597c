// Each of the five unit types fights on flat ground: their attacks
// land with the damage of the attacker's type, kill, scatter debris and blow
// up as they should. Also the reach of the two shooters.
#include "BattleTestWorld.h"

#include "game/Artillerator.h"
#include "game/RangedUnit.h"

#include <array>
#include <cmath>
#include <string>

using namespace units_test;

namespace {

// Far enough that each type has to close in (or, for the shooters, stays in
// reach), near enough that the fight starts soon.
constexpr std::array<float, kUnitTypeCount> kStartDistance = {6.0f, 6.0f, 20.0f, 20.0f, 6.0f};

// Puts a unit somewhere else and keeps it there.
void Relocate(Unit& unit, const Vec3& at)
{
    unit.SetPosition(at);
    unit.MoveTo(at);
}

std::string Name(UnitType type)
{
    return GetUnitTypeName(type);
}

struct Duel {
    BattleWorld world;
    Army& red = world.AddArmy();
    Army& blue = world.AddArmy();
    Unit* attacker = nullptr;
    Unit* defender = nullptr;

    Duel(UnitType attackerType, UnitType defenderType)
    {
        attacker = &world.AddUnit(red, attackerType, 0.0f, 0.0f);
        defender = &world.AddUnit(blue, defenderType, kStartDistance[attackerType], 0.0f);
        // The defender neither strikes back nor calls for help.
        defender->SetOrder(kOrderStand, false);
        OrderAttack(*attacker, *defender);
    }
};

} // namespace

// Runs fight for each attacking type once: each attacks in its own way, and
// the damage and the death that follow go through the same code whatever
// the defender. The melee pairs meet a Detagon, which goes off when killed.
template <typename Fight> void ForEachAttacker(Fight fight)
{
    const std::pair<UnitType, UnitType> pairs[] = {{kSmashtor, kDetagon},
                                                   {kTriangoloid, kDetagon},
                                                   {kTrajectagon, kArtillerator},
                                                   {kArtillerator, kTriangoloid},
                                                   {kDetagon, kSmashtor}};
    for (const auto& [attackerType, defenderType] : pairs) {
        CAPTURE(Name(attackerType));
        CAPTURE(Name(defenderType));
        Duel duel(attackerType, defenderType);
        fight(duel, attackerType, defenderType);
    }
}

TEST_CASE("each unit type hurts and kills on flat ground")
{
    SUBCASE("the first strike takes the attacker's damage")
    {
        ForEachAttacker([](Duel& duel, UnitType attackerType, UnitType) {
            const std::int32_t damage = GetUnitTypeStats(attackerType).damage;
            const std::int32_t full = duel.defender->GetHitPoints();
            REQUIRE(duel.world.RunUntil(20.0f, [&] { return duel.defender->GetHitPoints() < full; }));
            const std::int32_t lost = full - duel.defender->GetHitPoints();
            if (attackerType == kDetagon) {
                // An explosion hurts by its falloff, never more than full strength.
                CHECK(lost >= 1);
                CHECK(lost <= damage);
            } else if (attackerType == kArtillerator) {
                // A shell that strikes the unit itself also blasts beside it.
                CHECK(lost >= 1);
                CHECK(lost <= 2 * damage);
            } else {
                CHECK(lost == damage);
            }
            CHECK(duel.defender->GetTargets().lastAttacker == duel.attacker);
            CHECK(duel.defender->GetTargets().targetArmy == &duel.red);
        });
    }
    SUBCASE("a strike that kills counts the death and scatters the unit")
    {
        ForEachAttacker([](Duel& duel, UnitType attackerType, UnitType defenderType) {
            duel.defender->SetHitPoints(1);
            REQUIRE(duel.world.RunUntil(20.0f, [&] { return duel.blue.GetUnits().empty(); }));
            CHECK(duel.blue.GetDeadCount() == 1);
            CHECK(duel.red.GetDamageDealt() == 1);
            CHECK(duel.blue.GetDamageTaken() == 1);
            // The debris is flying (a Detagon's own end adds its own ten).
            CHECK(Battle::Instance()->GetProjectiles().size() >= 10);
            const bool melee = attackerType == kSmashtor || attackerType == kTriangoloid;
            if (defenderType == kDetagon && melee) {
                // Destroyed by another type, a Detagon goes off in its killer's face.
                CHECK(duel.attacker->GetHitPoints() < GetUnitTypeStats(attackerType).hitPoints);
            }
            if (attackerType == kDetagon) {
                CHECK(CountSeen(BattleEffect::kSelfDestructExplosion) == 1);
                // Its own blast killed it too, and that counts for nobody.
                duel.world.Frame();
                CHECK(duel.red.GetUnits().empty());
                CHECK(duel.red.GetDamageTaken() == 0);
                CHECK(duel.blue.GetDamageDealt() == 0);
            }
        });
    }
}

TEST_CASE("the shooters reach as far as their launch speed allows and shells blast only on dry ground")
{
    SUBCASE("launch speeds on level ground and where no shot can reach")
    {
        CHECK(RangedUnit::LaunchSpeed({40.0f, 0.0f, 0.0f}, 30.0, 1.0) == doctest::Approx(7.394).epsilon(0.001));
        CHECK(RangedUnit::LaunchSpeed({50.0f, 0.0f, 0.0f}, 30.0, 1.0) > 8.0);
        CHECK(RangedUnit::LaunchSpeed({0.0f, 0.0f, 46.0f}, 30.0, 1.0) <= 8.0);
        CHECK(RangedUnit::LaunchSpeed({26.0f, 0.0f, 0.0f}, 30.0, 1.25) <= 6.0);
        CHECK(RangedUnit::LaunchSpeed({28.0f, 0.0f, 0.0f}, 30.0, 1.25) > 6.0);
        CHECK(std::isnan(RangedUnit::LaunchSpeed({0.5f, 0.0f, 0.0f}, 30.0, 1.0)));
        CHECK(std::isnan(RangedUnit::LaunchSpeed({10.0f, -20.0f, 0.0f}, 30.0, 1.25)));
        CHECK(std::isnan(RangedUnit::LaunchSpeed({30.0f, 0.0f, 0.0f}, 0.0, 1.0)));
    }
    SUBCASE("out of reach a shooter walks closer and engages again 0.3 s later")
    {
        Duel duel(kTrajectagon, kSmashtor);
        Relocate(*duel.defender, {55.0f, 0.0f, 0.0f});
        duel.world.Frame(2); // Engage, then Attack finds it out of reach
        CHECK(duel.attacker->GetOrder() == kOrderBusy);
        CHECK(duel.attacker->GetDestination() == duel.defender->GetPosition());
        CHECK(OrderQueue::Instance()->GetSize() == 1);
        duel.world.RunUntil(0.25f, [] { return false; });
        CHECK(OrderQueue::Instance()->GetSize() == 1);
        // Engage again, at once back in Attack, out of reach once more.
        duel.world.RunUntil(0.1f, [] { return false; });
        CHECK(duel.attacker->GetOrder() == kOrderBusy);
        CHECK(OrderQueue::Instance()->GetSize() == 1);
        CHECK(duel.attacker->GetPosition().x > 1.0f);
        CHECK(Battle::Instance()->GetProjectiles().empty());
    }
    SUBCASE("an Artillerator whose target leaves every solution fires nothing and cools down")
    {
        Duel duel(kArtillerator, kSmashtor);
        duel.world.Frame(2);
        REQUIRE(duel.attacker->GetOrder() == kOrderBusy);
        // Right under the muzzle there is no 45-degree shot.
        Relocate(*duel.defender, duel.attacker->GetPosition() + Vec3(0.3f, 0.0f, 0.0f));
        const double windUp = duel.attacker->GetAnimationController().GetPeriod(kAnimationSpecial);
        duel.world.RunUntil(static_cast<float>(windUp) + 0.1f, [] { return false; });
        CHECK(Battle::Instance()->GetProjectiles().empty());
        CHECK(CountHeard(BattleSound::kShot) == 0);
        CHECK(duel.attacker->GetOrder() == kOrderBusy);
        CHECK(duel.world.RunUntil(2.6f, [&] { return duel.attacker->GetOrder() == kOrderEngage; }));
    }
    SUBCASE("a Smashtor whose target is beyond its leap does not leap and engages two seconds after landing")
    {
        Duel duel(kSmashtor, kTriangoloid);
        Relocate(*duel.defender, {15.0f, 0.0f, 0.0f});
        duel.attacker->SetOrder(kOrderAttack, false);
        float seconds = 0.0f;
        REQUIRE(duel.world.RunUntil(6.0f, [&] {
            seconds += kFrame;
            return duel.attacker->GetOrder() == kOrderEngage;
        }));
        CHECK(CountHeard(BattleSound::kSwoosh) == 0);
        CHECK(seconds > 2.0f);
        CHECK(seconds < 3.0f);
    }
    SUBCASE("a shell blasts where it comes down on dry ground, on the machine with authority only")
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
    SUBCASE("shells fired at one point from both sides land in one step, and splash in water")
    {
        for (const float water : {-50.0f, 5.0f}) {
            CAPTURE(water);
            BattleWorld world(water);
            Army& red = world.AddArmy();
            for (const float x : {-20.0f, 20.0f}) {
                Unit& gun = world.AddUnit(red, kArtillerator, x, 0.0f);
                gun.SetSearchSuppressed(true);
                gun.SetDestination(0.0f, 0.0f, 0.0f);
                gun.SetOrder(kOrderAttack, false);
            }
            Unit& bystander = world.AddUnit(world.AddArmy(), kDetagon, 0.0f, 0.0f);
            bystander.SetOrder(kOrderStand, false);
            REQUIRE(world.RunUntil(5.0f, [] { return CountHeard(BattleSound::kShot) == 2; }));
            // No second round: a blast may throw a shell far, and it must come down first.
            for (const std::unique_ptr<Unit>& gun : red.GetUnits()) {
                gun->SetOrder(kOrderStand, false);
            }
            world.RunUntil(10.0f, [] { return false; });
            CHECK(CountHeard(BattleSound::kShot) == 2);
            CHECK(CountHeard(BattleSound::kPlop) == (water > 0.0f ? 2 : 0));
            CHECK(CountSeen(BattleEffect::kProjectileExplosion) == (water > 0.0f ? 2 : 0));
            // The live shells glow all the way, and launched under water they go out at once.
            CHECK(CountSeen(BattleEffect::kArtilleryTrail) > (water > 0.0f ? 1 : 20));
            for (const std::unique_ptr<Projectile>& left : Battle::Instance()->GetProjectiles()) {
                CHECK(left->GetCollisionType() == kCollisionNone); // only debris is left
            }
        }
    }
}
