// A battle on a flat 400-unit map for the unit tests: the shipped unit data
// and models, the real physics with the battle's contact handlers, the manual
// clock, a fixed seed, and every battle sound and sight recorded. Frame runs the
// frame's order of work on the simulation.
#pragma once

#include "game/AnimationCallbacks.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/BattleCollisions.h"
#include "game/OrderQueue.h"
#include "game/Projectile.h"
#include "game/Unit.h"
#include "physics/Physics.h"
#include "platform/Random.h"
#include "world/MapData.h"
#include "world/Terrain.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace units_test {

inline constexpr float kFrame = 1.0f / 60.0f;

// Every battle sound heard and sight seen since the world was made.
inline std::vector<BattleSound> gHeardSounds;
inline std::vector<BattleEffect> gSeenEffects;

inline long CountHeard(BattleSound sound)
{
    return std::ranges::count(gHeardSounds, sound);
}

inline long CountSeen(BattleEffect effect)
{
    return std::ranges::count(gSeenEffects, effect);
}

inline float Flat(float, float)
{
    return 0.0f;
}

class BattleWorld {
public:
    explicit BattleWorld(float waterLevel = -50.0f, const std::function<float(float, float)>& height = Flat)
    {
        // The data files are found from the working directory, and logs
        // written there stay out of the data tree.
        testing::LinkDataTree(directory_.Path());
        platform::SeedRand(1234);
        ground_.LoadFromData(MakeHeightFieldMap(400.0f, 101, height, waterLevel));
        Physics* const physics = Physics::Instance();
        physics->Clear();
        physics->SetTerrain(&ground_);
        physics->SetCollisionHandlers(GetBattleCollisionHandlers());
        Battle* const battle = Battle::Instance();
        battle->SetTerrain(&ground_);
        battle->SetAuthority(true);
        battle->SetMode(kModeLastManOnTheHill);
        battle->SetMatchState(kMatchGameOn);
        battle->SetSoundHook([](BattleSound sound, float, float, float) { gHeardSounds.push_back(sound); });
        gHeardSounds.clear();
        battle->SetEffectHook([](BattleEffect effect, const Vec3&, const Vec3&) { gSeenEffects.push_back(effect); });
        gSeenEffects.clear();
    }
    ~BattleWorld()
    {
        Army::ResetIdCounter();
        Battle::Instance()->Clear();
        Battle::Instance()->SetTerrain(nullptr);
        Physics::Instance()->SetCollisionHandlers({});
        Physics::Instance()->SetTerrain(nullptr);
    }
    BattleWorld(const BattleWorld&) = delete;
    BattleWorld& operator=(const BattleWorld&) = delete;

    Army& AddArmy(std::uint32_t points = 100)
    {
        auto army = std::make_unique<Army>();
        army->SetPoints(points);
        return *Battle::Instance()->AddArmy(std::move(army));
    }

    // A unit of type standing still at (x, ground, z).
    Unit& AddUnit(Army& army, UnitType type, float x, float z)
    {
        REQUIRE(army.AddUnit(type));
        Unit& unit = *army.GetUnits().back();
        const Vec3 at(x, ground_.HeightAt(x, z), z);
        unit.SetPosition(at);
        unit.MoveTo(at);
        return unit;
    }

    // The frame's order of work, kFrame seconds of game time each.
    void Frame(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            clock_.Advance(kFrame);
            AnimationCallbacks::Instance()->Update();
            OrderQueue::Instance()->Update();
            UpdateArmies(*Battle::Instance());
            Battle::Instance()->UpdateProjectiles();
            Physics::Instance()->Step(kFrame);
            Battle::Instance()->FreeRetired();
        }
    }

    // Frames until done says so or seconds pass; true when done said so.
    bool RunUntil(float seconds, const std::function<bool()>& done)
    {
        for (float t = 0.0f; t < seconds; t += kFrame) {
            Frame();
            if (done()) {
                return true;
            }
        }
        return false;
    }

    void Advance(double seconds) { clock_.Advance(seconds); }
    const Terrain& Ground() const { return ground_; }

private:
    testing::TempDirectory directory_;
    testing::ManualClockScope clock_;
    Terrain ground_;
};

// Sets unit on target with a commanded target, as the player's attack order does.
inline void OrderAttack(Unit& unit, Unit& target)
{
    unit.SetTargets({&target, target.GetArmy(), &target});
    unit.SetTargetAssigned(true);
    unit.SetOrder(kOrderEngage, false);
}

} // namespace units_test
