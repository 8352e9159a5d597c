// The menu pictures: the title picture, the backgrounds of the options,
// unit-selection, lobby and statistics screens, the red cross over a barred
// unit type, and the plain white texture the coloured panels are tinted
// from.
//
// The backgrounds are laid out for the 1024x768 screen the menus are placed
// on: each framed area sits under the widgets, labels and text the screen
// puts there, so the numbers below are those screens' places in pixels.
#include "DataGenerator.h"
#include "Lettering.h"
#include "MenuArtStyle.h"
#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

// Panels that hold widgets and text are nearly opaque.
constexpr float kGlass = 0.82f;

// A recessed well round a picture the screen lays on top (the map preview).
void DrawWell(RgbaCanvas& canvas, const Rect& picture)
{
    const Rect well = picture.Inset(-4.0f);
    canvas.FillRoundedRect(well.left, well.top, well.right, well.bottom, 3.0f, Opaque(palette::kDeepNavy),
                           Opaque(palette::kDeepNavy));
    canvas.BevelRing(well.left, well.top, well.right, well.bottom, 3.0f, 3.0f, ScaleRgb(palette::kSteel, 0.6f), false);
}

// The dusk sky of the splash logo with a few stars high up.
void PaintTitleSky(RgbaCanvas& canvas)
{
    canvas.FillWith([](float x, float y) {
        const float t = y / kScreenHeight;
        Rgb colour = MixRgb(palette::kNavy, palette::kSlate, std::pow(t, 1.6f));
        const float dx = (x - kScreenWidth * 0.5f) / (kScreenWidth * 0.55f);
        const float dy = (y - kScreenHeight * 0.9f) / (kScreenHeight * 0.45f);
        colour = MixRgb(colour, palette::kAmber, 0.5f * std::exp(-(dx * dx + dy * dy) * 2.2f));
        const float star = LatticeValue(static_cast<int>(x / 2.0f), static_cast<int>(y / 2.0f), 77u);
        const float high = 1.0f - SmoothStep(0.1f, 0.55f, t);
        if (star > 0.997f) {
            colour = MixRgb(colour, palette::kPale, high * (star - 0.997f) / 0.003f);
        }
        return Opaque(colour);
    });
}

// A moon low in the west, a thin crescent lit by the set sun.
void PaintMoon(RgbaCanvas& canvas, float cx, float cy, float radius)
{
    canvas.PaintShape(
        static_cast<int>(cx - radius), static_cast<int>(cy - radius), static_cast<int>(cx + radius),
        static_cast<int>(cy + radius), [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; },
        [=](float x, float y) {
            const float nx = (x - cx) / radius;
            const float ny = (y - cy) / radius;
            const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
            const float lit = std::clamp((0.75f * nx + 0.35f * ny + 0.1f * nz) * 2.2f, 0.0f, 1.0f);
            const float marks = 0.8f + 0.2f * Fbm(x * 0.06f, y * 0.06f, 3, 5u);
            const Rgb dark = ScaleRgb(palette::kSlate, 0.45f * marks);
            return Opaque(MixRgb(dark, ScaleRgb(palette::kGold, marks), lit));
        });
}

float RidgeTop(float x, float base, float scale, float phase)
{
    const float u = x / kScreenWidth;
    return base - scale * (0.55f + 0.25f * std::sin(u * 7.1f + phase) + 0.15f * std::sin(u * 17.3f + 2.0f * phase) +
                           0.05f * std::sin(u * 41.0f + phase));
}

void PaintRidge(RgbaCanvas& canvas, float scale, float phase, const Rgb& colour)
{
    // The waves add up to at most the scale above the bottom edge.
    canvas.PaintShape(
        0, static_cast<int>(kScreenHeight - scale), kScreenWidth, kScreenHeight,
        [=](float x, float y) { return RidgeTop(x, kScreenHeight, scale, phase) - y; },
        [=](float, float) { return Opaque(colour); });
}

