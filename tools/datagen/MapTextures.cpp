// Ground, skirt and water pictures for the maps. Every pattern is periodic
// over the picture (noise on a wrapped lattice, waves with whole numbers of
// periods), because the ground repeats each picture many times across a map.
#include "MapTextures.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr float kTwoPi = 6.28318531f;

Rgb Mix(const Rgb& a, const Rgb& b, float t)
{
    return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)};
}

Rgb Scale(const Rgb& c, float s)
{
    return {c.r * s, c.g * s, c.b * s};
}

// Broad tone of a material: noise with `cells` lattice cells across the picture.
float Tone(int px, int py, int cells, int octaves, unsigned seed)
{
    const float f = static_cast<float>(cells) / kGroundTextureSize;
    return PeriodicFbm(px * f, py * f, cells, octaves, seed);
}

// Per-pixel grain in -0.5..0.5.
float Grain(int px, int py, unsigned seed)
{
    return LatticeValue(px, py, seed) - 0.5f;
}

Rgb Sand(int x, int y, unsigned seed)
{
    const float tone = Tone(x, y, 4, 4, seed);
    const float warp = Tone(x, y, 4, 2, seed + 7) - 0.5f;
    const float ripple = std::sin(kTwoPi * (2 * x + 7 * y) / kGroundTextureSize + 6.0f * warp);
    const float crest = std::pow(0.5f + 0.5f * ripple, 3.0f);
    const Rgb base = Mix({0.74f, 0.60f, 0.40f}, {0.90f, 0.79f, 0.58f}, tone);
    return Scale(base, 0.95f + 0.09f * crest + 0.07f * Grain(x, y, seed + 3));
}

Rgb Sandstone(int x, int y, unsigned seed)
{
    const float tone = Tone(x, y, 4, 5, seed);
    const float band = std::sin(kTwoPi * 6 * y / kGroundTextureSize + 4.0f * (Tone(x, y, 4, 2, seed + 5) - 0.5f));
    const float crack = Crease(Tone(x, y, 6, 3, seed + 11), 24.0f);
    const Rgb base = Mix({0.50f, 0.33f, 0.23f}, {0.72f, 0.53f, 0.38f}, tone);
    return Scale(base, (0.94f + 0.07f * band + 0.1f * Grain(x, y, seed + 2)) * (1.0f - 0.25f * crack));
}

Rgb Grass(int x, int y, unsigned seed)
{
    const float tone = Tone(x, y, 6, 4, seed);
    const float dry = SmoothStep(0.55f, 0.8f, Tone(x, y, 3, 3, seed + 4));
    Rgb base = Mix({0.20f, 0.36f, 0.12f}, {0.36f, 0.55f, 0.20f}, tone);
    base = Mix(base, {0.52f, 0.55f, 0.26f}, 0.45f * dry);
    // Short upright strokes read as blades at a distance.
    const float blade = LatticeValue(x, y / 3, seed + 9) - 0.5f;
    const float speck = LatticeValue(x, y, seed + 13);
    if (speck > 0.9985f) {
        return speck > 0.9993f ? Rgb{0.93f, 0.90f, 0.55f} : Rgb{0.90f, 0.92f, 0.95f};
    }
    return Scale(base, 0.93f + 0.22f * blade);
}

// Pebbles: one per 16-pixel cell at a hashed place, looked up in the cell
// and its neighbours (wrapping) so a pebble may straddle a cell border.
float Pebble(int x, int y, unsigned seed, float& shade)
{
    constexpr int kCell = 16;
    constexpr int kCells = kGroundTextureSize / kCell;
    const int cx = x / kCell;
    const int cy = y / kCell;
    float best = 1e9f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = cx + dx;
            const int ny = cy + dy;
            const int wx = (nx + kCells) % kCells;
            const int wy = (ny + kCells) % kCells;
            const float px = (nx + LatticeValue(wx, wy, seed)) * kCell;
            const float py = (ny + LatticeValue(wx, wy, seed + 1)) * kCell;
            if (LatticeValue(wx, wy, seed + 4) < 0.45f) {
                continue; // not every cell holds a stone
            }
            const float radius = 1.2f + 2.3f * LatticeValue(wx, wy, seed + 2);
            const float d = std::hypot(x - px, y - py) / radius;
            if (d < best) {
                best = d;
                shade = LatticeValue(wx, wy, seed + 3);
            }
        }
    }
    return SmoothStep(1.0f, 0.7f, best);
}

