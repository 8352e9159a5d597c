// The screens as a player sees them, drawn by the whole game in an offscreen
// window at 1024x768 over the generated data: unit selection, the main
// menu's buttons on each face, the connection screen with a host heard, with
// sixteen, and with a long name typed and a long host name, bright and
// faded, the options with boxes on and off, a match on the Tundra's snow
// with console and chat text and console lines cut short of the minimap's
// frame, the scoreboard with names too long for their column, and the
// statistics with a long name and after a match that ran out of time. Each
// picture is written to the build folder to be looked at, and checked where
// a fault would show: text over a picture, a widget over text, text that
// cannot be read on its ground, text past its place.
#include "app/Game.h"
#include "core/NameCut.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/GameRules.h"
#include "gui/guiCheckBox.h"
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/Cursor.h"
#include "input/KeyCommand.h"
#include "input/Mouse.h"
#include "input/SelectionController.h"
#include "net/NetworkManager.h"
#include "platform/ImageFile.h"
#include "render/Renderer.h"
#include "render/RulesHud.h"
#include "render/TextManager.h"
#include "screens/ConnectionScreen.h"
#include "screens/OptionsScreen.h"
#include "screens/PlayScreen.h"
#include "screens/ScreenManager.h"
#include "screens/StatisticsScreen.h"
#include "screens/UnitSelectionScreen.h"

#include "RecordingCanvas.h"
#include "GameOnScreen.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = testing::GameOnScreen::kWidth;
constexpr int kHeight = testing::GameOnScreen::kHeight;
using testing::GameOnScreen;

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

Rgb PixelAt(const platform::RgbImage& image, int x, int y)
{
    const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
    return {image.rgb[at], image.rgb[at + 1], image.rgb[at + 2]};
}

// How many pixels of the rectangle (right and bottom excluded) pass the test.
int CountPixels(const platform::RgbImage& image, int left, int top, int right, int bottom,
                const std::function<bool(const Rgb&)>& test)
{
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += test(PixelAt(image, x, y)) ? 1 : 0;
        }
    }
    return count;
}

// The default text colour (54, 115, 199) drawn solid, give or take the
// rounding of blending.
bool IsTextBlue(const Rgb& c)
{
    return std::abs(c.r - 54) <= 24 && std::abs(c.g - 115) <= 24 && std::abs(c.b - 199) <= 24;
}

bool IsDark(const Rgb& c)
{
    return std::max({c.r, c.g, c.b}) < 50;
}

// The white of labels and menu text.
bool IsWhite(const Rgb& c)
{
    return std::min({c.r, c.g, c.b}) > 200;
}

// The brightest grey of the rectangle (right and bottom excluded): the
// lowest channel of the whitest pixel, 255 where white text is drawn in full.
int BrightestWhite(const platform::RgbImage& image, int left, int top, int right, int bottom)
{
    int brightest = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const Rgb c = PixelAt(image, x, y);
            brightest = std::max(brightest, std::min({c.r, c.g, c.b}));
        }
    }
    return brightest;
}

// The first and last rows of the rectangle (right and bottom excluded) with
// a pixel that passes the test; -1 for both when none does.
struct InkRows {
    int first = -1;
    int last = -1;
};

InkRows RowsWith(const platform::RgbImage& image, int left, int top, int right, int bottom,
                 const std::function<bool(const Rgb&)>& test)
{
    InkRows rows;
    for (int y = top; y < bottom; ++y) {
        if (CountPixels(image, left, y, right, y + 1, test) == 0) {
            continue;
        }
        rows.first = rows.first < 0 ? y : rows.first;
        rows.last = y;
    }
    return rows;
}

