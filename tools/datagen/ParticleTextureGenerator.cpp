// Writes the particle sprites, "Maps/Particles/Smoke.png", "Explosion.png"
// and "Energy.png": 64x64 RGBA, near-white, with alpha falling softly to 0
// at the edge. The particles' own colours tint them and they are blended
// additively, so the alpha is the whole shape: a lumpy puff of smoke, a
// dense fireball, a small hot core with a wide glow.
#include "DataGenerator.h"

#include "Image.h"
#include "Noise.h"

#include <cmath>
#include <vector>

namespace datagen {

namespace {

constexpr int kSize = 64;

struct Sprite {
    const char* path;
    // Alpha and brightness at a point of the sprite: r from the centre (1 at
    // the middle of an edge), x and y in -1..1.
    float (*alpha)(float r, float x, float y);
    float (*brightness)(float r);
};

// Every sprite fades out well before its square's edge, so no hard border
// shows however large it is drawn.
float EdgeFade(float r)
{
    return SmoothStep(1.0f, 0.7f, r);
}

float SmokeAlpha(float r, float x, float y)
{
    const float lumps = Fbm(x * 2.5f + 7.0f, y * 2.5f + 3.0f, 4, 41u);
    const float puff = SmoothStep(0.95f, 0.1f, r + 0.25f * (lumps - 0.5f));
    return 0.85f * puff * (0.6f + 0.4f * lumps) * EdgeFade(r);
}

float SmokeBrightness(float r)
{
    return 0.9f + 0.1f * (1.0f - r);
}

float ExplosionAlpha(float r, float x, float y)
{
    const float billows = Fbm(x * 3.0f + 11.0f, y * 3.0f + 5.0f, 4, 57u);
    const float body = SmoothStep(0.9f, 0.35f, r + 0.2f * (billows - 0.5f));
    return body * (0.75f + 0.25f * billows) * EdgeFade(r);
}

float ExplosionBrightness(float r)
{
    return 0.88f + 0.12f * SmoothStep(0.8f, 0.0f, r);
}

float EnergyAlpha(float r, float, float)
{
    const float core = std::exp(-r * r * 40.0f);
    const float glow = std::exp(-r * r * 5.0f);
    return Clamp01(0.7f * core + 0.55f * glow) * EdgeFade(r);
}

float EnergyBrightness(float)
{
    return 1.0f;
}

const Sprite kSprites[] = {
    {"Maps/Particles/Smoke.png", SmokeAlpha, SmokeBrightness},
    {"Maps/Particles/Explosion.png", ExplosionAlpha, ExplosionBrightness},
    {"Maps/Particles/Energy.png", EnergyAlpha, EnergyBrightness},
};

std::uint8_t Byte(float v)
{
    return static_cast<std::uint8_t>(Clamp01(v) * 255.0f + 0.5f);
}

std::vector<std::uint8_t> PaintSprite(const Sprite& sprite)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kSize) * kSize * 4, 0);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float px = (x + 0.5f) / (kSize / 2.0f) - 1.0f;
            const float py = (y + 0.5f) / (kSize / 2.0f) - 1.0f;
            const float r = std::hypot(px, py);
            const float white = sprite.brightness(r);
            std::uint8_t* texel = &rgba[(static_cast<std::size_t>(y) * kSize + x) * 4];
            // A touch warmer than white in the middle, so a grey tint still
            // shows a hot centre.
            texel[0] = Byte(white);
            texel[1] = Byte(white * 0.98f);
            texel[2] = Byte(white * 0.95f);
            texel[3] = Byte(sprite.alpha(r, px, py));
        }
    }
    return rgba;
}

} // namespace

bool GenerateParticleTextures(const std::filesystem::path& root)
{
    for (const Sprite& sprite : kSprites) {
        const std::vector<std::uint8_t> png = EncodePngRgba(kSize, kSize, PaintSprite(sprite));
        if (png.empty() || !WriteDataFile(root, sprite.path, png)) {
            return false;
        }
    }
    return true;
}

} // namespace datagen
