// The Detagon: walks up to its target, lights its fuse and blows itself up,
// hurting friend and foe alike. Destroyed by any other type, it blows up too.
#pragma once

#include "game/Unit.h"

class Detagon : public Unit {
public:
    Detagon(float x, float y, float z, Army* army, std::uint8_t index, std::uint8_t armyId);

    void Attack() override;
    // At the end of the fuse: the unit dies, and with authority it blasts.
    void Detonate();

protected:
    void OnDestroyed() override;
};
