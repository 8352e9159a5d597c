// The computer's plan for Last Man On The Hill: while time is plentiful the
// groups close in on the hill from their own side, at a distance that
// shrinks with the time left; in the last 20 seconds and in sudden death
// every group is sent to the hill, forced, and groups already on it fight
// the nearest enemy. StealTheBaconStrategy plays the same game around the
// bacon.
#pragma once

#include "game/AiStrategy.h"

class LastManStrategy : public AiStrategy {
public:
    explicit LastManStrategy(ComputerArmy& army);

    // Committed to the endgame: no more flanking.
    bool IsDone() const override { return !committed_; }
    float GetFlagDistance() const { return flagDistance_; }
    float GetAimSpread() const { return aimSpread_; }

protected:
    void Plan() override;
    // Where a group aims from distance: the army's side of the hill,
    // distance out from the centre, scattered sideways.
    virtual Vec3 AimPoint(float distance) const;
    // Where a group goes when time is plentiful; coin is this plan's toss.
    virtual Vec3 OpeningPoint(float distance, int coin) const;
    // The hill: the first flag, or the map's centre without one.
    static Vec3 HillPosition();

private:
    // False when no enemy unit is left to fight: the plan stops.
    bool PlayEndgame(std::int32_t group);

    float flagDistance_ = 0.0f;
    float aimSpread_ = 0.0f;
    bool committed_ = false;
};
