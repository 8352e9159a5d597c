// A linear congruential generator with the classic 15-bit output, so results
// repeat across machines and C libraries (glibc's rand has a different range).
#include "platform/Random.h"

#include <cstdint>

namespace platform {

namespace {
std::uint32_t g_state = 1;
}

int Rand()
{
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

void SeedRand(unsigned seed)
{
    g_state = seed;
}

} // namespace platform
