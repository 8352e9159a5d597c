// The plan of a computer army for the mode being played: where its groups go
// to win. Every strategy re-plans on one interval shared by all computer
// armies (10 s, 2 s for the rest of the run once any Last Man On The Hill or
// Steal the Bacon endgame has begun). A plan first asks the army's controller
// whether an enemy is in contact: after 7.5 s of contact the army engages the
// nearest live army instead of planning.
//
// The modes' plans derive from this: LastManStrategy (and StealTheBacon
// over it), TerritoriesStrategy and BodyCountStrategy.
#pragma once

#include "game/Battle.h"
#include "platform/math/Vector.h"

#include <cstdint>
#include <memory>

class ComputerArmy;
class Unit;

class AiStrategy {
public:
    static float GetReplanInterval();
    static void LowerReplanInterval();
    // The interval is never raised again while the game runs; tests start
    // from the first value.
    static void ResetReplanInterval();

    // The strategy of mode, or none (King Of The Hill has no plan).
    static std::unique_ptr<AiStrategy> Create(GameMode mode, ComputerArmy& army);

    // aggression is the controller's appetite for marching on the nearest
    // enemy as time runs out (the base value plus -5 to 4 at random).
    AiStrategy(ComputerArmy& army, int aggressionBase);
    virtual ~AiStrategy() = default;
    AiStrategy(const AiStrategy&) = delete;
    AiStrategy& operator=(const AiStrategy&) = delete;

    // The first call plans at once, later ones every interval.
    void Think();
    // False while the army is committed to an endgame, so it starts no
    // flank; true otherwise.
    virtual bool IsDone() const { return true; }
    float GetAggression() const { return aggression_; }

    // A point at a random angle and a random whole distance below radius
    // from the map's centre (a radius below 1 gives the centre itself).
    static Vec3 RandomPoint(float radius);
    // -5 to 4 from the game's generator.
    static int RandomOffset();

protected:
    virtual void Plan() = 0;
    ComputerArmy& GetArmy() const { return army_; }

private:
    bool EngageAfterContact();

    ComputerArmy& army_;
    std::int64_t replanTimer_ = 0;
    float aggression_ = 0.0f;
    bool firstThink_ = true;
};

// The first unit of the army's group that is not dying, or null.
Unit* FirstUnitOfGroup(const ComputerArmy& army, std::int32_t group);
