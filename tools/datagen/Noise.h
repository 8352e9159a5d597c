// Deterministic noise for the generators: smooth value noise on a hashed
// lattice, plain for world-space relief and periodic for textures that must
// tile without a seam.
#pragma once

namespace datagen {

// A hash of a lattice point and seed, in [0, 1).
float LatticeValue(int x, int y, unsigned seed);

// Smooth value noise in [0, 1] with one lattice cell per unit.
float ValueNoise(float x, float y, unsigned seed);

// Value noise that repeats every period cells in x and y.
float PeriodicNoise(float x, float y, int period, unsigned seed);

// Octaves of value noise, each at twice the frequency and half the weight of
// the one before, normalised back to [0, 1].
float Fbm(float x, float y, int octaves, unsigned seed);

// The periodic form: x and y in cells of the first octave, which repeats
// every period cells; later octaves repeat within the same span.
float PeriodicFbm(float x, float y, int period, int octaves, unsigned seed);

// Sharp creases where the noise crosses its middle: 1 on the crease, falling
// towards 0 away from it. Cracks, ridges and veins.
float Crease(float noise, float sharpness);

float Clamp01(float v);
float SmoothStep(float edge0, float edge1, float v);
float Lerp(float a, float b, float t);

} // namespace datagen
