// Plays the game through its menus the way a player does: key and mouse
// records go into the input layer's buffers, beneath the keyboard and mouse,
// and everything above them (the GUI, the screens, the Game's frames) runs
// unchanged, headless in an offscreen window at 1024x768, with a fixed seed
// and a fixed frame time. Probes read the game after chosen frames, and the
// title, options, unit selection and statistics are saved as screenshots in
// the build folder and checked at a few pixels.
//
// The pictures whose pixels are checked are the test's own plain colours, laid
// over the generated data, so the checks see the layout and not the art.
#include "app/Game.h"
#include "app/SplashLogo.h"
#include "game/Battle.h"
#include "game/GameRules.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/Cursor.h"
#include "input/KeyCommand.h"
#include "platform/EventPump.h"
#include "platform/GlRenderDevice.h"
#include "platform/ImageFile.h"
#include "platform/InputEvents.h"
#include "platform/NullEventPump.h"
#include "platform/NullWindow.h"
#include "platform/QuitRequest.h"
#include "platform/Random.h"
#include "platform/ScanCodes.h"
#include "platform/SdlWindow.h"
#include "render/Renderer.h"
#include "screens/OptionsScreen.h"
#include "screens/ScreenManager.h"
#include "screens/StatisticsScreen.h"
#include "screens/UnitSelectionScreen.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double kFrameStep = 1.0 / 60.0;
constexpr unsigned kSeed = 1414;

// The plain pictures (0xRRGGBB) the pixel checks look for.
constexpr std::uint32_t kTitleColour = 0x2050A0;
constexpr std::uint32_t kOptionsColour = 0x406020;
constexpr std::uint32_t kSelectionColour = 0x603060;
constexpr std::uint32_t kGameOverColour = 0x205050;
constexpr std::uint32_t kButtonUpColour = 0xC08020;
constexpr std::uint32_t kButtonDownColour = 0x802010;
constexpr std::uint32_t kButtonHoverColour = 0xE0E060;

// The folder of data whose name matches, whatever the case, else a new one.
fs::path FolderLike(const fs::path& parent, const std::string& name)
{
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    };
    if (fs::exists(parent)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(parent)) {
            if (entry.is_directory() && lower(entry.path().filename().string()) == lower(name)) {
                return entry.path();
            }
        }
    }
    fs::create_directories(parent / name);
    return parent / name;
}

void WritePlainPicture(const fs::path& path, std::uint32_t rgb)
{
    platform::RgbImage image;
    image.width = 16;
    image.height = 16;
    for (int i = 0; i < image.width * image.height; ++i) {
        image.rgb.push_back(static_cast<std::uint8_t>(rgb >> 16));
        image.rgb.push_back(static_cast<std::uint8_t>(rgb >> 8));
        image.rgb.push_back(static_cast<std::uint8_t>(rgb));
    }
    fs::remove(path);
    // The loader tells pictures apart by their bytes, whatever the name says.
    REQUIRE(platform::WriteWholeFile(path.string(), platform::EncodeBmp24(image)));
}

// The working directory: the generated data, with the checked pictures
// replaced by plain ones.
void MakeDataTree(const fs::path& here)
{
    const fs::path data = testing::DataDirectory();
    for (const fs::directory_entry& entry : fs::directory_iterator(data)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && name != "Interface") {
            fs::create_directory_symlink(entry.path(), here / name);
        }
    }
    fs::copy(data / "Interface", here / "Interface", fs::copy_options::recursive);
    const fs::path buttons = FolderLike(here / "Interface", "Button");
    const fs::path textures = FolderLike(here / "Interface", "Textures");
    WritePlainPicture(buttons / "KVTitle.png", kTitleColour);
    WritePlainPicture(buttons / "bup.dds", kButtonUpColour);
    WritePlainPicture(buttons / "bdown.dds", kButtonDownColour);
    WritePlainPicture(buttons / "bhover.dds", kButtonHoverColour);
    WritePlainPicture(textures / "GameOptionsBack.png", kOptionsColour);
    WritePlainPicture(textures / "UnitSelectBack.png", kSelectionColour);
    WritePlainPicture(textures / "GameOverScreen.png", kGameOverColour);
}

// The player: at chosen passes of the main loop it puts key and mouse
// records where the window system's pump would, and probes the game. It
// knows where it left the cursor, as a player watching it does: the mouse
// counts motion double, so it moves half the distance.
class ScriptedPlayer : public platform::EventPump {
public:
    explicit ScriptedPlayer(testing::ManualClockScope& clock) : clock_(clock) {}