bool WriteTitle(const std::filesystem::path& root, const Lettering& serif, const Lettering& sans)
{
    RgbaCanvas canvas(kScreenWidth, kScreenHeight);
    PaintTitleSky(canvas);
    PaintMoon(canvas, 176.0f, 126.0f, 44.0f);
    // The hills stay under 620: the main menu's buttons sit on this picture
    // between 515 and 584, over plain sky.
    PaintRidge(canvas, 130.0f, 0.7f, {0.16f, 0.18f, 0.26f});
    PaintRidge(canvas, 90.0f, 2.9f, {0.09f, 0.10f, 0.15f});
    PaintRidge(canvas, 50.0f, 4.4f, {0.04f, 0.05f, 0.08f});

    LetterStyle title = HeadingStyle();
    title.outlineWidth = 3.0f;
    title.shadowOffset = 6.0f;
    title.shadowBlur = 5;
    DrawTextAt(canvas, serif, "Kostrivane", 124, 10, title, 512.0f, 318.0f, 900);
    DrawRule(canvas, 512.0f, 350.0f, 300.0f, 0.85f);
    LetterStyle subtitle = LabelStyle();
    subtitle.outlineWidth = 1.5f;
    const std::string tagline = "eight armies  \xB7  four fields  \xB7  one hill";
    DrawLettering(canvas, sans.Render(tagline, 30, 2), 512.0f, 400.0f, subtitle);
    // Framed, since the main menu shows it as a panel over the live battle.
    canvas.BevelRing(0.0f, 0.0f, kScreenWidth, kScreenHeight, 0.0f, 7.0f, ScaleRgb(palette::kSteel, 0.75f), true);
    canvas.StrokeRoundedRect(9.5f, 9.5f, kScreenWidth - 9.5f, kScreenHeight - 9.5f, 3.0f, 1.0f,
                             Opaque(palette::kAmber, 0.5f));
    return WriteInterfacePicture(root, "Interface/Button/KVTitle.png", canvas);
}

// Over a network lobby the options offer no computer armies (only single
// play makes them), so that background leaves their panel out.
bool WriteOptionsBack(const std::filesystem::path& root, bool withComputerArmies, const char* file)
{
    RgbaCanvas canvas(kScreenWidth, kScreenHeight);
    PaintBackdrop(canvas);
    DrawPanel(canvas, {62, 74, 352, 276}, kGlass);  // unit restrictions and their check boxes
    DrawPanel(canvas, {62, 282, 352, 422}, kGlass); // maximum units, its text and slider
    // The game types reach further right than the panels above them: the
    // longest name, "Last Man on the Hill", ends near x 355. The mode's
    // picture (from x 358) keeps its lettering clear of the join.
    DrawPanel(canvas, {62, 434, 378, 650}, kGlass); // game types and their check boxes
    DrawPanel(canvas, {368, 74, 712, 430}, kGlass); // map preview and its slider
    DrawPanel(canvas, {718, 74, 988, 242}, kGlass); // game time
    if (withComputerArmies) {
        DrawPanel(canvas, {718, 248, 988, 430}, kGlass); // computer armies
    }
    DrawPanel(canvas, {384, 466, 872, 630}, 0.6f); // the mode's picture
    DrawPanel(canvas, {724, 694, 976, 756}, 0.6f); // Cancel and OK
    DrawWell(canvas, {381, 115, 659, 418});
    return WriteInterfacePicture(root, file, canvas);
}

// Shared by unit selection and the connection screen, so it holds no places
// of either's widgets: one framed sheet of dark glass over the live battle.
bool WriteUnitSelectBack(const std::filesystem::path& root)
{
    RgbaCanvas canvas(768, 576);
    DrawPanel(canvas, {0, 0, 768, 576}, 0.88f);
    return WriteInterfacePicture(root, "Interface/Textures/UnitSelectBack.png", canvas);
}

