// The shared look of the menu and HUD art (see MenuArtStyle.h).
#include "MenuArtStyle.h"

#include "DataGenerator.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace datagen {

namespace {

constexpr float kFrameWidth = 5.0f;
constexpr float kFrameRadius = 8.0f;
constexpr float kGridStep = 32.0f;

// The capitals' middle sits on the picture's middle, whatever the size.
float CentredBaseline(const TextMask& mask, float height)
{
    return std::round(height * 0.5f + mask.capHeight * 0.5f);
}

TextMask FittedMask(const Lettering& font, const std::string& text, int size, int spacing, int maxWidth)
{
    const int fitted = font.FittingSize(text, size, spacing, maxWidth);
    return font.Render(text, fitted, spacing);
}

void DrawCornerMarks(RgbaCanvas& canvas, const Rect& area)
{
    const Rgba mark = Opaque(palette::kAmber, 0.85f);
    const int length = 14;
    const int thick = 2;
    const int l = static_cast<int>(area.left);
    const int t = static_cast<int>(area.top);
    const int r = static_cast<int>(area.right);
    const int b = static_cast<int>(area.bottom);
    canvas.FillRect(l, t, l + length, t + thick, mark);
    canvas.FillRect(l, t, l + thick, t + length, mark);
    canvas.FillRect(r - length, t, r, t + thick, mark);
    canvas.FillRect(r - thick, t, r, t + length, mark);
    canvas.FillRect(l, b - thick, l + length, b, mark);
    canvas.FillRect(l, b - length, l + thick, b, mark);
    canvas.FillRect(r - length, b - thick, r, b, mark);
    canvas.FillRect(r - thick, b - length, r, b, mark);
}

} // namespace

LetterStyle HeadingStyle()
{
    return LetterStyle{};
}

LetterStyle LabelStyle()
{
    LetterStyle style;
    style.fillTop = {0.92f, 0.94f, 0.98f};
    style.fillBottom = {0.66f, 0.73f, 0.86f};
    style.outlineWidth = 1.5f;
    style.shadowOffset = 2.0f;
    style.shadowBlur = 2;
    return style;
}

void PaintBackdrop(RgbaCanvas& canvas)
{
    const float width = static_cast<float>(canvas.Width());
    const float height = static_cast<float>(canvas.Height());
    canvas.FillWith([=](float x, float y) {
        const float t = y / height;
        Rgb colour = MixRgb(palette::kNavy, palette::kDeepNavy, std::pow(t, 0.8f));
        const float dx = (x - width * 0.5f) / (width * 0.6f);
        const float dy = (y - height * 0.95f) / (height * 0.5f);
        colour = MixRgb(colour, palette::kAmber, 0.16f * std::exp(-(dx * dx + dy * dy) * 2.5f));
        // A fine grid, fainter towards the edges, as on a plotting table.
        const float gx = std::fabs(std::fmod(x, kGridStep) - kGridStep * 0.5f);
        const float gy = std::fabs(std::fmod(y, kGridStep) - kGridStep * 0.5f);
        const float line = std::max(std::clamp(gx - (kGridStep * 0.5f - 1.0f), 0.0f, 1.0f),
                                    std::clamp(gy - (kGridStep * 0.5f - 1.0f), 0.0f, 1.0f));
        const float cx = x / width - 0.5f;
        const float cy = y / height - 0.5f;
        const float vignette = 1.0f - 0.55f * (cx * cx + cy * cy);
        colour = MixRgb(colour, palette::kSlate, 0.07f * line * vignette);
        return Opaque(ScaleRgb(colour, vignette));
    });
}

void DrawPanel(RgbaCanvas& canvas, const Rect& area, float glassAlpha)
{
    const Rect glass = area.Inset(kFrameWidth - 1.0f);
    canvas.FillRoundedRect(glass.left, glass.top, glass.right, glass.bottom, kFrameRadius - kFrameWidth + 1.0f,
                           Opaque(ScaleRgb(palette::kNavy, 1.25f), glassAlpha), Opaque(palette::kDeepNavy, glassAlpha));
    canvas.BevelRing(area.left, area.top, area.right, area.bottom, kFrameRadius, kFrameWidth,
                     ScaleRgb(palette::kSteel, 0.75f), true);
    const Rect line = area.Inset(kFrameWidth + 2.5f);
    canvas.StrokeRoundedRect(line.left, line.top, line.right, line.bottom, 2.0f, 1.0f, Opaque(palette::kAmber, 0.35f));
    DrawCornerMarks(canvas, area.Inset(kFrameWidth + 4.0f));
}

void DrawRule(RgbaCanvas& canvas, float centreX, float y, float halfLength, float alpha)
{
    const int row = static_cast<int>(y);
    for (int x = static_cast<int>(centreX - halfLength); x < static_cast<int>(centreX + halfLength); ++x) {
        const float fade = 1.0f - std::fabs(x + 0.5f - centreX) / halfLength;
        canvas.Over(x, row, Opaque(palette::kAmber), alpha * std::sqrt(std::max(fade, 0.0f)));
        canvas.Over(x, row + 1, Opaque(palette::kDeepNavy), 0.5f * alpha * fade);
    }
}

void DrawTextAt(RgbaCanvas& canvas, const Lettering& font, const std::string& text, int size, int spacing,
                const LetterStyle& style, float centreX, float baselineY, int maxWidth)
{
    const TextMask mask = FittedMask(font, UpperCase(text), size, spacing, maxWidth);
    DrawLettering(canvas, mask, centreX, baselineY, style);
}

void DrawCentredText(RgbaCanvas& canvas, const Lettering& font, const std::string& text, int size, int spacing,
                     const LetterStyle& style)
{
    const int margin = CentredTextMargin(canvas.Height());
    DrawCentredTextInWidth(canvas, font, text, size, spacing, style, canvas.Width() - 2 * margin);
}

void DrawCentredTextInWidth(RgbaCanvas& canvas, const Lettering& font, const std::string& text, int size, int spacing,
                            const LetterStyle& style, int maxWidth)
{
    const TextMask mask = FittedMask(font, UpperCase(text), size, spacing, maxWidth);
    DrawLettering(canvas, mask, canvas.Width() * 0.5f, CentredBaseline(mask, static_cast<float>(canvas.Height())),
                  style);
}

std::string UpperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool WriteInterfacePicture(const std::filesystem::path& root, const std::string& path, const RgbaCanvas& canvas)
{
    const bool dds = path.ends_with(".dds");
    const std::vector<std::uint8_t> bytes = dds ? canvas.EncodeDds() : canvas.EncodePng();
    return !bytes.empty() && WriteDataFile(root, path, bytes);
}

} // namespace datagen
