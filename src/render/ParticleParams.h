// How one particle system emits: where from and which way, how fast and for
// how long its particles fly, how they fall, their size, their colour from
// birth to death and which of the particle textures they wear. The
// ParticleManager holds one fixed set per system and moves only the
// position (and for some bursts the direction) before each burst.
#pragma once

#include "platform/math/Vector.h"

#include <cstdint>

// The particle textures, by a system's textureIndex.
enum ParticleTexture : std::uint32_t {
    kParticleSmoke = 0,
    kParticleExplosion = 1,
    kParticleEnergy = 2,
    kParticleTextureCount = 3,
};

struct ParticleParams {
    Vec3 position;       // the emitter, set before every burst
    Vec3 direction;      // the base direction of emission
    Vec3 acceleration;   // units per second squared, the same for every particle
    float spread = 0.0f; // length of the random unit vector added to the direction
    float speedMin = 0.0f;
    float speedRange = 0.0f;       // speeds are uniform in speedMin .. speedMin + speedRange
    float lifeMin = 0.0f;          // seconds
    float lifeRange = 0.0f;        // lives are uniform in lifeMin .. lifeMin + lifeRange
    float size = 1.0f;             // point-sprite size, in world units at one viewport height
    std::uint32_t startColour = 0; // ARGB at birth
    std::uint32_t endColour = 0;   // ARGB at the end of life
    std::uint32_t textureIndex = kParticleSmoke;
};
