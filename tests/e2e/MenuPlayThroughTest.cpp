// Plays the game through its menus the way a player does: key and mouse
// records go into the input layer's buffers, beneath the keyboard and mouse,
// and everything above them (the GUI, the screens, the Game's frames) runs
// unchanged, headless in an offscreen window at 1024x768, with a fixed seed
// and a fixed frame time. Probes read the game after chosen frames, and the
// title, options, unit selection, the match with its HUD and the statistics
// are saved as screenshots in the build folder and checked at a few pixels.
//
// In the match the player commands the army with the mouse and keys alone:
// a box round it, move clicks on the ground and on the minimap, a right-click
// on the minimap to look at an enemy, a type key, an attack click, F10.
//
// The pictures whose pixels are checked are the test's own plain colours, laid
// over the generated data, so the checks see the layout and not the art.
#include "app/Game.h"
#include "app/SplashLogo.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/GameRules.h"
#include "game/Unit.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/Cursor.h"
#include "input/KeyCommand.h"
#include "input/Mouse.h"
#include "input/SelectionController.h"
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
#include "render/MinimapLayout.h"
#include "render/Renderer.h"
#include "render/ScreenProjection.h"
#include "screens/HudOverlay.h"
#include "screens/OptionsScreen.h"
#include "screens/PlayScreen.h"
#include "screens/ScreenManager.h"
#include "screens/StatisticsScreen.h"
#include "screens/UnitSelectionScreen.h"
#include "world/Terrain.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
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
constexpr std::uint32_t kBorderColour = 0x30C0B0;

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

// The HUD's frame: a ring two texels wide of one colour round a clear
// middle, stretched over the screen (each texel 16 pixels at 1024x768).
void WriteBorderPicture(const fs::path& path)
{
    platform::RgbaImage image;
    image.width = 64;
    image.height = 48;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const bool ring = x < 2 || y < 2 || x >= image.width - 2 || y >= image.height - 2;
            image.rgba.push_back(static_cast<std::uint8_t>(kBorderColour >> 16));
            image.rgba.push_back(static_cast<std::uint8_t>(kBorderColour >> 8));
            image.rgba.push_back(static_cast<std::uint8_t>(kBorderColour));
            image.rgba.push_back(ring ? 255 : 0);
        }
    }
    fs::remove(path);
    REQUIRE(platform::WriteWholeFile(path.string(), platform::EncodeDds32(image)));
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
    WriteBorderPicture(textures / "Border.dds");
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

    static void Button(bool down) { ButtonOf(0, down); }
    static void RightButton(bool down) { ButtonOf(1, down); }

    static void ButtonOf(int button, bool down)
    {
        platform::MouseRecord record;
        record.kind = platform::MouseRecordKind::kButton;
        record.button = button;
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

    // A key pressed in one frame and let go in the next.
    void TapAt(int when, std::uint8_t scanCode)
    {
        At(when, [scanCode] { Key(scanCode, true); });
        At(when + 1, [scanCode] { Key(scanCode, false); });
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
    // Where each run puts the cursor: the screen's centre.
    int x_ = 512;
    int y_ = 384;
};

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
        // The HUD's frame and close-up target are GL objects of this device.
        HudOverlay::Instance()->Release();
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
        // Each run starts with the cursor in the middle, where the player
        // expects it, whatever an earlier run in this process left.
        Mouse::Instance()->SetX(512);
        Mouse::Instance()->SetY(384);
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

// The match as the player sees it, through the Game's own camera.
ScreenProjection PlayerProjection()
{
    return ScreenProjection(Game::Instance()->GetCamera().GetView(), 1024.0f, 768.0f);
}

SelectionController* Selection()
{
    return SelectionController::Instance();
}

// Where an own unit or the ground may be clicked: clear of the screen's
// edges (which pan the camera) and of the HUD's two panels.
bool ClickableSpot(const Vec2& point)
{
    const bool onScreen = point.x > 40.0f && point.x < 984.0f && point.y > 40.0f && point.y < 728.0f;
    const bool onPanels = point.y > 540.0f && (point.x < 230.0f || point.x > 795.0f);
    return onScreen && !onPanels;
}

bool ListedOnceAndOwn(const std::vector<Unit*>& units)
{
    const Army* own = Selection()->GetArmy();
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i]->GetArmy() != own || std::count(units.begin(), units.end(), units[i]) != 1) {
            return false;
        }
    }
    return true;
}