// A button's white label in the rows from top to bottom: at least leastInk
// pixels of it well inside the face, none on the face's rim at either side
// or past it.
void CheckLabelInsideFace(const platform::RgbImage& picture, const guiRect& button, int top, int bottom, int leastInk)
{
    const int left = static_cast<int>(button.left);
    const int right = static_cast<int>(button.right);
    CHECK(CountPixels(picture, left + 2, top, right - 2, bottom, IsWhite) >= leastInk);
    CHECK(CountPixels(picture, left - 10, top, left + 2, bottom, IsWhite) == 0);
    CHECK(CountPixels(picture, right - 2, top, right + 10, bottom, IsWhite) == 0);
}

// A part of the picture, three times larger, for looking at small widgets.
void WriteCloseUp(const platform::RgbImage& image, int left, int top, int right, int bottom, const std::string& name)
{
    constexpr int kScale = 3;
    platform::RgbImage close;
    close.width = (right - left) * kScale;
    close.height = (bottom - top) * kScale;
    close.rgb.resize(static_cast<std::size_t>(close.width) * close.height * 3);
    for (int y = 0; y < close.height; ++y) {
        for (int x = 0; x < close.width; ++x) {
            const Rgb c = PixelAt(image, left + x / kScale, top + y / kScale);
            const std::size_t at = (static_cast<std::size_t>(y) * close.width + x) * 3;
            close.rgb[at] = static_cast<std::uint8_t>(c.r);
            close.rgb[at + 1] = static_cast<std::uint8_t>(c.g);
            close.rgb[at + 2] = static_cast<std::uint8_t>(c.b);
        }
    }
    const std::filesystem::path path = std::filesystem::path(KV_TEST_OUTPUT_DIR) / (name + ".png");
    platform::WriteWholeFile(path.string(), platform::EncodePngRgb(close));
}

guiRect PixelRectOf(const std::string& window, const std::string& name, guiObjectType type)
{
    guiObject* object = guiManager::Instance()->FindObject(window, name, type);
    REQUIRE(object != nullptr);
    const guiWindow* owner = object->GetOwner();
    return object->PixelRect(owner->GetPosition().x, owner->GetPosition().y, owner->GetWidth(), owner->GetHeight());
}

// A one-minute Body Count on the map, every unit type, against two computer
// armies, started from unit selection and a few frames in.
void StartBodyCount(GameOnScreen& screen, std::uint32_t map)
{
    REQUIRE(screen.game->SetOptions(kModeBodyCount, 1.0f, kAllowAllUnitTypes, map, 40, 2));
    ScreenManager::Instance()->SetScreen(kScreenUnitSelection);
    screen.Frames(2);
    testing::Fire(UnitSelectionScreen::StartGameFromUnitSelection, kGuiButtonReleased);
    REQUIRE(screen.game->GetSetting(kSettingGameState) == kStateMatch);
    screen.Frames(3);
}

} // namespace

TEST_CASE("unit selection draws every type's count in the clear beside its name")
{
    GameOnScreen screen(2718);
    REQUIRE(screen.game->SetOptions(kModeLastManOnTheHill, 5.0f, kAllowAllUnitTypes, 0, 100, 3));
    ScreenManager::Instance()->SetScreen(kScreenUnitSelection);
    screen.Frames(3);
    const platform::RgbImage picture = screen.Shot("screens_unit_selection");
    // Each count ("25" or "12" here) is drawn in the text colour in the
    // clear right end of its name picture.
    const std::array<std::pair<float, float>, 5> counts = {
        {{0.15f, 0.56f}, {0.40f, 0.56f}, {0.65f, 0.56f}, {0.28f, 0.24f}, {0.53f, 0.24f}}};
    for (const auto& [sliderX, textY] : counts) {
        const int x = static_cast<int>((sliderX + 0.18f) * kWidth);
        const int y = static_cast<int>(textY * kHeight);
        CAPTURE(x);
        CAPTURE(y);
        CHECK(CountPixels(picture, x, y, x + 22, y + 16, IsTextBlue) >= 12);
    }
}