Rgb Earth(int x, int y, unsigned seed)
{
    const float tone = Tone(x, y, 4, 5, seed);
    const float damp = SmoothStep(0.55f, 0.75f, Tone(x, y, 3, 3, seed + 6));
    Rgb base = Mix({0.30f, 0.21f, 0.13f}, {0.49f, 0.37f, 0.24f}, tone);
    base = Scale(base, (1.0f - 0.25f * damp) * (0.94f + 0.12f * Grain(x, y, seed + 2)));
    float shade = 0.0f;
    const float pebble = Pebble(x, y, seed + 20, shade);
    return Mix(base, Mix({0.38f, 0.33f, 0.27f}, {0.55f, 0.49f, 0.41f}, shade), 0.7f * pebble);
}

Rgb Snow(int x, int y, unsigned seed)
{
    const float tone = Tone(x, y, 4, 5, seed);
    const float drift =
        std::sin(kTwoPi * (3 * x + y) / kGroundTextureSize + 5.0f * (Tone(x, y, 4, 2, seed + 8) - 0.5f));
    const Rgb base = Mix({0.84f, 0.88f, 0.95f}, {0.97f, 0.98f, 1.0f}, std::pow(tone, 0.7f));
    if (LatticeValue(x, y, seed + 5) > 0.996f) {
        return {1.0f, 1.0f, 1.0f};
    }
    return Scale(base, 0.98f + 0.015f * drift + 0.03f * Grain(x, y, seed + 1));
}

Rgb Ice(int x, int y, unsigned seed)
{
    const float tone = Tone(x, y, 3, 5, seed);
    const float crack = Crease(Tone(x, y, 4, 3, seed + 3), 22.0f);
    const float fine = Crease(Tone(x, y, 8, 2, seed + 4), 30.0f);
    Rgb base = Mix({0.42f, 0.60f, 0.74f}, {0.74f, 0.87f, 0.95f}, tone);
    base = Mix(base, {0.93f, 0.97f, 1.0f}, 0.75f * crack + 0.35f * fine);
    return Scale(base, 0.98f + 0.04f * Grain(x, y, seed + 1));
}

Rgb Moss(int x, int y, unsigned seed)
{
    const float tone = Tone(x, y, 4, 5, seed);
    const float clump = Tone(x, y, 32, 2, seed + 3);
    Rgb base = Mix({0.17f, 0.24f, 0.10f}, {0.31f, 0.41f, 0.17f}, tone);
    base = Mix(base, {0.40f, 0.48f, 0.22f}, 0.35f * SmoothStep(0.5f, 0.8f, clump));
    if (LatticeValue(x, y, seed + 6) > 0.997f) {
        return {0.62f, 0.62f, 0.34f}; // lichen
    }
    return Scale(base, 0.9f + 0.2f * Grain(x, y, seed + 2));
}

// Laid stones in four courses, three or four to a course, with moss in the joints.
Rgb Flagstone(int x, int y, unsigned seed)
{
    constexpr int kCourse = kGroundTextureSize / 4;
    const int course = y / kCourse;
    const int stones = LatticeValue(course, 0, seed) < 0.5f ? 3 : 4;
    const int width = kGroundTextureSize / stones;
    const int offset = static_cast<int>(LatticeValue(course, 1, seed) * kGroundTextureSize);
    const int sx = (x + offset) % kGroundTextureSize;
    const int stone = sx / width;
    const float inX = static_cast<float>(std::min(sx % width, width - sx % width));
    const float inY = static_cast<float>(std::min(y % kCourse, kCourse - y % kCourse));
    const float wobble = 2.0f * (Tone(x, y, 16, 2, seed + 9) - 0.5f);
    const float edge = std::min(inX, inY) + wobble;

    const float tint = LatticeValue(course, stone + 10, seed);
    Rgb base = Mix({0.46f, 0.44f, 0.40f}, {0.66f, 0.63f, 0.56f}, tint);
    base = Mix(base, {0.55f, 0.50f, 0.38f}, 0.3f * LatticeValue(course, stone + 30, seed));
    base = Scale(base, 0.85f + 0.25f * Tone(x, y, 8, 4, seed + 2) + 0.08f * Grain(x, y, seed + 4));
    const float worn = Crease(Tone(x, y, 6, 3, seed + 5), 30.0f);
    base = Scale(base, 1.0f - 0.12f * worn);
    const float bevel = SmoothStep(2.0f, 7.0f, edge);
    base = Scale(base, 0.72f + 0.28f * bevel);
    const Rgb joint = Mix({0.16f, 0.16f, 0.12f}, {0.22f, 0.32f, 0.12f}, Tone(x, y, 16, 2, seed + 7));
    return Mix(joint, base, SmoothStep(1.5f, 3.0f, edge));
}

