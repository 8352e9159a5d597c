// "Interface/Textures/Border.dds": the frame of the in-match screen, stretched
// over the whole 1024x768 view before the minimap and the close-up of the
// selection are drawn into its two bottom corners.
//
// The middle stays clear for the battle, and so do the chat lines (x 235 to
// 800, y 560 to 720); the clock at (470, 12) gets a lightly shaded tab. The
// two panels are 200-pixel squares centred at (112.6, 655.1) and
// (911.4, 655.1); their frames overlap them by a pixel, so no gap shows
// between frame and picture, and inside they are opaque dark, which is what
// an empty close-up shows anyway.
#include "DataGenerator.h"
#include "Lettering.h"
#include "MenuArtStyle.h"

namespace datagen {

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr float kPanelSide = 200.0f;
constexpr float kPanelCentreY = 655.1f;
constexpr float kLeftPanelCentreX = 112.6f;
constexpr float kRightPanelCentreX = 911.4f;
constexpr float kFrameWidth = 10.0f;
constexpr float kEdgeWidth = 3.0f;

Rect PanelSquare(float centreX)
{
    const float half = kPanelSide * 0.5f;
    return {centreX - half, kPanelCentreY - half, centreX + half, kPanelCentreY + half};
}

void DrawPanelFrame(RgbaCanvas& canvas, const Lettering& font, float centreX, const std::string& caption)
{
    const Rect panel = PanelSquare(centreX);
    const Rect outer = panel.Inset(1.0f - kFrameWidth);
    // A caption tab on the frame's top edge, drawn first so the frame
    // overlaps its foot.
    const Rect tab{centreX - 52.0f, outer.top - 17.0f, centreX + 52.0f, outer.top + 6.0f};
    canvas.FillRoundedRect(tab.left, tab.top, tab.right, tab.bottom, 5.0f, Opaque(ScaleRgb(palette::kNavy, 1.3f)),
                           Opaque(palette::kDeepNavy));
    canvas.BevelRing(tab.left, tab.top, tab.right, tab.bottom, 5.0f, 2.0f, ScaleRgb(palette::kSteel, 0.75f), true);
    LetterStyle style = LabelStyle();
    style.outlineWidth = 1.0f;
    style.shadowOffset = 1.0f;
    style.shadowBlur = 1;
    DrawTextAt(canvas, font, caption, 11, 2, style, centreX, tab.top + 14.0f, 96);

    canvas.FillRect(static_cast<int>(panel.left), static_cast<int>(panel.top), static_cast<int>(panel.right) + 1,
                    static_cast<int>(panel.bottom) + 1, Opaque(palette::kDeepNavy));
    canvas.BevelRing(outer.left, outer.top, outer.right, outer.bottom, 9.0f, kFrameWidth,
                     ScaleRgb(palette::kSteel, 0.8f), true);
    const Rect line = outer.Inset(kFrameWidth * 0.5f);
    canvas.StrokeRoundedRect(line.left, line.top, line.right, line.bottom, 5.0f, 1.0f, Opaque(palette::kAmber, 0.7f));
}

// A thin frame round the whole view, and a low shaded sill along the bottom
// between the panels, under the chat lines.
void DrawEdge(RgbaCanvas& canvas)
{
    canvas.FillRoundedRect(200.0f, 744.0f, 824.0f, 790.0f, 8.0f, Opaque(palette::kNavy, 0.55f),
                           Opaque(palette::kDeepNavy, 0.7f));
    canvas.BevelRing(200.0f, 744.0f, 824.0f, 790.0f, 8.0f, 3.0f, ScaleRgb(palette::kSteel, 0.7f), true);
    canvas.BevelRing(0.0f, 0.0f, kWidth, kHeight, 4.0f, kEdgeWidth, ScaleRgb(palette::kSteel, 0.7f), true);
}

// The clock's tab hangs from the top edge.
void DrawClockTab(RgbaCanvas& canvas)
{
    const Rect tab{402.0f, -12.0f, 622.0f, 42.0f};
    canvas.FillRoundedRect(tab.left, tab.top, tab.right, tab.bottom, 10.0f, Opaque(palette::kNavy, 0.35f),
                           Opaque(palette::kDeepNavy, 0.5f));
    canvas.BevelRing(tab.left, tab.top, tab.right, tab.bottom, 10.0f, 3.0f, ScaleRgb(palette::kSteel, 0.7f), true);
}

} // namespace

bool GenerateHudBorder(const std::filesystem::path& root)
{
    const std::unique_ptr<Lettering> font = Lettering::Open(kSansBoldFont);
    if (!font) {
        return false;
    }
    RgbaCanvas canvas(kWidth, kHeight);
    DrawEdge(canvas);
    DrawClockTab(canvas);
    DrawPanelFrame(canvas, *font, kLeftPanelCentreX, "Selection");
    DrawPanelFrame(canvas, *font, kRightPanelCentreX, "Map");
    return WriteInterfacePicture(root, "Interface/Textures/Border.dds", canvas);
}

} // namespace datagen