TEST_CASE("the connection screen shows a heard host's line beside its Connect button, not under it")
{
    GameOnScreen screen(2718);
    screen.session.hosts = {{-2, "Wintergreen"}};
    ScreenManager::Instance()->SetScreen(kScreenConnection);
    screen.Frames(3);
    const platform::RgbImage picture = screen.Shot("screens_connection");
    const guiRect button =
        PixelRectOf(ConnectionScreen::kWindow, std::string(ConnectionScreen::kHostButtonPrefix) + "0", kGuiButton);
    const int lineX = static_cast<int>(0.4f * kWidth);
    const int lineY = static_cast<int>(0.2f * kHeight) + 30;
    // The button ends before the line starts, level with the line.
    CHECK(button.right < static_cast<float>(lineX));
    CHECK(button.top <= static_cast<float>(lineY));
    CHECK(button.bottom >= static_cast<float>(lineY + 16));
    // "0 : Name: Wintergreen" is there in white from its first character.
    const auto white = [](const Rgb& c) { return std::min({c.r, c.g, c.b}) > 200; };
    CHECK(CountPixels(picture, lineX, lineY, lineX + 12, lineY + 16, white) >= 10);
    const int lineWidth = TextManager::Instance()->MeasureText("0 : Name: Wintergreen", "Default");
    CHECK(CountPixels(picture, lineX, lineY, lineX + lineWidth, lineY + 16, white) >= 60);
}

TEST_CASE("the connection screen shows the end of a long name inside its box, cuts a long host name inside the panel, "
          "and fades its lines with its window")
{
    GameOnScreen screen(2718);
    // As long as an announcement carries: wide letters, then narrow ones
    // where the cut falls, so the dots end as near the room's end as a cut
    // can bring them.
    screen.session.hosts = {{-2, std::string(24, 'W') + std::string(27, 't')}, {-2, "Wintergreen"}};
    ScreenManager::Instance()->SetScreen(kScreenConnection);
    Cursor::Instance()->SetX(kWidth - 4);
    Cursor::Instance()->SetY(4);
    // The default name rubbed out, then typed as the player types: the box
    // takes its hundred characters and no more.
    for (int i = 0; i < 12; ++i) {
        testing::Dispatch(kGuiKeyDown, 0, 8);
    }
    std::string typed;
    while (typed.size() < 110) {
        typed += "Wintergreen of the Northern Reaches ";
    }
    for (const char c : typed) {
        testing::Dispatch(kGuiKeyDown, 0, c);
    }
    REQUIRE(ConnectionScreen::Instance()->TypedName() == typed.substr(0, 100));
    screen.Frames(3);
    const platform::RgbImage picture = screen.Shot("screens_connection_long_names");
    WriteCloseUp(picture, 560, 105, 900, 205, "screens_connection_long_names_close");

    // The name: its end and the cursor reach close to the box's inner edge
    // (its text offset in from the right), and nothing of it lies past that.
    const guiRect box = PixelRectOf(ConnectionScreen::kWindow, ConnectionScreen::kNameBox, kGuiEditBox);
    const int inner = static_cast<int>(box.right) - 15;
    const int boxTop = static_cast<int>(box.top);
    const int boxBottom = static_cast<int>(box.bottom);
    CHECK(CountPixels(picture, inner - 40, boxTop, inner, boxBottom, IsWhite) >= 20);
    CHECK(CountPixels(picture, inner + 1, boxTop, kWidth, boxBottom, IsWhite) == 0);

    // The long host name: most of the room, its "..." short of the panel's
    // frame (its rim and the amber line inside it, the last ten pixels).
    const guiRect firstHost =
        PixelRectOf(ConnectionScreen::kWindow, std::string(ConnectionScreen::kHostButtonPrefix) + "0", kGuiButton);
    const int lineX = static_cast<int>(0.4f * kWidth);
    const int rowTop = static_cast<int>(firstHost.top);
    const int rowBottom = static_cast<int>(firstHost.bottom);
    const int panelInside = static_cast<int>(0.875f * (kWidth - 1)) - 10;
    CHECK(CountPixels(picture, panelInside - 80, rowTop, panelInside, rowBottom, IsWhite) >= 40);
    CHECK(CountPixels(picture, panelInside, rowTop, kWidth, rowBottom, IsWhite) == 0);
    CHECK(CountPixels(picture, lineX, rowTop, lineX + 60, rowBottom, IsWhite) >= 40);

    // Entering the screen stopped every timer, the fade's too: the mouse
    // moves once, then rests, and after five seconds the window fades.
    testing::Dispatch(kGuiMouseMove, kWidth - 4, 4);
    screen.clock.Advance(ScreenManager::kFadeDelaySeconds);
    screen.Frames(30);
    const float alpha = guiManager::Instance()->GetWindow(ConnectionScreen::kWindow)->GetAlpha();
    REQUIRE(alpha < 0.6f);
    REQUIRE(alpha > 0.4f);
    const platform::RgbImage faded = screen.Shot("screens_connection_faded");
    WriteCloseUp(faded, 290, 105, 900, 265, "screens_connection_faded_close");
    // The typed name, a widget of the window, is as dim as the window; the
    // lines of the host list are white too and as dim as it: the heading,
    // both hosts and the total, none left at full white.
    const int namePeak = BrightestWhite(faded, static_cast<int>(box.left), boxTop, inner, boxBottom);
    CAPTURE(namePeak);
    CHECK(namePeak < 200);
    const int headingTop = static_cast<int>(0.2f * kHeight);
    const guiRect lastHost =
        PixelRectOf(ConnectionScreen::kWindow, std::string(ConnectionScreen::kHostButtonPrefix) + "1", kGuiButton);
    const int listBottom = static_cast<int>(lastHost.bottom + (lastHost.bottom - lastHost.top));
    for (int top = headingTop; top < listBottom; top += 4) {
        CAPTURE(top);
        const int linePeak = BrightestWhite(faded, lineX, top, panelInside, top + 4);
        CHECK(linePeak <= namePeak + 20);
    }
    for (const int top : {headingTop, rowTop, static_cast<int>(lastHost.top), static_cast<int>(lastHost.bottom)}) {
        CAPTURE(top);
        CHECK(BrightestWhite(faded, lineX, top, panelInside, top + 20) >= namePeak - 20);
    }
}