using Painter = Rgb (*)(int x, int y, unsigned seed);

Painter PainterFor(GroundMaterial material)
{
    switch (material) {
    case GroundMaterial::Sand:
        return Sand;
    case GroundMaterial::Sandstone:
        return Sandstone;
    case GroundMaterial::Grass:
        return Grass;
    case GroundMaterial::Earth:
        return Earth;
    case GroundMaterial::Snow:
        return Snow;
    case GroundMaterial::Ice:
        return Ice;
    case GroundMaterial::Moss:
        return Moss;
    case GroundMaterial::Flagstone:
        return Flagstone;
    }
    return Sand;
}

} // namespace

Image PaintGround(GroundMaterial material, unsigned seed)
{
    const Painter paint = PainterFor(material);
    Image image(kGroundTextureSize, kGroundTextureSize);
    for (int y = 0; y < kGroundTextureSize; ++y) {
        for (int x = 0; x < kGroundTextureSize; ++x) {
            image.Set(x, y, paint(x, y, seed));
        }
    }
    return image;
}

Image PaintEdge(const EdgeLook& look, unsigned seed)
{
    Image image(kGroundTextureSize, kGroundTextureSize);
    for (int y = 0; y < kGroundTextureSize; ++y) {
        for (int x = 0; x < kGroundTextureSize; ++x) {
            // Layers run along the skirt, bent a little by the noise.
            const float depth = static_cast<float>(y) / kGroundTextureSize + 0.05f * (Tone(x, y, 4, 3, seed) - 0.5f);
            const int layer = static_cast<int>(std::floor(depth * 10.0f + 10.0f)) % 10;
            const float pick = LatticeValue(layer, 0, seed);
            Rgb colour = pick < 0.4f ? Mix(look.dark, look.middle, pick / 0.4f)
                                     : Mix(look.middle, look.light, (pick - 0.4f) / 0.6f);
            const float streak = LatticeValue(x / 4, y, seed + 3) - 0.5f;
            colour = Scale(colour, 0.9f + 0.2f * Tone(x, y, 8, 3, seed + 1) + 0.08f * streak);
            float shade = 0.0f;
            const float stone = Pebble(x, y, seed + 40, shade);
            image.Set(x, y, Mix(colour, Scale(look.light, 0.8f + 0.3f * shade), 0.6f * stone));
        }
    }
    return image;
}

Image PaintWaterFrame(const WaterLook& look, int frame, unsigned seed)
{
    constexpr int n = kWaterTextureSize;
    const float phase = kTwoPi * static_cast<float>(frame) / kWaterFrameCount;
    // Wave trains with whole numbers of periods across the picture.
    struct Wave {
        int kx;
        int ky;
        float amplitude;
        float speed;
    };
    constexpr Wave kWaves[] = {{2, 1, 0.35f, 1.0f}, {-1, 3, 0.3f, 0.75f}, {4, -3, 0.2f, 1.5f}, {-5, -2, 0.15f, 1.25f}};
    Image image(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const float fx = static_cast<float>(x) / n;
            const float fy = static_cast<float>(y) / n;
            const float warp = PeriodicFbm(fx * 4 + 0.15f * frame, fy * 4, 4, 3, seed) - 0.5f;
            float w = 0.0f;
            for (const Wave& wave : kWaves) {
                w += wave.amplitude *
                     std::sin(kTwoPi * (wave.kx * fx + wave.ky * fy) + 3.0f * warp + wave.speed * phase);
            }
            const float t = Clamp01(0.5f + 0.5f * w);
            Rgb colour = Mix(look.deep, look.shallow, t);
            const float crest = SmoothStep(0.72f, 0.95f, t);
            colour = Mix(colour, {0.95f, 0.97f, 1.0f}, look.glint * crest);
            if (look.slush > 0.0f) {
                const float floe = SmoothStep(0.6f, 0.66f, PeriodicFbm(fx * 4, fy * 4, 4, 4, seed + 31));
                colour = Mix(colour, {0.86f, 0.92f, 0.96f}, look.slush * floe);
            }
            image.Set(x, y, colour);
        }
    }
    return image;
}

} // namespace datagen