float GroundDistance(const Vec3& a, const Vec3& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

float MeanDistance(const std::vector<Unit*>& units, const Vec3& point)
{
    float sum = 0.0f;
    for (const Unit* unit : units) {
        sum += GroundDistance(unit->GetPosition(), point);
    }
    return units.empty() ? 0.0f : sum / static_cast<float>(units.size());
}

bool AllOrdered(const std::vector<Unit*>& units, UnitOrder order)
{
    return std::all_of(units.begin(), units.end(), [order](const Unit* unit) { return unit->GetOrder() == order; });
}

// What the commanding steps pass on to the later ones.
struct Orders {
    Vec2 boxFrom;
    Vec2 boxTo;
    std::size_t inBox = 0;
    Vec2 ground;
    Vec3 groundPoint;
    Vec2 minimap;
    Vec3 minimapPoint;
    Vec3 enemyCentre;
    Vec2 enemyOnScreen;
    Unit* enemy = nullptr;
    float distanceBefore = 0.0f;
};

// The box round every own unit on the screen.
void PlanBox(Orders& orders)
{
    const ScreenProjection projection = PlayerProjection();
    Vec2 low{1e6f, 1e6f};
    Vec2 high{-1e6f, -1e6f};
    std::vector<Vec2> seen;
    for (const std::unique_ptr<Unit>& unit : Selection()->GetArmy()->GetUnits()) {
        Vec2 at;
        if (projection.ToScreen(unit->GetPosition(), at)) {
            seen.push_back(at);
            low = {std::min(low.x, at.x), std::min(low.y, at.y)};
            high = {std::max(high.x, at.x), std::max(high.y, at.y)};
        }
    }
    REQUIRE_FALSE(seen.empty());
    orders.boxFrom = {std::clamp(low.x - 20.0f, 40.0f, 984.0f), std::clamp(low.y - 20.0f, 40.0f, 728.0f)};
    orders.boxTo = {std::clamp(high.x + 20.0f, 40.0f, 984.0f), std::clamp(high.y + 20.0f, 40.0f, 728.0f)};
    orders.inBox = static_cast<std::size_t>(std::count_if(seen.begin(), seen.end(), [&orders](const Vec2& at) {
        return at.x > orders.boxFrom.x && at.x < orders.boxTo.x && at.y > orders.boxFrom.y && at.y < orders.boxTo.y;
    }));
}

// A point of open ground on the screen away from the army, with no unit on it.
void PlanGroundClick(Orders& orders)
{
    Game* game = Game::Instance();
    const PickView pick = game->GetCamera().MakePickView(1024.0f, 768.0f);
    const std::vector<Vec2> candidates = {{512, 150}, {300, 150}, {724, 150}, {512, 250}, {250, 300}, {774, 300}};
    for (const Vec2& at : candidates) {
        Vec3 ground;
        if (Selection()->PickUnit(at.x, at.y) == nullptr &&
            game->GetTerrain().ScreenToTerrain(pick, at.x, at.y, ground)) {
            orders.ground = at;
            orders.groundPoint = ground;
            return;
        }
    }
    FAIL("no open ground to click on");
}

// A point on the minimap 60 steps from the army towards the map's middle.
void PlanMinimapClick(Orders& orders)
{
    const Vec3 centre = Selection()->GetArmy()->GetCentre().value_or(Vec3());
    const float across = std::hypot(centre.x, centre.z);
    const Vec3 inward = across > 1.0f ? Vec3(-centre.x / across, 0.0f, -centre.z / across) : Vec3(1.0f, 0.0f, 0.0f);
    const Vec3 point = centre + inward * 60.0f;
    const MinimapLayout layout = Selection()->GetMinimapLayout();
    orders.minimap = layout.WorldToScreen(point.x, point.z);
    orders.minimapPoint = point;
}

// The centre of the first enemy army with units left, for the minimap.
void PlanCameraJump(Orders& orders)
{
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        if (army.get() != Selection()->GetArmy() && army->GetCentre()) {
            orders.enemyCentre = *army->GetCentre();
            const MinimapLayout layout = Selection()->GetMinimapLayout();
            orders.minimap = layout.WorldToScreen(orders.enemyCentre.x, orders.enemyCentre.z);
            return;
        }
    }
    FAIL("no enemy army left");
}