TEST_CASE("the options fit every game type inside its panel and tick the boxes that are on")
{
    GameOnScreen screen(2718);
    ScreenManager::Instance()->SetScreen(kScreenOptions);
    // The second unit type barred: one box off among boxes on.
    auto* barred = static_cast<guiCheckBox*>(
        guiManager::Instance()->FindObject("OptionsScreenWindowHandle", "OptionsScreenUnitCheckBox1", kGuiCheckBox));
    REQUIRE(barred != nullptr);
    barred->SetChecked(0);
    screen.Frames(3);
    const platform::RgbImage picture = screen.Shot("screens_options");
    WriteCloseUp(picture, 80, 110, 330, 270, "screens_options_check_boxes");

    // The longest game type ends clear of the game-type panel's inner edge.
    for (const char* mode : OptionsScreen::kModeNames) {
        CAPTURE(mode);
        CHECK(195 + TextManager::Instance()->MeasureText(mode, "Default") <= 362);
    }
    // The panel's frame, right of "Last Man on the Hill", is not crossed by
    // text: no text-coloured pixel between the text's end and the frame.
    CHECK(CountPixels(picture, 357, 485, 372, 501, IsTextBlue) == 0);

    // The tick's long stroke crosses the box at (42, 11) of its 78 x 23
    // pixels: gold on a checked box, the plain slate face on the barred one.
    const auto gold = [](const Rgb& c) { return c.r > 200 && c.g > 160 && c.b < 150; };
    const int boxLeft = 95;
    for (int box = 0; box < 5; ++box) {
        CAPTURE(box);
        const int top = (125 + 30 * box) * 767 / 768;
        const int goldPixels = CountPixels(picture, boxLeft + 40, top + 9, boxLeft + 45, top + 14, gold);
        if (box == 1) {
            CHECK(goldPixels == 0);
        } else {
            CHECK(goldPixels >= 5);
        }
    }
}

