#include "Noise.h"

#include <cmath>
#include <cstdint>

namespace datagen {

namespace {

float Fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

int Wrap(int v, int period)
{
    const int m = v % period;
    return m < 0 ? m + period : m;
}

// Bilinear blend of the four lattice values around (x, y), with lattice
// coordinates taken modulo period when period > 0.
float LatticeBlend(float x, float y, int period, unsigned seed)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    int x0 = static_cast<int>(fx);
    int y0 = static_cast<int>(fy);
    int x1 = x0 + 1;
    int y1 = y0 + 1;
    if (period > 0) {
        x0 = Wrap(x0, period);
        y0 = Wrap(y0, period);
        x1 = Wrap(x1, period);
        y1 = Wrap(y1, period);
    }
    const float tx = Fade(x - fx);
    const float ty = Fade(y - fy);
    const float top = Lerp(LatticeValue(x0, y0, seed), LatticeValue(x1, y0, seed), tx);
    const float bottom = Lerp(LatticeValue(x0, y1, seed), LatticeValue(x1, y1, seed), tx);
    return Lerp(top, bottom, ty);
}

} // namespace

float LatticeValue(int x, int y, unsigned seed)
{
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xFFFFFFu) / 16777216.0f;
}

float ValueNoise(float x, float y, unsigned seed)
{
    return LatticeBlend(x, y, 0, seed);
}

float PeriodicNoise(float x, float y, int period, unsigned seed)
{
    return LatticeBlend(x, y, period, seed);
}

float Fbm(float x, float y, int octaves, unsigned seed)
{
    float sum = 0.0f;
    float weight = 1.0f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * ValueNoise(x, y, seed + 101u * i);
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        weight *= 0.5f;
    }
    return sum / total;
}

float PeriodicFbm(float x, float y, int period, int octaves, unsigned seed)
{
    float sum = 0.0f;
    float weight = 1.0f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * PeriodicNoise(x, y, period, seed + 101u * i);
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

float Crease(float noise, float sharpness)
{
    return std::pow(1.0f - std::fabs(2.0f * noise - 1.0f), sharpness);
}

float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

float SmoothStep(float edge0, float edge1, float v)
{
    const float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float Lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

} // namespace datagen