    platform::PumpResult Pump() override
    {
        ++pass;
        const auto due = script_.find(pass);
        if (due != script_.end()) {
            for (const std::function<void()>& step : due->second) {
                step();
            }
        }
        if (pass >= lastPass) {
            platform::PostQuit(0);
        }
        clock_.Advance(pass <= splashPasses ? 1.0 : kFrameStep + extraSeconds);
        extraSeconds = 0.0;
        return headless_.Pump();
    }

    void At(int when, std::function<void()> step) { script_[when].push_back(std::move(step)); }

    void MoveTo(int x, int y)
    {
        platform::MouseRecord record;
        record.kind = platform::MouseRecordKind::kMotion;
        record.dx = (x - x_) / 2;
        record.dy = (y - y_) / 2;
        x_ += 2 * record.dx;
        y_ += 2 * record.dy;
        platform::MouseRecords().Push(record);
    }

    static void Button(bool down)
    {
        platform::MouseRecord record;
        record.kind = platform::MouseRecordKind::kButton;
        record.button = 0;
        record.down = down;
        platform::MouseRecords().Push(record);
    }

    static void Key(std::uint8_t scanCode, bool down) { platform::KeyboardRecords().Push({scanCode, down, 0}); }

    // A click over three frames: move there, press, release.
    void ClickAt(int when, int x, int y)
    {
        At(when, [this, x, y] { MoveTo(x, y); });
        At(when + 1, [] { Button(true); });
        At(when + 2, [] { Button(false); });
    }

    // Pressed at one place, dragged to another, let go.
    void DragAt(int when, int fromX, int fromY, int toX, int toY)
    {
        At(when, [this, fromX, fromY] { MoveTo(fromX, fromY); });
        At(when + 1, [] { Button(true); });
        At(when + 2, [this, toX, toY] { MoveTo(toX, toY); });
        At(when + 3, [] { Button(false); });
    }

    int pass = 0;
    int lastPass = 1000;
    // The splash takes five seconds: it passes a second a frame.
    int splashPasses = 6;
    // Added to the next frame's time: a jump over a stretch of the match.
    double extraSeconds = 0.0;

private:
    testing::ManualClockScope& clock_;
    platform::NullEventPump headless_;
    std::map<int, std::vector<std::function<void()>>> script_;
    // Where the mouse puts its cursor at its first Init: the screen's centre.
    int x_ = 512;
    int y_ = 384;
};

// The match's own window is the in-game screen's; until it takes part in
// these runs, a stand-in of the same name takes Escape to leave the match
// the way the in-game window does, and holds the statistics' "Done".
// TODO(screens): drop the stand-in once the in-game screen builds "MainPlayScreen".
std::uint32_t StandInPlayWindow(std::uint32_t code, guiParam* a, guiParam*, bool* handled)
{
    if (code == kGuiKeyDown && static_cast<std::uint32_t>(a->AsInt()) == kKeyQuit) {
        GameRules::Instance()->SetState(kMatchGameOver);
        *handled = true;
    }
    return 0;
}

void EnsurePlayWindow()
{
    if (!guiManager::Instance()->GetWindow(StatisticsScreen::kPlayWindow)) {
        guiManager::Instance()->CreateWindow(StatisticsScreen::kPlayWindow)->SetCallback(StandInPlayWindow);
    }
}

// Channels within a small distance: the GL driver may round a colour by one.
bool Near(std::uint32_t actual, std::uint32_t expected)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > 3) {
            return false;
        }
    }
    return true;
}

// The offscreen window and its drawing device, or the null window when no GL
// can be had (then only the states are checked).
struct Screen {
    Screen()
    {
        platform::WindowConfig config;
        config.windowed = true;
        sdl = platform::SdlWindow::Open(config);
        std::string why;
        std::unique_ptr<platform::GlRenderDevice> device = sdl ? platform::GlRenderDevice::Create(*sdl, &why) : nullptr;
        if (device) {
            Renderer::Instance()->CreateDevice(std::move(device));
        } else {
            MESSAGE("no GL device, states only: " << why);
            sdl.reset();
        }
    }
    ~Screen()
    {
        SplashLogo::Instance()->SetTexture(nullptr);
        guiManager::Instance()->Shutdown();
        Cursor::Instance()->Release();
        StatisticsScreen::Instance()->Release();
        Renderer::Instance()->ReleaseDevice();
    }
    platform::Window* Window() { return sdl ? static_cast<platform::Window*>(sdl.get()) : &null; }
    bool Drawn() const { return sdl != nullptr; }