TEST_CASE("a match on the Tundra shows its console and chat outlined on the snow, and its statistics cut a long name")
{
    GameOnScreen screen(2718);
    // The Tundra, every type, a short Body Count against two armies.
    StartBodyCount(screen, 2);

    // "Game On" from the rules, a chat line, and the chat line being typed.
    TextBox* console = TextManager::Instance()->GetTextBox("ChatConsole");
    REQUIRE(console != nullptr);
    REQUIRE(console->GetLines().front() == "Game On");
    console->AddLine("Wintergreen: see you on the hill");
    testing::Fire(PlayScreen::MainPlayScreenCallback, kGuiKeyDown, guiParam::FromInt(kKeyChat));
    auto* chat = static_cast<guiEditBox*>(
        guiManager::Instance()->FindObject(PlayScreen::kWindowName, PlayScreen::kChatBoxName, kGuiEditBox));
    REQUIRE(chat != nullptr);
    chat->SetText("gg, well played");
    screen.Frames(2);
    const platform::RgbImage match = screen.Shot("match_tundra_chat");
    WriteCloseUp(match, 225, 660, 560, 767, "match_tundra_chat_close");

    // "Game On", one line above the newest, at (235, 680): its blue glyphs
    // stand in a dark rim, whatever the snow behind them.
    const int gameOnWidth = TextManager::Instance()->MeasureText("Game On", "Default");
    CHECK(CountPixels(match, 235, 680, 235 + gameOnWidth, 696, IsTextBlue) >= 40);
    CHECK(CountPixels(match, 233, 678, 237 + gameOnWidth, 698, IsDark) >= 60);

    // A client whose name was cut at the join's name field leaves (one space
    // after the name), then a line of narrow letters is said: both too long
    // for the console, they end in "...", clear of the minimap's frame (from
    // x 802, 9 pixels out from the panel at 811) with their dark rim too.
    const std::string typed = "Wintergreen of the Northern Reaches, Warden of the Hill";
    const std::string cut = CutName(typed, kNameField - 1);
    CHECK(cut == "Wintergreen of the Northern Reaches, Warden of the");
    NetworkManager::Instance()->Ui().AddGameChatLine(cut + " has left the game.");
    NetworkManager::Instance()->Ui().AddGameChatLine(
        "Wintergreen >> still holding the hill with all I have left, will it hold till the end");
    REQUIRE(console->GetLines()[0].ends_with("..."));
    REQUIRE(console->GetLines()[1].ends_with("..."));
    CHECK(console->GetLines()[1].starts_with(cut + " has left"));
    screen.Frames(1);
    const platform::RgbImage leaving = screen.Shot("match_tundra_long_console_lines");
    WriteCloseUp(leaving, 560, 640, 830, 730, "match_tundra_long_console_lines_close");
    constexpr int kFrameLeft = 802;
    for (const int top : {680, 700}) {
        CAPTURE(top);
        CHECK(CountPixels(leaving, kFrameLeft - 60, top, kFrameLeft - 2, top + 16, IsTextBlue) >= 40);
    }
    CHECK(CountPixels(leaving, kFrameLeft - 2, 678, kFrameLeft + 30, 718, IsTextBlue) == 0);
    // The frame beside the lines is as it is sixty rows up, where only short
    // lines stand: no rim on it either.
    for (int y = 678; y < 718; ++y) {
        for (int x = kFrameLeft + 1; x < kFrameLeft + 10; ++x) {
            CAPTURE(x);
            CAPTURE(y);
            const Rgb here = PixelAt(leaving, x, y);
            const Rgb above = PixelAt(leaving, x, y - 60);
            CHECK(std::max({std::abs(here.r - above.r), std::abs(here.g - above.g), std::abs(here.b - above.b)}) <= 6);
        }
    }

    // The statistics, with the first army's name far longer than its column.
    const std::string longName = "Wintergreen of the Northern Reaches";
    Battle::Instance()->GetArmies().front()->SetName(longName);
    GameRules::Instance()->SetState(kMatchStatistics);
    screen.Frames(2);
    const platform::RgbImage statistics = screen.Shot("statistics_long_name");
    // The names stop short of the damage column's divider at x 300.
    const auto white = [](const Rgb& c) { return std::min({c.r, c.g, c.b}) > 200; };
    for (std::size_t row = 0; row < Battle::Instance()->GetArmies().size(); ++row) {
        CAPTURE(row);
        const int y = 250 + 50 * static_cast<int>(row);
        CHECK(CountPixels(statistics, 292, y, 306, y + 32, white) == 0);
    }
    // The long name's row shows its start across the column.
    const std::vector<std::unique_ptr<Army>>& ranked = Battle::Instance()->GetArmies();
    const auto found = std::find_if(ranked.begin(), ranked.end(), [&longName](const std::unique_ptr<Army>& army) {
        return army->GetName() == longName;
    });
    REQUIRE(found != ranked.end());
    const int nameY = 250 + 50 * static_cast<int>(found - ranked.begin());
    CHECK(CountPixels(statistics, 100, nameY, 290, nameY + 32, white) >= 200);
}

