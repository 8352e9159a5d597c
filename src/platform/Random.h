// The game's one random generator, with the contract of the C library's
// rand/srand: values 0 to 32767 (game code divides by kRandMax), the same
// sequence for the same seed on every machine.
#pragma once

namespace platform {

inline constexpr int kRandMax = 32767;

int Rand();
void SeedRand(unsigned seed);

} // namespace platform
