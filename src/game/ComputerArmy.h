// An army the computer plays: each frame its mode strategy plans where the
// groups go, its controller decides when to fight, and then its units run
// their orders like any army's. It owns both brains. An army with no live
// unit left plans nothing.
#pragma once

#include "game/Army.h"
#include "game/ArmyAIController.h"
#include "game/Battle.h"

#include <memory>

class AiStrategy;

class ComputerArmy : public Army {
public:
    ComputerArmy();
    ~ComputerArmy() override;

    void Update() override;

    // The brains for the mode (King Of The Hill has no strategy, only the
    // controller), once the army has its units and its place.
    void SetupStrategies(GameMode mode);
    AiStrategy* GetStrategy() const { return strategy_.get(); }
    ArmyAIController* GetController() const { return controller_.get(); }

    // Sends group to point in a square, unless its first unit is busy with
    // something other than standing or walking; force sends it anyway.
    void OrderGroup(const Vec3& point, std::int32_t group, bool force);
    // Every unit that is not dying turns on enemy's first live unit; an
    // enemy with no live unit is left alone.
    void EngageArmy(Army& enemy);
    // Any unit engaging or attacking.
    bool IsFighting() const;
    // The other army's strength over this one's; 0 when this one has none.
    double GetStrengthRatio(const Army& other) const;

private:
    std::unique_ptr<AiStrategy> strategy_;
    std::unique_ptr<ArmyAIController> controller_;
};