TEST_CASE("the main menu's labels lie inside their buttons on the up, hover and down faces")
{
    GameOnScreen screen(2718);
    for (const char* name : {ScreenManager::kSinglePlayerButton, ScreenManager::kMultiPlayerButton}) {
        CAPTURE(name);
        // Built afresh for each button, so neither starts hovered or pressed.
        ScreenManager::Instance()->SetScreen(kScreenMainMenu);
        Cursor::Instance()->SetX(kWidth - 4);
        Cursor::Instance()->SetY(4);
        const guiRect button = PixelRectOf(ScreenManager::kMainMenuWindow, name, kGuiButton);
        const int centreX = static_cast<int>((button.left + button.right) / 2.0f);
        const int centreY = static_cast<int>((button.top + button.bottom) / 2.0f);
        const std::string base = std::string("screens_main_menu_") + name;
        for (const char* face : {"up", "hover", "down"}) {
            CAPTURE(face);
            if (std::string(face) == "hover") {
                testing::Dispatch(kGuiMouseMove, centreX, centreY);
            } else if (std::string(face) == "down") {
                testing::Dispatch(kGuiLeftDown, centreX, centreY);
            }
            screen.Frames(1);
            // The whole menu once, each button's faces close up.
            const bool first = std::string(name) == ScreenManager::kSinglePlayerButton && std::string(face) == "up";
            platform::RgbImage picture;
            if (first) {
                picture = screen.Shot("screens_main_menu");
            } else {
                REQUIRE(Renderer::Instance()->GetDevice()->ReadPicture(picture));
            }
            WriteCloseUp(picture, static_cast<int>(button.left) - 12, static_cast<int>(button.top) - 6,
                         static_cast<int>(button.right) + 12, static_cast<int>(button.bottom) + 6, base + "_" + face);
            // The label's rows (offset 12, glyphs 15 pixels high): white
            // glyphs well inside the face, none on its rim or past it.
            const int top = static_cast<int>(button.top) + 12;
            CheckLabelInsideFace(picture, button, top, top + 16, 100);
        }
    }
}