bool WriteLobbyBack(const std::filesystem::path& root)
{
    RgbaCanvas canvas(kScreenWidth, kScreenHeight);
    PaintBackdrop(canvas);
    DrawPanel(canvas, {55, 78, 410, 404}, kGlass);  // players and their kick buttons
    DrawPanel(canvas, {422, 78, 722, 436}, kGlass); // map preview
    DrawPanel(canvas, {730, 78, 982, 436}, kGlass); // settings and "Change"
    DrawPanel(canvas, {40, 446, 720, 694}, kGlass); // chat
    // The command line reaches in under the Drop button: one strip for both.
    DrawPanel(canvas, {56, 700, 976, 766}, 0.6f);
    DrawWell(canvas, {433, 121, 711, 424});
    return WriteInterfacePicture(root, "Interface/Textures/GameLobbyTexWithBack.png", canvas);
}

// Laid over the frozen match: the table's rows are tinted panels the screen
// draws itself, from 249 to 632, with the column heads at 175.
bool WriteGameOverScreen(const std::filesystem::path& root)
{
    RgbaCanvas canvas(kScreenWidth, kScreenHeight);
    PaintBackdrop(canvas);
    DrawPanel(canvas, {78, 150, 946, 664}, 0.7f);
    DrawRule(canvas, 512.0f, 226.0f, 420.0f, 0.9f);
    // Faint column dividers, just left of each column's numbers.
    for (const int x : {300, 487, 653, 810}) {
        for (int y = 170; y < 640; ++y) {
            canvas.Over(x, y, Opaque(palette::kSlate), 0.35f);
        }
    }
    // The frozen battle shows faintly through.
    canvas.ScaleAlpha(0.92f);
    return WriteInterfacePicture(root, "Interface/Textures/GameOverScreen.png", canvas);
}

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by)
{
    const float dx = bx - ax;
    const float dy = by - ay;
    const float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// A red cross of two rounded bars, dark-edged so it reads over the portrait.
bool WriteTheX(const std::filesystem::path& root)
{
    constexpr float kSize = 256.0f;
    constexpr float kReach = 42.0f;
    constexpr float kHalfWidth = 19.0f;
    const auto cross = [](float x, float y) {
        return std::min(SegmentDistance(x, y, kReach, kReach, kSize - kReach, kSize - kReach),
                        SegmentDistance(x, y, kSize - kReach, kReach, kReach, kSize - kReach));
    };
    RgbaCanvas canvas(256, 256);
    canvas.PaintShape(
        0, 0, 256, 256, [&](float x, float y) { return cross(x, y) - kHalfWidth - 3.0f; },
        [](float, float) {
            return Rgba{0.12f, 0.01f, 0.01f, 0.85f};
        });
    canvas.PaintShape(
        0, 0, 256, 256, [&](float x, float y) { return cross(x, y) - kHalfWidth; },
        [&](float x, float y) {
            // Lighter along the middle of each bar, as if rounded.
            const float across = cross(x, y) / kHalfWidth;
            const float light = 1.0f - 0.45f * across * across;
            return Opaque(ScaleRgb({0.92f, 0.14f, 0.10f}, light));
        });
    return WriteInterfacePicture(root, "Interface/Textures/TheX.png", canvas);
}

// Plain white: the statistics rows and score panels tint it with the army
// colours.
bool WriteWhiteTexture(const std::filesystem::path& root)
{
    RgbaCanvas canvas(16, 16);
    canvas.FillWith([](float, float) { return Rgba{1.0f, 1.0f, 1.0f, 1.0f}; });
    return WriteInterfacePicture(root, "Interface/Textures/whiteTexture.png", canvas);
}

} // namespace

bool GenerateMenuArt(const std::filesystem::path& root)
{
    const std::unique_ptr<Lettering> serif = Lettering::Open(kSerifBoldFont);
    const std::unique_ptr<Lettering> sans = Lettering::Open(kSansFont);
    return serif && sans && WriteTitle(root, *serif, *sans) &&
           WriteOptionsBack(root, true, "Interface/Textures/GameOptionsBack.png") &&
           WriteOptionsBack(root, false, "Interface/Textures/GameOptionsBackNetwork.png") &&
           WriteUnitSelectBack(root) && WriteLobbyBack(root) && WriteGameOverScreen(root) && WriteTheX(root) &&
           WriteWhiteTexture(root);
}

} // namespace datagen
