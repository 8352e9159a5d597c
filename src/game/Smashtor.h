// The Smashtor: a melee unit that hops, leaps at its target from the top of
// the hop and strikes by contact while it attacks.
#pragma once

#include "game/Unit.h"

class Smashtor : public Unit {
public:
    Smashtor(float x, float y, float z, Army* army, std::uint8_t index, std::uint8_t armyId);

    void Attack() override;
    // At the top of the hop: a leap at a target within 10.0.
    void Leap();
    // Back on the ground: the attack ends two seconds later.
    void Land();
};