TEST_CASE("sixteen hosts heard keep the connection screen's list inside its panel")
{
    GameOnScreen screen(2718);
    for (int i = 0; i < 16; ++i) {
        screen.session.hosts.push_back({-2, "Host number " + std::to_string(i)});
    }
    ScreenManager::Instance()->SetScreen(kScreenConnection);
    Cursor::Instance()->SetX(kWidth - 4);
    Cursor::Instance()->SetY(4);
    screen.Frames(3);
    const platform::RgbImage picture = screen.Shot("screens_connection_sixteen_hosts");
    WriteCloseUp(picture, 290, 140, 660, 260, "screens_connection_sixteen_hosts_top");
    WriteCloseUp(picture, 290, 560, 660, 690, "screens_connection_sixteen_hosts_bottom");
    // The panel's picture ends at 0.875 of the height; its frame and the
    // line inside it take the last ten pixels.
    const int panelInside = static_cast<int>(0.875f * (kHeight - 1)) - 10;
    const int lineX = static_cast<int>(0.4f * kWidth);
    const auto buttonRect = [](int i) {
        return PixelRectOf(ConnectionScreen::kWindow, ConnectionScreen::kHostButtonPrefix + std::to_string(i),
                           kGuiButton);
    };

    // Every host has its button, each below the last, the first where the
    // list has always started, the last clear of the frame.
    REQUIRE(ConnectionScreen::Instance()->HostButtonCount() == 16);
    CHECK(buttonRect(0).top == doctest::Approx(0.235f * (kHeight - 1)));
    for (int i = 0; i < 16; ++i) {
        CAPTURE(i);
        const guiRect button = buttonRect(i);
        CHECK(button.right < static_cast<float>(lineX));
        CHECK(button.bottom <= static_cast<float>(panelInside));
        if (i > 0) {
            CHECK(button.top >= buttonRect(i - 1).bottom - 0.5f);
        }
        // "Connect" inside its face; nothing white on the face's top or
        // bottom edge, where a label too low for the face would show.
        const int top = static_cast<int>(button.top);
        const int bottom = static_cast<int>(button.bottom);
        CheckLabelInsideFace(picture, button, top + 2, bottom - 2, 60);
        CHECK(CountPixels(picture, static_cast<int>(button.left), top - 2, static_cast<int>(button.right), top + 3,
                          IsWhite) == 0);
        CHECK(CountPixels(picture, static_cast<int>(button.left), bottom - 2, static_cast<int>(button.right),
                          bottom + 3, IsWhite) == 0);

        // The host's line level with its button's label: the same first
        // and last rows of ink, give or take a pixel or two, and nothing of
        // it past the button's top or bottom.
        const int lineWidth = TextManager::Instance()->MeasureText(
            std::to_string(i) + " : Name: Host number " + std::to_string(i), "Default");
        const InkRows label = RowsWith(picture, static_cast<int>(button.left) + 2, top,
                                       static_cast<int>(button.right) - 2, bottom, IsWhite);
        const InkRows line = RowsWith(picture, lineX, top - 4, lineX + lineWidth, bottom + 4, IsWhite);
        REQUIRE(label.first >= 0);
        REQUIRE(line.first >= 0);
        CHECK(std::abs(line.first - label.first) <= 2);
        CHECK(std::abs(line.last - label.last) <= 1);
        CHECK(line.first > top);
        CHECK(line.last < bottom);
        CHECK(CountPixels(picture, lineX, line.first, lineX + lineWidth, line.last + 1, IsWhite) >= 60);
    }

    // The last line, the total of every host heard, below the last host's
    // line and inside the panel.
    const guiRect last = buttonRect(15);
    const int totalWidth = TextManager::Instance()->MeasureText("16 Entries Total", "Default");
    const InkRows total =
        RowsWith(picture, lineX, static_cast<int>(last.bottom), lineX + totalWidth, panelInside + 20, IsWhite);
    REQUIRE(total.first >= 0);
    CHECK(total.last < panelInside);
    CHECK(CountPixels(picture, lineX, total.first, lineX + totalWidth, total.last + 1, IsWhite) >= 60);
    // Nothing written on the frame or below it, across the buttons and the lines.
    CHECK(CountPixels(picture, 300, panelInside, 700, panelInside + 20, IsWhite) == 0);

    // "Connect" stays inside its face when the pointer is over the button
    // and when it is held down on it (never let go: no join starts).
    for (int i = 0; i < 16; ++i) {
        CAPTURE(i);
        const guiRect button = buttonRect(i);
        const int centreX = static_cast<int>((button.left + button.right) / 2.0f);
        const int centreY = static_cast<int>((button.top + button.bottom) / 2.0f);
        for (const char* face : {"hover", "down"}) {
            CAPTURE(face);
            testing::Dispatch(std::string(face) == "hover" ? kGuiMouseMove : kGuiLeftDown, centreX, centreY);
            screen.Frames(1);
            platform::RgbImage shown;
            REQUIRE(Renderer::Instance()->GetDevice()->ReadPicture(shown));
            if (i == 15) {
                WriteCloseUp(shown, static_cast<int>(button.left) - 12, static_cast<int>(button.top) - 6,
                             static_cast<int>(button.right) + 12, static_cast<int>(button.bottom) + 6,
                             std::string("screens_connection_last_host_") + face);
            }
            CheckLabelInsideFace(shown, button, static_cast<int>(button.top) + 2, static_cast<int>(button.bottom) - 2,
                                 60);
        }
    }
    CHECK(ConnectionScreen::Instance()->GetStatus().empty());
}

