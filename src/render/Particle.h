// One particle of a system's fixed pool: where it is and where it goes, its
// colour and how that changes each second, and how long it has lived of its
// life. Particles are chained by pool index into the system's active or free
// list, so the pool never moves or grows.
#pragma once

#include "platform/math/Color.h"
#include "platform/math/Vector.h"

#include <cstdint>

struct Particle {
    static constexpr std::int32_t kNone = -1;

    Vec3 position;
    Vec3 velocity;
    ColorValue colourDelta; // change per second, so the colour reaches the end colour at the end of life
    ColorValue colour;
    float life = 0.0f;         // seconds
    float age = 0.0f;          // seconds
    std::int32_t next = kNone; // the next particle of the list it is in
};
