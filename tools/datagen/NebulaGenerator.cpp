// Writes the sky's picture, "Maps/nebula.png": 1024x1024, opaque. Deep
// space with clouds of glowing gas (magenta, blue and a warm core) folded by
// domain-warped noise and cut by dark dust lanes, over a field of stars of
// many sizes, a few of the brightest with halos and spikes. The sky's
// corners circle within the picture, so the whole of it is seen and nothing
// needs to tile.
#include "DataGenerator.h"

#include "Image.h"
#include "Noise.h"

#include <cmath>
#include <vector>

namespace datagen {

namespace {

constexpr int kSize = 1024;
constexpr unsigned kSeed = 9100u;

struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

Colour operator+(const Colour& a, const Colour& b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

Colour operator*(const Colour& a, float s)
{
    return {a.r * s, a.g * s, a.b * s};
}

Colour Mix(const Colour& a, const Colour& b, float t)
{
    return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)};
}

// The gas: noise warped twice by noise, so the clouds curl and stream.
struct Gas {
    float density = 0.0f; // 0 .. 1
    float hue = 0.0f;     // 0 .. 1, where along the palette
    float heat = 0.0f;    // 0 .. 1, how near a bright core
};

Gas GasAt(float u, float v)
{
    const float x = u * 3.0f;
    const float y = v * 3.0f;
    const float qx = Fbm(x, y, 5, kSeed);
    const float qy = Fbm(x + 5.2f, y + 1.3f, 5, kSeed + 1u);
    const float rx = Fbm(x + 2.5f * qx + 1.7f, y + 2.5f * qy + 9.2f, 5, kSeed + 2u);
    const float ry = Fbm(x + 2.5f * qx + 8.3f, y + 2.5f * qy + 2.8f, 5, kSeed + 3u);
    const float f = Fbm(x + 2.5f * rx, y + 2.5f * ry, 7, kSeed + 4u);
    // A broad band of gas across the picture, thinning towards two corners.
    const float band = std::exp(-std::pow((u - v) * 1.6f + 0.15f * std::sin(u * 5.0f), 2.0f));
    Gas gas;
    gas.density = SmoothStep(0.3f, 0.8f, f) * (0.35f + 0.65f * band);
    gas.hue = Clamp01(1.6f * (rx - 0.5f) + 0.5f);
    gas.heat = SmoothStep(0.55f, 0.9f, f * band + 0.25f * qy);
    return gas;
}

// Dust lanes: dark, finer than the gas, in front of it.
float DustAt(float u, float v)
{
    const float lane = Crease(Fbm(u * 4.0f + 3.1f, v * 4.0f + 7.7f, 6, kSeed + 10u), 6.0f);
    const float patch = SmoothStep(0.4f, 0.6f, Fbm(u * 2.0f, v * 2.0f, 3, kSeed + 11u));
    return Clamp01(lane * patch);
}

Colour GasColour(const Gas& gas)
{
    const Colour blue{0.10f, 0.32f, 0.85f};
    const Colour magenta{0.80f, 0.16f, 0.62f};
    const Colour teal{0.05f, 0.55f, 0.60f};
    const Colour warm{1.00f, 0.50f, 0.35f};
    const Colour hue = gas.hue < 0.5f ? Mix(teal, blue, gas.hue * 2.0f) : Mix(blue, magenta, gas.hue * 2.0f - 1.0f);
    const Colour lit = Mix(hue, warm, gas.heat * 0.8f);
    return lit * (gas.density * (0.7f + 0.9f * gas.heat));
}

// Faint stars: at most one per texel, most dim, a few bright, tinted from
// red through white to blue.
Colour FaintStarAt(int x, int y)
{
    const float chance = LatticeValue(x, y, kSeed + 20u);
    if (chance < 0.985f) {
        return {};
    }
    const float brightness = std::pow((chance - 0.985f) / 0.015f, 3.0f) * 1.4f + 0.08f;
    const float tint = LatticeValue(x, y, kSeed + 21u);
    const Colour colour = tint < 0.5f ? Mix({1.0f, 0.75f, 0.6f}, {1.0f, 1.0f, 1.0f}, tint * 2.0f)
                                      : Mix({1.0f, 1.0f, 1.0f}, {0.65f, 0.8f, 1.0f}, tint * 2.0f - 1.0f);
    return colour * brightness;
}

// The bright stars: a soft halo and four thin spikes.
struct BrightStar {
    float x;
    float y;
    float size;
    Colour colour;
};

std::vector<BrightStar> MakeBrightStars()
{
    std::vector<BrightStar> stars;
    for (int i = 0; i < 40; ++i) {
        const float x = LatticeValue(i, 1, kSeed + 30u) * kSize;
        const float y = LatticeValue(i, 2, kSeed + 30u) * kSize;
        const float size = 0.6f + 2.4f * std::pow(LatticeValue(i, 3, kSeed + 30u), 3.0f);
        const float tint = LatticeValue(i, 4, kSeed + 30u);
        const Colour colour = Mix({1.0f, 0.85f, 0.7f}, {0.75f, 0.85f, 1.0f}, tint);
        stars.push_back({x, y, size, colour});
    }
    return stars;
}

Colour BrightStarLight(const std::vector<BrightStar>& stars, float px, float py)
{
    Colour light;
    for (const BrightStar& star : stars) {
        const float dx = px - star.x;
        const float dy = py - star.y;
        const float d2 = dx * dx + dy * dy;
        const float reach = 24.0f * star.size;
        if (d2 > reach * reach) {
            continue;
        }
        const float core = std::exp(-d2 / (1.2f * star.size * star.size));
        const float halo = 0.25f * std::exp(-d2 / (40.0f * star.size * star.size));
        const float spikes = 0.35f * star.size *
                             (std::exp(-dx * dx / 0.6f) * std::exp(-std::fabs(dy) / (5.0f * star.size)) +
                              std::exp(-dy * dy / 0.6f) * std::exp(-std::fabs(dx) / (5.0f * star.size)));
        light = light + star.colour * (2.0f * core + halo + spikes);
    }
    return light;
}

// Light added up past 1 rolls off rather than clipping.
float Expose(float v)
{
    return 1.0f - std::exp(-v * 1.3f);
}

std::uint8_t Byte(float v)
{
    return static_cast<std::uint8_t>(Clamp01(v) * 255.0f + 0.5f);
}

std::vector<std::uint8_t> PaintNebula()
{
    const std::vector<BrightStar> stars = MakeBrightStars();
    const Colour space{0.006f, 0.008f, 0.025f};
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kSize) * kSize * 4, 255);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = (x + 0.5f) / kSize;
            const float v = (y + 0.5f) / kSize;
            const Gas gas = GasAt(u, v);
            const float dust = DustAt(u, v);
            // Stars shine through thin gas; dust dims both.
            const Colour stars_ =
                (FaintStarAt(x, y) + BrightStarLight(stars, x + 0.5f, y + 0.5f)) * (1.0f - 0.6f * gas.density);
            const Colour colour = (space + GasColour(gas) + stars_) * (1.0f - 0.85f * dust);
            std::uint8_t* texel = &rgba[(static_cast<std::size_t>(y) * kSize + x) * 4];
            texel[0] = Byte(Expose(colour.r));
            texel[1] = Byte(Expose(colour.g));
            texel[2] = Byte(Expose(colour.b));
        }
    }
    return rgba;
}

} // namespace

bool GenerateNebula(const std::filesystem::path& root)
{
    const std::vector<std::uint8_t> png = EncodePngRgba(kSize, kSize, PaintNebula());
    return !png.empty() && WriteDataFile(root, "Maps/nebula.png", png);
}

} // namespace datagen
