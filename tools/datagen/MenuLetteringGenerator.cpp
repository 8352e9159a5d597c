// The lettering pictures of the menus and the statistics screen: screen
// headings, the labels over the framed areas, the names of the maps, the unit
// types and the match modes. All on transparent backgrounds, since they lie
// over the menu backgrounds, the map previews and the live battle; the file
// names are the ones the screens ask for, spelling and spaces included.
//
// The fifth unit type's picture is "Dedagon.png" by the screens' table, but
// it shows the type's name as the game spells it everywhere else: Detagon.
//
// Unit selection draws each type's count over the right end of its name
// picture (from about 231 of the 256 texels on), above the slider; so the
// unit names are centred over the portrait below them and kept within
// kUnitNameWidth, which ends well short of the count.
#include "DataGenerator.h"
#include "Lettering.h"
#include "MenuArtStyle.h"

#include <algorithm>
#include <memory>

namespace datagen {

namespace {

enum class Look { Heading, Label, Name, UnitName };

constexpr int kUnitNameWidth = 176;

struct LetteringPicture {
    const char* path;
    const char* text;
    int width;
    int height;
    Look look;
};

const LetteringPicture kPictures[] = {
    {"Interface/Textures/GameOptions.png", "Game Options", 512, 64, Look::Heading},
    {"Interface/Textures/SelectUnits.png", "Select Units", 512, 64, Look::Heading},
    {"Interface/Textures/GameConnect.png", "Network Game", 512, 64, Look::Heading},
    {"Interface/Textures/GameLobbyTitle.dds", "Game Lobby", 512, 64, Look::Heading},
    {"Interface/Textures/GameStatistics.png", "Statistics", 256, 64, Look::Heading},
    {"Interface/Textures/UnitRestrictions.png", "Unit Restrictions", 256, 64, Look::Label},
    {"Interface/Textures/GameTimeText.png", "Game Time", 256, 64, Look::Label},
    {"Interface/Textures/AIPlayersText.png", "AI Players", 256, 64, Look::Label},
    {"Interface/Textures/GameTypeText.png", "Game Type", 256, 64, Look::Label},
    {"Interface/Textures/MaximumUnits.png", "Maximum Units", 256, 64, Look::Label},
    {"Interface/Textures/Map.png", "Map", 256, 64, Look::Label},
    {"Interface/Textures/Players.png", "Players", 256, 64, Look::Label},
    {"Interface/Textures/GameSettings.png", "Game Settings", 256, 64, Look::Label},
    {"Interface/Textures/Chat.png", "Chat", 256, 64, Look::Label},
    {"Maps/Desert.png", "Desert", 256, 64, Look::Name},
    {"Maps/Grassland.png", "Grassland", 256, 64, Look::Name},
    {"Maps/Tundra.png", "Tundra", 256, 64, Look::Name},
    {"Maps/Ex-Cathedra.png", "Ex-Cathedra", 256, 64, Look::Name},
    {"Interface/Textures/1Smashtor1.png", "Smashtor", 256, 64, Look::UnitName},
    {"Interface/Textures/1Trajectagon1.png", "Trajectagon", 256, 64, Look::UnitName},
    {"Interface/Textures/1Triangoloid1.png", "Triangoloid", 256, 64, Look::UnitName},
    {"Interface/Textures/1Artillerator1.png", "Artillerator", 256, 64, Look::UnitName},
    {"Interface/Textures/Dedagon.png", "Detagon", 256, 64, Look::UnitName},
};

// The match modes: the title as the options screen's table names the file,
// and a line saying how the mode is won.
struct ModePicture {
    const char* title;
    const char* hint;
};

const ModePicture kModes[] = {
    {"Last Man on the Hill", "Take the hill at the centre and be the last one on it"},
    {"Steal the Bacon", "Hold the hill flag longer than anyone else"},
    {"Territories", "Hold more of the field's flags than anyone else"},
    {"Body Count", "Deal the most damage before the time runs out"},
};

struct Fonts {
    std::unique_ptr<Lettering> bold;
    std::unique_ptr<Lettering> condensed; // the labels, so the long ones stay large
    std::unique_ptr<Lettering> regular;

