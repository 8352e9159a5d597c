// Lettering for the interface art: a line of text rendered by FreeType into a
// coverage mask, then laid on a canvas with a gradient fill, an outline and a
// soft shadow, so that headings and labels read over any background and the
// live battle behind the menus. The fonts are the DejaVu faces the game's own
// text uses (platform/GlFont.cpp).
#pragma once

#include "RgbaCanvas.h"

#include <memory>
#include <string>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace datagen {

inline constexpr const char* kSansBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
inline constexpr const char* kSansCondensedBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
inline constexpr const char* kSansFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr const char* kSerifBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";

// Coverage 0..1 of one line of text, with room on every side for outlines
// and shadows.
struct TextMask {
    int width = 0;
    int height = 0;
    int baseline = 0;  // row of the baseline
    int capHeight = 0; // of the capitals, above the baseline
    int inkLeft = 0;   // first and last columns with ink
    int inkRight = 0;
    std::vector<float> coverage;

    float At(int x, int y) const
    {
        return x < 0 || y < 0 || x >= width || y >= height ? 0.0f : coverage[static_cast<std::size_t>(y) * width + x];
    }
};

struct LetterStyle {
    Rgb fillTop{0.98f, 0.93f, 0.76f};
    Rgb fillBottom{0.86f, 0.72f, 0.46f};
    Rgba outline{0.03f, 0.04f, 0.08f, 0.9f};
    float outlineWidth = 2.0f;
    Rgba shadow{0.0f, 0.0f, 0.0f, 0.7f};
    float shadowOffset = 3.0f;
    int shadowBlur = 3;
};

class Lettering {
public:
    // Null, with a message on stderr, when the font cannot be loaded.
    static std::unique_ptr<Lettering> Open(const char* fontPath);
    ~Lettering();
    Lettering(const Lettering&) = delete;
    Lettering& operator=(const Lettering&) = delete;

    int MeasureWidth(const std::string& text, int pixelSize, int letterSpacing) const;
    // The largest size up to pixelSize at which text fits maxWidth.
    int FittingSize(const std::string& text, int pixelSize, int letterSpacing, int maxWidth) const;
    TextMask Render(const std::string& text, int pixelSize, int letterSpacing) const;

private:
    Lettering() = default;

    FT_LibraryRec_* library_ = nullptr;
    FT_FaceRec_* face_ = nullptr;
};

// Lays mask on the canvas with its baseline at baselineY and its ink centred
// on centreX (or starting at centreX when centred is false).
void DrawLettering(RgbaCanvas& canvas, const TextMask& mask, float centreX, float baselineY, const LetterStyle& style,
                   bool centred = true);

} // namespace datagen
