// The one look of the menu and HUD art: the dusk palette of the splash logo
// (deep navy, slate, a warm amber glow, pale gold lettering), bevelled steel
// frames with a thin amber line inside, and dark glass panels. Every picture
// of the front end is painted from these pieces, so the screens read as one
// game.
#pragma once

#include "Lettering.h"
#include "RgbaCanvas.h"

#include <filesystem>
#include <string>

namespace datagen {

namespace palette {
inline constexpr Rgb kNavy{0.05f, 0.08f, 0.17f};
inline constexpr Rgb kDeepNavy{0.02f, 0.03f, 0.07f};
inline constexpr Rgb kSlate{0.32f, 0.36f, 0.48f};
inline constexpr Rgb kSteel{0.40f, 0.45f, 0.56f};
inline constexpr Rgb kAmber{0.85f, 0.62f, 0.42f};
inline constexpr Rgb kGold{0.96f, 0.88f, 0.66f};
inline constexpr Rgb kPale{0.80f, 0.84f, 0.92f};
} // namespace palette

struct Rect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;

    float CentreX() const { return (left + right) * 0.5f; }
    float CentreY() const { return (top + bottom) * 0.5f; }
    Rect Inset(float by) const { return {left + by, top + by, right - by, bottom - by}; }
};

// Headings are gold, labels a pale steel; both outlined and shadowed.
LetterStyle HeadingStyle();
LetterStyle LabelStyle();

// The opaque dusk backdrop of the full-screen menu pictures: a navy
// gradient, a faint warm glow low in the middle and a fine grid.
void PaintBackdrop(RgbaCanvas& canvas);
// A framed area: dark glass of the given opacity inside a bevelled steel
// frame with an amber line and corner marks.
void DrawPanel(RgbaCanvas& canvas, const Rect& area, float glassAlpha);
// A short amber rule that fades at both ends.
void DrawRule(RgbaCanvas& canvas, float centreX, float y, float halfLength, float alpha);

// Text in capitals centred on centreX, at most size pixels high and no wider
// than maxWidth, its baseline at baselineY.
void DrawTextAt(RgbaCanvas& canvas, const Lettering& font, const std::string& text, int size, int spacing,
                const LetterStyle& style, float centreX, float baselineY, int maxWidth);
// The same in the middle of the whole canvas, capitals centred on its height,
// clear of the sides by CentredTextMargin: the label and heading pictures.
inline int CentredTextMargin(int canvasHeight)
{
    return canvasHeight / 8;
}
void DrawCentredText(RgbaCanvas& canvas, const Lettering& font, const std::string& text, int size, int spacing,
                     const LetterStyle& style);
// The same, no wider than maxWidth.
void DrawCentredTextInWidth(RgbaCanvas& canvas, const Lettering& font, const std::string& text, int size, int spacing,
                            const LetterStyle& style, int maxWidth);

std::string UpperCase(std::string text);

// Writes the picture as DDS or PNG by the name's ending; false on failure.
bool WriteInterfacePicture(const std::filesystem::path& root, const std::string& path, const RgbaCanvas& canvas);

} // namespace datagen
