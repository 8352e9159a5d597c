// "Interface/Textures/SplashLogo.jpg": the game's name on a calm dusk sky over
// a low line of hills, 1024x768 so the splash shows it unscaled.
#include "DataGenerator.h"
#include "Image.h"

#include <cmath>

namespace datagen {

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr const char* kTitleFont = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
constexpr const char* kSubtitleFont = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

Rgb Mix(const Rgb& a, const Rgb& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Height of the far ridge above the bottom edge at column x.
float RidgeHeight(int x, float scale, float phase)
{
    const float u = static_cast<float>(x) / kWidth;
    return scale * (0.55f + 0.25f * std::sin(u * 7.1f + phase) + 0.15f * std::sin(u * 17.3f + 2.0f * phase) +
                    0.05f * std::sin(u * 41.0f + phase));
}

void PaintSky(Image& image)
{
    const Rgb zenith{0.05f, 0.08f, 0.17f};
    const Rgb horizon{0.32f, 0.36f, 0.48f};
    const Rgb glow{0.85f, 0.62f, 0.42f};
    for (int y = 0; y < kHeight; ++y) {
        const float t = static_cast<float>(y) / (kHeight - 1);
        const Rgb base = Mix(zenith, horizon, std::pow(t, 1.6f));
        for (int x = 0; x < kWidth; ++x) {
            // A soft warm glow low in the middle, where the sun has set.
            const float dx = (x - kWidth * 0.5f) / (kWidth * 0.55f);
            const float dy = (y - kHeight * 0.78f) / (kHeight * 0.45f);
            const float warmth = std::exp(-(dx * dx + dy * dy) * 2.2f) * 0.55f;
            image.Set(x, y, Mix(base, glow, warmth));
        }
    }
}

void PaintRidge(Image& image, float scale, float phase, const Rgb& colour)
{
    for (int x = 0; x < kWidth; ++x) {
        const float top = kHeight - RidgeHeight(x, scale, phase);
        for (int y = static_cast<int>(top); y < kHeight; ++y) {
            image.Blend(x, y, colour, std::min(1.0f, static_cast<float>(y) + 1.0f - top));
        }
    }
}

} // namespace

bool GenerateSplashLogo(const std::filesystem::path& root)
{
    Image image(kWidth, kHeight);
    PaintSky(image);
    PaintRidge(image, 210.0f, 0.7f, {0.16f, 0.18f, 0.26f});
    PaintRidge(image, 140.0f, 2.9f, {0.09f, 0.10f, 0.15f});
    PaintRidge(image, 80.0f, 4.4f, {0.04f, 0.05f, 0.08f});

    const Rgb shadow{0.02f, 0.03f, 0.06f};
    const Rgb title{0.96f, 0.88f, 0.66f};
    const Rgb subtitle{0.78f, 0.80f, 0.86f};
    bool drawn = DrawTextCentred(image, kTitleFont, 100, "KOSTRIVANE", kWidth / 2 + 4, 344, shadow, 8);
    drawn = drawn && DrawTextCentred(image, kTitleFont, 100, "KOSTRIVANE", kWidth / 2, 340, title, 8);
    drawn = drawn && DrawTextCentred(image, kSubtitleFont, 30, "eight armies  \xB7  four fields  \xB7  one hill",
                                     kWidth / 2, 410, subtitle, 2);
    if (!drawn) {
        return false;
    }
    for (int x = kWidth / 2 - 260; x < kWidth / 2 + 260; ++x) {
        const float fade = 1.0f - std::fabs(x - kWidth / 2.0f) / 260.0f;
        image.Blend(x, 366, title, 0.7f * fade);
    }
    const std::vector<std::uint8_t> jpeg = image.EncodeJpeg(92);
    return WriteDataFile(root, "Interface/Textures/SplashLogo.jpg", jpeg);
}

} // namespace datagen