// The enemy unit nearest the middle of the screen that a click would pick.
void PlanAttack(Orders& orders)
{
    const ScreenProjection projection = PlayerProjection();
    float best = 1e9f;
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        if (army.get() == Selection()->GetArmy()) {
            continue;
        }
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            Vec2 at;
            if (!projection.ToScreen(unit->GetPosition(), at) || !ClickableSpot(at)) {
                continue;
            }
            const float fromMiddle = std::hypot(at.x - 512.0f, at.y - 384.0f);
            if (fromMiddle < best && Selection()->PickUnit(at.x, at.y) == unit.get()) {
                best = fromMiddle;
                orders.enemyOnScreen = at;
                orders.enemy = unit.get();
            }
        }
    }
    REQUIRE(orders.enemy != nullptr);
}

bool SameGroundPoint(const Vec3& a, const Vec3& b, float within)
{
    CAPTURE(a.x);
    CAPTURE(a.z);
    CAPTURE(b.x);
    CAPTURE(b.z);
    return GroundDistance(a, b) <= within;
}

// In the match from pass `from` on: the box round the own army, a move click
// on the ground and one on the minimap (the units set off for both), a
// right-click on the minimap that takes the camera to an enemy army, the
// Triangoloids selected by their key, an attack on the enemy unit under the
// cursor, F10 and a picture of the match with its HUD. Returns the pass
// after the last step.
int CommandTheArmy(ScriptedPlayer& player, Orders& orders, int from)
{
    int at = from;
    player.At(at, [&player, &orders] {
        REQUIRE(Selection()->GetArmy() != nullptr);
        CHECK(HudOverlay::Instance()->IsVisible());
        CHECK(WindowExists(PlayScreen::kWindowName));
        CHECK(Selection()->GetSelected().empty());
        PlanBox(orders);
        player.MoveTo(static_cast<int>(orders.boxFrom.x), static_cast<int>(orders.boxFrom.y));
    });
    player.At(at + 1, [] { ScriptedPlayer::Button(true); });
    player.At(at + 2, [&player, &orders] {
        player.MoveTo(static_cast<int>(orders.boxTo.x), static_cast<int>(orders.boxTo.y));
    });
    // Held a few frames: the box is recounted every twentieth of a second.
    player.At(at + 7, [] {
        CHECK(Selection()->IsBoxActive());
        ScriptedPlayer::Button(false);
    });
    player.At(at + 8, [&orders] {
        const std::vector<Unit*>& selected = Selection()->GetSelected();
        CHECK(selected.size() == orders.inBox);
        CHECK(ListedOnceAndOwn(selected));
        CHECK_FALSE(Selection()->IsPressed());
        PlanGroundClick(orders);
    });
    at += 9;

    // A click on open ground: the selection sets off for it.
    player.At(at, [&player, &orders] {
        player.MoveTo(static_cast<int>(orders.ground.x), static_cast<int>(orders.ground.y));
    });
    player.At(at + 1, [] { ScriptedPlayer::Button(true); });
    player.At(at + 2, [] { ScriptedPlayer::Button(false); });
    player.At(at + 3, [&orders] {
        const std::vector<Unit*>& selected = Selection()->GetSelected();
        REQUIRE_FALSE(selected.empty());
        CHECK(SameGroundPoint(Selection()->GetTargetPoint(), orders.groundPoint, 3.0f));
        CHECK(AllOrdered(selected, kOrderMove));
        orders.distanceBefore = MeanDistance(selected, orders.groundPoint);
    });
    player.At(at + 63, [&orders] {
        const std::vector<Unit*>& selected = Selection()->GetSelected();
        CHECK(MeanDistance(selected, orders.groundPoint) < orders.distanceBefore - 1.0f);
        PlanMinimapClick(orders);
    });
    at += 64;

    // A click on the minimap: the ground drawn under it.
    player.At(at, [&player, &orders] {
        player.MoveTo(static_cast<int>(orders.minimap.x), static_cast<int>(orders.minimap.y));
    });
    player.At(at + 1, [] { ScriptedPlayer::Button(true); });
    player.At(at + 2, [] { ScriptedPlayer::Button(false); });
    player.At(at + 3, [&orders] {
        const std::vector<Unit*>& selected = Selection()->GetSelected();
        REQUIRE_FALSE(selected.empty());
        // A pixel of the minimap is two steps of ground; the mouse may end
        // a pixel off.
        CHECK(SameGroundPoint(Selection()->GetTargetPoint(), orders.minimapPoint, 5.0f));
        CHECK(AllOrdered(selected, kOrderMove));
        orders.distanceBefore = MeanDistance(selected, orders.minimapPoint);
    });
    player.At(at + 63, [&orders] {
        CHECK(MeanDistance(Selection()->GetSelected(), orders.minimapPoint) < orders.distanceBefore - 1.0f);
        PlanCameraJump(orders);
    });
    at += 64;

    // A right-click on the minimap over an enemy army: the camera goes
    // there and the selection is let go.
    player.At(at, [&player, &orders] {
        player.MoveTo(static_cast<int>(orders.minimap.x), static_cast<int>(orders.minimap.y));
    });
    player.At(at + 1, [] { ScriptedPlayer::RightButton(true); });
    player.At(at + 2, [] { ScriptedPlayer::RightButton(false); });
    player.At(at + 3, [&orders] {
        CHECK(SameGroundPoint(Game::Instance()->GetCamera().GetView().GetTarget(), orders.enemyCentre, 5.0f));
        CHECK(Selection()->GetSelected().empty());
        CHECK(Selection()->GetTargets().empty());
    });
    // "2": every own Triangoloid.
    player.TapAt(at + 4, platform::kScan2);
    player.At(at + 6, [&player, &orders] {
        const Army* own = Selection()->GetArmy();
        const std::vector<Unit*>& selected = Selection()->GetSelected();
        const auto triangoloids = static_cast<std::size_t>(
            std::count_if(own->GetUnits().begin(), own->GetUnits().end(),
                          [](const std::unique_ptr<Unit>& unit) { return unit->GetType() == kTriangoloid; }));
        CHECK(triangoloids > 0);
        CHECK(selected.size() == triangoloids);
        CHECK(ListedOnceAndOwn(selected));
        CHECK(std::all_of(selected.begin(), selected.end(),
                          [](const Unit* unit) { return unit->GetType() == kTriangoloid; }));
        PlanAttack(orders);
        player.MoveTo(static_cast<int>(orders.enemyOnScreen.x), static_cast<int>(orders.enemyOnScreen.y));
    });
    at += 7;

    // The cursor turns to the crosshair over the enemy; a click attacks it.
    player.At(at + 4, [&orders] {
        CHECK(Selection()->GetHover() == orders.enemy);
        CHECK(Cursor::Instance()->GetMode() == kCursorAttack);
        ScriptedPlayer::Button(true);
    });
    player.At(at + 5, [] { ScriptedPlayer::Button(false); });
    // Without Ctrl the attack is on the enemy's army: a unit may go for
    // one of its units nearer than the one clicked.
    player.At(at + 6, [&orders] {
        const std::vector<Unit*>& selected = Selection()->GetSelected();
        CHECK(std::count_if(selected.begin(), selected.end(),
                            [&orders](const Unit* unit) { return unit->GetTargets().target == orders.enemy; }) > 0);
        for (const Unit* unit : selected) {
            CHECK(unit->GetTargets().targetArmy == orders.enemy->GetArmy());
            CHECK((unit->GetOrder() == kOrderEngage || unit->GetOrder() == kOrderAttack));
        }
    });
    at += 7;

    // F10 saves the last frame; a second press a second picture.
    player.TapAt(at, platform::kScanF10);
    player.At(at + 2, [] {
        if (Renderer::Instance()->GetDevice() == nullptr) {
            return;
        }
        const fs::path shot = fs::current_path() / "Screenshots" / "ScreenShot - 0.bmp";
        REQUIRE(fs::exists(shot));
        CHECK_FALSE(fs::exists(fs::current_path() / "Screenshots" / "ScreenShot - 1.bmp"));
        // The picture of a frame of the match, its HUD's frame at the edge.
        std::ifstream file(shot, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        platform::RgbaImage saved;
        REQUIRE(platform::DecodeImage(bytes, saved));
        CHECK(saved.width == 1024);
        CHECK(saved.height == 768);
        const std::size_t edge = (300u * 1024u + 8u) * 4u;
        CHECK(Near((static_cast<std::uint32_t>(saved.rgba[edge]) << 16) |
                       (static_cast<std::uint32_t>(saved.rgba[edge + 1]) << 8) | saved.rgba[edge + 2],
                   kBorderColour));
        const platform::RgbImage match = Shot("match-hud");
        // The frame of the HUD all round, the battle through its middle,
        // the two panels drawn over the frame.
        CheckPixel(match, 8, 300, kBorderColour);
        CheckPixel(match, 300, 8, kBorderColour);
        CheckPixel(match, 1015, 300, kBorderColour);
        if (!match.rgb.empty()) {
            CHECK_FALSE(Near(PixelAt(match, 512, 300), kBorderColour));
            CHECK_FALSE(Near(PixelAt(match, 112, 655), kBorderColour));
            CHECK_FALSE(Near(PixelAt(match, 911, 655), kBorderColour));
        }
    });
    return at + 3;
}

} // namespace

