// Painting the world models' pictures from periodic noise. The colours sit
// between the four maps' grounds (desert sand and sandstone, grassland, tundra
// snow and ice, the mossy flagstones of Ex-Cathedra) so one tree and one rock
// belong on all of them: a dusty olive crown, grey-brown bark, a weathered
// grey-tan stone with lichen.
#include "ObjectTextures.h"

#include "Noise.h"

#include <cmath>

namespace datagen {

namespace {

constexpr int kSize = kObjectTextureSize;
constexpr int kHalf = kSize / 2;

Rgb Mix(const Rgb& a, const Rgb& b, float t)
{
    return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)};
}

Rgb Scale(const Rgb& c, float s)
{
    return {c.r * s, c.g * s, c.b * s};
}

// Noise over the picture with features `cells` across, tiling both ways.
float Tile(int x, int y, int cells, int octaves, unsigned seed)
{
    const float perCell = static_cast<float>(kSize) / static_cast<float>(cells);
    return PeriodicFbm(static_cast<float>(x) / perCell, static_cast<float>(y) / perCell, cells, octaves, seed);
}

Rgb Leaves(int x, int y, unsigned seed)
{
    const float tone = Tile(x, y, 16, 3, seed);
    const float clump = Tile(x, y, 4, 2, seed + 1);
    Rgb c = Mix({0.22f, 0.30f, 0.13f}, {0.45f, 0.52f, 0.24f}, tone);
    c = Mix(c, {0.55f, 0.56f, 0.30f}, 0.3f * SmoothStep(0.55f, 0.8f, clump)); // sunlit, dusty tips
    return Scale(c, 0.8f + 0.35f * SmoothStep(0.3f, 0.7f, clump));
}

Rgb Bark(int x, int y, unsigned seed)
{
    // Streaks run down the trunk: stretched noise, creased into furrows.
    const float perCell = static_cast<float>(kSize) / 16.0f;
    const float streak =
        PeriodicFbm(static_cast<float>(x) / perCell, static_cast<float>(y) / (4.0f * perCell), 16, 3, seed);
    const Rgb c = Mix({0.27f, 0.22f, 0.17f}, {0.48f, 0.42f, 0.34f}, streak);
    return Scale(c, 1.0f - 0.35f * Crease(streak, 6.0f));
}

void Paint(Image& image, int yFrom, int yTo, Rgb (*band)(int x, int y, unsigned seed), unsigned seed)
{
    for (int y = yFrom; y < yTo; ++y) {
        for (int x = 0; x < kSize; ++x) {
            image.Set(x, y, band(x, y, seed));
        }
    }
}

} // namespace

Image PaintTreeTexture(unsigned seed)
{
    Image image(kSize, kSize);
    Paint(image, 0, kHalf, Leaves, seed);
    Paint(image, kHalf, kSize, Bark, seed + 10);
    return image;
}

Image PaintSnowTreeTexture(unsigned seed)
{
    Image image(kSize, kSize);
    for (int y = 0; y < kHalf; ++y) {
        for (int x = 0; x < kSize; ++x) {
            // Snow lies thick at each tier's tip and in drifts down its slope.
            const float down = static_cast<float>(y) / static_cast<float>(kHalf);
            const float drift = Tile(x, y, 8, 3, seed + 3);
            const float snow = SmoothStep(0.7f, 0.35f, down + 0.45f * (drift - 0.5f));
            const float needles = Tile(x, y, 32, 2, seed + 4);
            const Rgb green = Mix({0.10f, 0.20f, 0.13f}, {0.20f, 0.33f, 0.21f}, needles);
            image.Set(x, y, Mix(green, Mix({0.82f, 0.88f, 0.95f}, {0.97f, 0.98f, 1.0f}, drift), snow));
        }
    }
    Paint(image, kHalf, kSize, Bark, seed + 10);
    return image;
}

Image PaintRockTexture(unsigned seed)
{
    Image image(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float tone = Tile(x, y, 8, 4, seed);
            const float crack = Crease(Tile(x, y, 4, 3, seed + 1), 12.0f);
            const float lichen = SmoothStep(0.62f, 0.75f, Tile(x, y, 16, 2, seed + 2));
            Rgb c = Mix({0.47f, 0.44f, 0.40f}, {0.68f, 0.63f, 0.55f}, tone);
            c = Mix(c, {0.55f, 0.57f, 0.36f}, 0.6f * lichen);
            image.Set(x, y, Scale(c, 1.0f - 0.45f * crack));
        }
    }
    return image;
}

Image PaintIceTexture(unsigned seed)
{
    Image image(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float tone = Tile(x, y, 4, 3, seed);
            const float vein = Crease(Tile(x, y, 8, 3, seed + 1), 10.0f);
            const float frost = Tile(x, y, 32, 2, seed + 2);
            Rgb c = Mix({0.45f, 0.66f, 0.82f}, {0.80f, 0.92f, 0.98f}, tone);
            c = Mix(c, {0.96f, 0.99f, 1.0f}, 0.7f * vein + 0.2f * frost);
            image.Set(x, y, c);
        }
    }
    return image;
}

Image PaintFlagTexture(unsigned seed)
{
    Image image(kSize, kSize);
    for (int y = 0; y < kHalf; ++y) {
        for (int x = 0; x < kSize; ++x) {
            // Light cloth with a fine weave and a darker border band, so the
            // flag's colour shows bright with a hem.
            const float weave = 0.04f * static_cast<float>((x + y) % 2) + 0.05f * Tile(x, y, 32, 2, seed);
            const bool hem = y < 5 || y >= kHalf - 5;
            image.Set(x, y, Scale({0.95f, 0.95f, 0.95f}, (hem ? 0.72f : 0.97f) - weave));
        }
    }
    for (int y = kHalf; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            // Brushed metal: fine streaks round the pole.
            const float streak = Tile(x, y / 8, 64, 2, seed + 5);
            image.Set(x, y, Mix({0.45f, 0.47f, 0.50f}, {0.78f, 0.80f, 0.83f}, streak));
        }
    }
    return image;
}

} // namespace datagen