TEST_CASE("a single-player match names its player in the chat, cuts long names on the scoreboard and shows nothing it "
          "said over its statistics")
{
    GameOnScreen screen(2718);
    StartBodyCount(screen, 0);
    TextBox* console = TextManager::Instance()->GetTextBox("ChatConsole");
    REQUIRE(console != nullptr);
    REQUIRE(console->GetLines().front() == "Game On");

    // The line typed goes out under the name the player's army bears, the
    // name the statistics show.
    const Army* own = SelectionController::Instance()->GetArmy();
    REQUIRE(own != nullptr);
    CHECK_FALSE(own->GetName().empty());
    std::string typed = "hello";
    testing::Fire(PlayScreen::ChatBoxCallback, kGuiEditBoxEnter, guiParam::FromPointer(typed.data()));
    CHECK(console->GetLines().front() == own->GetName() + " >> hello");

    // Tab: every army's name, far too long, stops short of the strengths.
    const std::vector<std::unique_ptr<Army>>& armies = Battle::Instance()->GetArmies();
    for (const std::unique_ptr<Army>& army : armies) {
        army->SetName(army->GetName() + " Client Longname of the Northern Reaches");
    }
    GameRules::Instance()->SetShowScores(true);
    screen.Frames(1);
    const platform::RgbImage scoreboard = screen.Shot("match_scoreboard_long_names");
    // Under the army panels only the text is white.
    const auto white = [](const Rgb& c) { return std::min({c.r, c.g, c.b}) > 230; };
    for (std::size_t row = 0; row < armies.size(); ++row) {
        CAPTURE(row);
        const int y = 80 + 20 * static_cast<int>(row);
        CHECK(CountPixels(scoreboard, 340, y, 340 + RulesHud::kNameWidth, y + 16, white) >= 100);
        CHECK(CountPixels(scoreboard, 340 + RulesHud::kNameWidth + 1, y, 540, y + 16, white) == 0);
        CHECK(CountPixels(scoreboard, 540, y, 580, y + 16, white) >= 20);
    }
    GameRules::Instance()->SetShowScores(false);

    // The clock runs out: "Sudden Death!", and Body Count's sudden death
    // ends at once.
    screen.clock.Advance(61.0);
    screen.Frames(1);
    REQUIRE(GameRules::Instance()->GetState() == kMatchStatistics);
    screen.Frames(2);
    const platform::RgbImage statistics = screen.Shot("statistics_after_the_clock");
    // Below the table, where the console's lines stood, no text.
    CHECK(console->LineCount() == 0);
    CHECK(CountPixels(statistics, 230, 540, 760, 720, IsTextBlue) == 0);

    // A line said once the statistics are up (a host leaving) shows.
    NetworkManager::Instance()->Ui().AddGameChatLine("The host has left the game.");
    screen.Frames(1);
    const platform::RgbImage said = screen.Shot("statistics_with_a_later_line");
    const int lineWidth = TextManager::Instance()->MeasureText("The host has left the game.", "Default");
    CHECK(CountPixels(said, 235, 700, 235 + lineWidth, 716, IsTextBlue) >= 40);
}