    std::unique_ptr<platform::SdlWindow> sdl;
    platform::NullWindow null{platform::WindowConfig{}};
};

// The last presented frame, saved in the build folder as name.bmp; empty
// without a drawing device.
platform::RgbImage Shot(const std::string& name)
{
    platform::RgbImage image;
    platform::RenderDevice* device = Renderer::Instance()->GetDevice();
    if (!device || !device->ReadPicture(image)) {
        return {};
    }
    const fs::path path = fs::path(KV_TEST_OUTPUT_DIR) / (name + ".bmp");
    platform::WriteWholeFile(path.string(), platform::EncodeBmp24(image));
    return image;
}

std::uint32_t PixelAt(const platform::RgbImage& image, int x, int y)
{
    const std::size_t at =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)) * 3;
    return (static_cast<std::uint32_t>(image.rgb[at]) << 16) | (static_cast<std::uint32_t>(image.rgb[at + 1]) << 8) |
           image.rgb[at + 2];
}

void CheckPixel(const platform::RgbImage& image, int x, int y, std::uint32_t expected)
{
    if (image.rgb.empty()) {
        return;
    }
    CAPTURE(x);
    CAPTURE(y);
    CAPTURE(expected);
    const std::uint32_t actual = PixelAt(image, x, y);
    CAPTURE(actual);
    CHECK(Near(actual, expected));
}

bool WindowExists(const char* name)
{
    return guiManager::Instance()->GetWindow(name) != nullptr;
}

std::size_t Armies()
{
    return Battle::Instance()->GetArmies().size();
}

// Pixel centres of the layout's widgets at 1024x768.
constexpr int kSinglePlayerX = 394;
constexpr int kSinglePlayerY = 387;
constexpr int kOkX = 910;
constexpr int kOkY = 724;

struct PlayThrough {
    PlayThrough() : player(clock)
    {
        MakeDataTree(here.Path());
        platform::TakePendingQuit();
        platform::SetInputFocus(true);
        game = Game::Instance();
        game->Init();
        platform::SeedRand(kSeed);
        game->SetWindow(screen.Window());
        game->SetEventPump(&player);
        game->LoadSplashLogo();
    }
    ~PlayThrough()
    {
        game->SetEventPump(nullptr);
        game->SetWindow(nullptr);
    }

    // Title, main menu, "Single Player", the options with the map and one
    // unit type changed, "OK": unit selection, from pass `from` on. Returns
    // the pass after the last step.
    int ToUnitSelection(int from, const std::function<void(int)>& extraOptions)
    {
        player.ClickAt(from, 300, 300);
        player.At(from + 4, [] { CHECK(ScreenManager::Instance()->GetScreenId() == kScreenMainMenu); });
        player.ClickAt(from + 5, kSinglePlayerX, kSinglePlayerY);
        player.At(from + 9, [] {
            CHECK(ScreenManager::Instance()->GetScreenId() == kScreenOptions);
            CHECK(OptionsScreen::Instance()->GetOptions().maxUnits == 40);
        });
        // The map slider dragged two thirds down (Tundra), Smashtors barred.
        player.DragAt(from + 10, 686, 130, 686, 340);
        player.ClickAt(from + 15, 134, 136);
        extraOptions(from + 19);
        return from + 30;
    }

    testing::TempDirectory here;
    testing::ManualClockScope clock;
    Screen screen;
    ScriptedPlayer player;
    Game* game = nullptr;
};

} // namespace

