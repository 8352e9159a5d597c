// The Triangoloid: a melee unit that winds up, then lunges at its target and
// strikes by contact while it attacks.
#pragma once

#include "game/Unit.h"

class Triangoloid : public Unit {
public:
    Triangoloid(float x, float y, float z, Army* army, std::uint8_t index, std::uint8_t armyId);

    void Attack() override;
    // At the end of the wind-up, if still attacking.
    void Lunge();
};
