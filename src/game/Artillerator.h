// The Artillerator: a heavy gun. In reach it winds up, fires a shell that
// blasts where it lands (unless in water), recoils and cools down; out of
// reach it walks closer. Melee attackers put it to flight.
#pragma once

#include "game/RangedUnit.h"

class Artillerator : public RangedUnit {
public:
    Artillerator(float x, float y, float z, Army* army, std::uint8_t index, std::uint8_t armyId);

    void Attack() override;
    // At the end of the wind-up: the shot, aimed again at where the target
    // is now. With no way to reach it, no shell: straight to the cool-down.
    void FireShell();
    // At the end of the recoil: ready again 2.5 s later.
    void CoolDown();

    // A shell came down on dry ground: area damage around it.
    static void Blast(Projectile& shell);
};
