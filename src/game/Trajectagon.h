// The Trajectagon: a light shooter. In reach it stops and fires at once,
// then reloads; out of reach it walks closer. Melee attackers put it to flight.
#pragma once

#include "game/RangedUnit.h"

class Trajectagon : public RangedUnit {
public:
    Trajectagon(float x, float y, float z, Army* army, std::uint8_t index, std::uint8_t armyId);

    void Attack() override;
    // At the end of the shot's animation: ready again 2.5 s later.
    void Reload();
};