TEST_CASE("a player goes from the title into a match of eight armies, commands the army and leaves with Escape")
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
    });
    // Without a drawing device no frame runs the selection's marks, the box
    // among them: only the way out of the match is played then.
    Orders orders;
    const int left = run.screen.Drawn() ? CommandTheArmy(player, orders, pass + 13) : pass + 13;
    player.TapAt(left, platform::kScanEscape);
    player.At(left + 6, [] {
        CHECK(Game::Instance()->GetSetting(kSettingGameState) == kStateMenus);
        CHECK(ScreenManager::Instance()->GetScreenId() == kScreenTitle);
        CHECK(WindowExists(ScreenManager::kTitleWindow));
        CHECK(guiManager::Instance()->GetWindow(ScreenManager::kTitleWindow)->TextureCount() == 1);
        CHECK(Armies() == 8);
        CHECK(GameRules::Instance()->InMenus());
        // Nothing of the match is left to point at its freed units.
        CHECK_FALSE(WindowExists(PlayScreen::kWindowName));
        CHECK_FALSE(HudOverlay::Instance()->IsVisible());
        CHECK(Selection()->GetSelected().empty());
        CHECK(Selection()->GetTargets().empty());
        CHECK(Selection()->GetHover() == nullptr);
    });
    player.lastPass = left + 7;

    CHECK(run.game->Run() == 0);
    CHECK(player.pass == left + 7);
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
        CHECK(WindowExists(PlayScreen::kWindowName));
        CHECK(HudOverlay::Instance()->IsVisible());
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