TEST_CASE("a player goes from the title to a match of eight armies and back with Escape")
{
    PlayThrough run;
    ScriptedPlayer& player = run.player;

    player.At(9, [] {
        CHECK(Game::Instance()->GetSetting(kSettingGameState) == kStateMenus);
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenTitle);
        CHECK(WindowExists(ScreenManager::kTitleWindow));
        CHECK(Armies() == 8);
        const platform::RgbImage title = Shot("menus-title");
        CheckPixel(title, 100, 100, kTitleColour);
        CheckPixel(title, 900, 700, kTitleColour);
    });
    int pass = run.ToUnitSelection(10, [&player](int when) {
        player.At(when, [&player] { player.MoveTo(500, 600); });
        player.At(when + 2, [] {
            const platform::RgbImage options = Shot("menus-options");
            CheckPixel(options, 500, 660, kOptionsColour);
            // OK is up, the barred Smashtor's box is up, the Triangoloid's down.
            CheckPixel(options, 866, 738, kButtonUpColour);
            CheckPixel(options, 100, 130, kButtonUpColour);
            CheckPixel(options, 100, 160, kButtonDownColour);
        });
        player.ClickAt(when + 4, kOkX, kOkY);
    });
    player.At(pass, [] {
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenUnitSelection);
        const GameOptions& options = Game::Instance()->GetOptions();
        CHECK(options.mapIndex == 2);
        CHECK(options.unitMask == (kAllowAllUnitTypes & ~kAllowSmashtor));
        CHECK(UnitSelectionScreen::Instance()->GetTotal() == 30);
        CHECK(WindowExists(UnitSelectionScreen::kCrossWindow));
    });
    // The Triangoloids' slider pushed to its top: the 10 missing units come.
    player.DragAt(pass + 1, 608, 600, 608, 462);
    player.At(pass + 5, [&player] { player.MoveTo(500, 700); });
    player.At(pass + 7, [] {
        CHECK(UnitSelectionScreen::Instance()->GetCount(UnitSelectionScreen::kTriangoloid) == 20);
        CHECK(UnitSelectionScreen::Instance()->GetTotal() == 40);
        const platform::RgbImage selection = Shot("menus-unit-selection");
        CheckPixel(selection, 818, 268, kSelectionColour);
        CheckPixel(selection, 866, 738, kButtonUpColour);
    });
    player.ClickAt(pass + 8, kOkX, kOkY); // "Start" where "OK" was
    player.At(pass + 12, [] {
        CHECK(Game::Instance()->GetSetting(kSettingGameState) == kStateMatch);
        CHECK(Armies() == 8);
        CHECK(Battle::Instance()->GetAuthority());
        EnsurePlayWindow();
    });
    player.At(pass + 14, [] { ScriptedPlayer::Key(platform::kScanEscape, true); });
    player.At(pass + 15, [] { ScriptedPlayer::Key(platform::kScanEscape, false); });
    player.At(pass + 20, [] {
        CHECK(Game::Instance()->GetSetting(kSettingGameState) == kStateMenus);
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenTitle);
        CHECK(WindowExists(ScreenManager::kTitleWindow));
        CHECK(guiManager::Instance()->GetWindow(ScreenManager::kTitleWindow)->TextureCount() == 1);
        CHECK(Armies() == 8);
        CHECK(GameRules::Instance()->InMenus());
    });
    player.lastPass = pass + 21;

    CHECK(run.game->Run() == 0);
    CHECK(player.pass == pass + 21);
}

TEST_CASE("a player plays a short match to the statistics and leaves them with Done")
{
    PlayThrough run;
    ScriptedPlayer& player = run.player;

    // Body Count: the match ends as soon as its minute is over.
    const int pass = run.ToUnitSelection(10, [&player](int when) {
        player.ClickAt(when, 134, 616);
        player.ClickAt(when + 4, kOkX, kOkY);
    });
    player.At(pass, [] { CHECK(Game::Instance()->GetOptions().mode == 3); });
    player.DragAt(pass + 1, 608, 600, 608, 462);
    player.ClickAt(pass + 6, kOkX, kOkY);
    player.At(pass + 10, [&player] {
        REQUIRE(Game::Instance()->GetSetting(kSettingGameState) == kStateMatch);
        EnsurePlayWindow();
        player.extraSeconds = 61.0;
    });
    player.At(pass + 14, [&player] {
        CHECK(GameRules::Instance()->GetState() == kMatchStatistics);
        CHECK(guiManager::Instance()->FindObject(StatisticsScreen::kPlayWindow, StatisticsScreen::kDoneButton,
                                                 kGuiButton) != nullptr);
        player.MoveTo(500, 450);
    });
    player.At(pass + 16, [] {
        const platform::RgbImage statistics = Shot("menus-statistics");
        CheckPixel(statistics, 500, 150, kGameOverColour);
        CheckPixel(statistics, 823, 72, kButtonUpColour);
        // The first row's panel tints the background with the army's colour.
        if (!statistics.rgb.empty()) {
            CHECK_FALSE(Near(PixelAt(statistics, 280, 275), kGameOverColour));
        }
    });
    player.ClickAt(pass + 17, 874, 57);
    player.At(pass + 23, [] {
        CHECK(Game::Instance()->GetSetting(kSettingGameState) == kStateMenus);
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenTitle);
        CHECK(Armies() == 8);
        CHECK(guiManager::Instance()->FindObject(StatisticsScreen::kPlayWindow, StatisticsScreen::kDoneButton,
                                                 kGuiButton) == nullptr);
    });
    player.lastPass = pass + 24;

    CHECK(run.game->Run() == 0);
}