    const Lettering& For(Look look) const { return look == Look::Label ? *condensed : *bold; }
};

struct LookSize {
    int size;
    int spacing;
};

LookSize NominalSize(Look look)
{
    switch (look) {
    case Look::Heading:
        return {40, 4};
    case Look::Label:
        return {24, 2};
    case Look::Name:
        return {30, 3};
    case Look::UnitName:
        return {30, 2};
    }
    return {24, 2};
}

int InkWidth(const LetteringPicture& picture)
{
    if (picture.look == Look::UnitName) {
        return kUnitNameWidth;
    }
    return picture.width - 2 * CentredTextMargin(picture.height);
}

// Pictures of one look share one size of lettering: the largest at which
// every one of them fits, so that a long label is not set smaller than its
// neighbours.
int SharedSize(const Lettering& font, Look look)
{
    const LookSize nominal = NominalSize(look);
    int size = nominal.size;
    for (const LetteringPicture& picture : kPictures) {
        if (picture.look == look) {
            size = std::min(
                size, font.FittingSize(UpperCase(picture.text), nominal.size, nominal.spacing, InkWidth(picture)));
        }
    }
    return size;
}

RgbaCanvas PaintLettering(const Fonts& fonts, const LetteringPicture& picture)
{
    RgbaCanvas canvas(picture.width, picture.height);
    const LookSize nominal = NominalSize(picture.look);
    const Lettering& font = fonts.For(picture.look);
    const int size = picture.look == Look::Heading ? nominal.size : SharedSize(font, picture.look);
    const LetterStyle style = picture.look == Look::Label ? LabelStyle() : HeadingStyle();
    DrawCentredTextInWidth(canvas, font, picture.text, size, nominal.spacing, style, InkWidth(picture));
    if (picture.look == Look::Heading) {
        DrawRule(canvas, picture.width * 0.5f, picture.height - 8.0f, picture.width * 0.42f, 0.8f);
    }
    return canvas;
}

// The options screen shows it from x 358 inside a panel that starts at 384,
// beside the game types' panel: the lettering keeps to the panel, centred
// on it, clear of the first 36 texels.
RgbaCanvas PaintMode(const Fonts& fonts, const ModePicture& mode)
{
    constexpr float kCentre = 270.0f;
    constexpr int kWidest = 440;
    RgbaCanvas canvas(512, 128);
    DrawTextAt(canvas, *fonts.bold, mode.title, 40, 4, HeadingStyle(), kCentre, 62.0f, kWidest);
    DrawRule(canvas, kCentre, 76.0f, 190.0f, 0.7f);
    LetterStyle hintStyle = LabelStyle();
    hintStyle.outlineWidth = 1.0f;
    const TextMask hint = fonts.regular->Render(mode.hint, fonts.regular->FittingSize(mode.hint, 19, 0, kWidest), 0);
    DrawLettering(canvas, hint, kCentre, 104.0f, hintStyle);
    return canvas;
}

} // namespace

bool GenerateMenuLettering(const std::filesystem::path& root)
{
    Fonts fonts{Lettering::Open(kSansBoldFont), Lettering::Open(kSansCondensedBoldFont), Lettering::Open(kSansFont)};
    if (!fonts.bold || !fonts.condensed || !fonts.regular) {
        return false;
    }
    for (const LetteringPicture& picture : kPictures) {
        if (!WriteInterfacePicture(root, picture.path, PaintLettering(fonts, picture))) {
            return false;
        }
    }
    for (const ModePicture& mode : kModes) {
        const std::string path = std::string("Interface/Textures/") + mode.title + ".png";
        if (!WriteInterfacePicture(root, path, PaintMode(fonts, mode))) {
            return false;
        }
    }
    return true;
}

} // namespace datagen
