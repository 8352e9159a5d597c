// The computer's plan for Steal the Bacon: the hill plan, with every group
// sent after the bacon wherever it has been pushed.
#pragma once

#include "game/LastManStrategy.h"

class StealTheBaconStrategy : public LastManStrategy {
public:
    explicit StealTheBaconStrategy(ComputerArmy& army) : LastManStrategy(army) {}

protected:
    Vec3 AimPoint(float distance) const override;
    Vec3 OpeningPoint(float distance, int coin) const override;
};
