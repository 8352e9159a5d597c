// Plays the game through its menus the way a player does (ScriptedPlayer.h),
// in an offscreen window at 1024x768, with a fixed seed and a fixed frame
// time. Probes read the game after chosen frames, and the title, the match
// with its HUD and the statistics are saved as screenshots in the build
// folder and checked at a few pixels.
//
// In the match the player commands the army with the mouse and keys alone:
// a type key, move clicks on the ground and on the minimap, a right-click on
// the minimap to look at an enemy, an attack click, F10.
//
// The pictures whose pixels are checked are the test's own plain colours, laid
// over the generated data, so the checks see the layout and not the art.
// Without a GL device only the states are checked, and the test is reported
// to ctest as skipped, not passed (testing::ReportSkipped).
#include "app/Game.h"
#include "app/SplashLogo.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/GameRules.h"
#include "game/Unit.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/Cursor.h"
#include "input/Mouse.h"
#include "input/SelectionController.h"
#include "platform/GlRenderDevice.h"
#include "platform/ImageFile.h"
#include "platform/NullWindow.h"
#include "platform/Random.h"
#include "platform/ScanCodes.h"
#include "platform/SdlWindow.h"
#include "render/MinimapLayout.h"
#include "render/Renderer.h"
#include "render/ScreenProjection.h"
#include "screens/HudOverlay.h"
#include "screens/PlayScreen.h"
#include "screens/ScreenManager.h"
#include "screens/StatisticsScreen.h"
#include "world/Terrain.h"

#include "ScriptedPlayer.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using e2e::ScriptedPlayer;

constexpr unsigned kSeed = 1414;

// The plain pictures (0xRRGGBB) the pixel checks look for.
constexpr std::uint32_t kTitleColour = 0x2050A0;
constexpr std::uint32_t kGameOverColour = 0x205050;
constexpr std::uint32_t kButtonUpColour = 0xC08020;
constexpr std::uint32_t kBorderColour = 0x30C0B0;

// A picture of one colour; with a ring, only a ring two texels wide round a
// clear middle (the HUD's frame, stretched over the screen: each texel 16
// pixels at 1024x768). The loader tells pictures apart by their bytes,
// whatever the name says.
void WritePlainPicture(const fs::path& path, std::uint32_t rgb, bool ring)
{
    platform::RgbaImage image;
    image.width = 64;
    image.height = 48;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const bool edge = x < 2 || y < 2 || x >= image.width - 2 || y >= image.height - 2;
            image.rgba.insert(image.rgba.end(),
                              {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                               static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(!ring || edge ? 255 : 0)});
        }
    }
    fs::remove(path);
    REQUIRE(platform::WriteWholeFile(path.string(), platform::EncodeDds32(image)));
}

// The generated data, with the checked pictures replaced by plain ones.
void MakeDataTree(const fs::path& here)
{
    testing::LinkDataTree(here, "Interface");
    const fs::path buttons = here / "Interface" / "Button";
    const fs::path textures = here / "Interface" / "Textures";
    const std::pair<fs::path, std::uint32_t> pictures[] = {{buttons / "KVTitle.png", kTitleColour},
                                                           {buttons / "bup.dds", kButtonUpColour},
                                                           {buttons / "bhover.dds", 0xE0E060},

                                                           {textures / "GameOverScreen.png", kGameOverColour}};
    for (const auto& [path, colour] : pictures) {
        WritePlainPicture(path, colour, false);
    }
    WritePlainPicture(textures / "Border.dds", kBorderColour, true);
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
            MESSAGE("no GL device, states only: " << (sdl ? why : "no offscreen window"));
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
// without a drawing device, when the picture's checks are reported skipped.
platform::RgbImage Shot(const std::string& name)
{
    platform::RgbImage image;
    platform::RenderDevice* device = Renderer::Instance()->GetDevice();
    if (!device) {
        MESSAGE("no GL device; the pixel checks of " << name << " skipped");
        testing::ReportSkipped();
        return {};
    }
    // With a device the picture is read back, or the checks fail.
    REQUIRE(device->ReadPicture(image));
    const fs::path path = fs::path(KV_TEST_OUTPUT_DIR) / (name + ".bmp");
    platform::WriteWholeFile(path.string(), platform::EncodeBmp24(image));
    return image;
}

// The pixel at (x, y) is the colour, or is not when not wanted, within a
// small distance on each channel: the GL driver may round a colour by one.
// Without a drawing device the picture is empty and its checks were
// reported skipped when it was taken.
void CheckPixel(const platform::RgbImage& image, int x, int y, std::uint32_t colour, bool wanted = true)
{
    if (image.rgb.empty()) {
        return;
    }
    CAPTURE(x);
    CAPTURE(y);
    REQUIRE(x < image.width);
    REQUIRE(y < image.height);
    const std::size_t at =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)) * 3;
    bool near = true;
    for (std::size_t channel = 0; channel < 3; ++channel) {
        const int expected = static_cast<int>((colour >> (16 - 8 * channel)) & 0xFF);
        near = near && std::abs(static_cast<int>(image.rgb[at + channel]) - expected) <= 3;
    }
    CHECK(near == wanted);
}

// A statistics row's panel, the army's colour with alpha 0x55, blended over
// the plain background.
std::uint32_t PanelOverBackground(std::uint32_t armyColour)
{
    std::uint32_t blended = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t army = (armyColour >> shift) & 0xFFu;
        const std::uint32_t background = (kGameOverColour >> shift) & 0xFFu;
        blended |= ((army * 0x55u + background * (0xFFu - 0x55u) + 127u) / 0xFFu) << shift;
    }
    return blended;
}

// The menus at the title (the background battle's eight armies are the
// game's match test's part).
void CheckAtTitle()
{
    CHECK(Game::Instance()->GetSetting(kSettingGameState) == kStateMenus);
    CHECK(ScreenManager::Instance()->GetScreenId() == kScreenTitle);
    CHECK(guiManager::Instance()->GetWindow(ScreenManager::kTitleWindow) != nullptr);
}

// Pixel centre of "OK" (and "Start" after it) at 1024x768.
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
    // unit type changed and what the test adds, "OK"; in unit selection the
    // Triangoloids' slider pushed to its top (the 10 missing units come) and
    // "Start". Returns the first pass of the match.
    int ToMatch(int from, const std::function<void(int)>& extraOptions)
    {
        // The screens on the way are the screen tests' part: reaching unit
        // selection with the options chosen shows each click landed.
        player.ClickAt(from, 300, 300);
        player.ClickAt(from + 5, 394, 387); // "Single Player"
        // The map slider dragged two thirds down (Tundra), Smashtors barred.
        player.DragAt(from + 10, 686, 130, 686, 340);
        player.ClickAt(from + 15, 134, 136);
        extraOptions(from + 19);
        const int selection = from + 30;
        player.At(selection, [] {
            CHECK(ScreenManager::Instance()->GetScreenId() == kScreenUnitSelection);
            const GameOptions& options = Game::Instance()->GetOptions();
            CHECK(options.mapIndex == 2);
            CHECK(options.unitMask == (kAllowAllUnitTypes & ~kAllowSmashtor));
        });
        // Start shows only once the drag has brought the total up to 40.
        player.DragAt(selection + 1, 608, 600, 608, 462);
        player.ClickAt(selection + 8, kOkX, kOkY); // "Start" where "OK" was
        player.At(selection + 12, [] {
            // The HUD and the in-game window it brings are the match-end test's part.
            REQUIRE(Game::Instance()->GetSetting(kSettingGameState) == kStateMatch);
        });
        return selection + 13;
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

float GroundDistance(const Vec3& a, const Vec3& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

// What the commanding steps pass on to the later ones.
struct Orders {
    Vec2 ground;
    Vec3 groundPoint;
    Vec2 minimap;
    Vec3 minimapPoint;
    Vec3 enemyCentre;
    Vec2 enemyOnScreen;
    Unit* enemy = nullptr;
};

// What "2" selects: every own Triangoloid.
void CheckTriangoloidsSelected()
{
    const std::vector<std::unique_ptr<Unit>>& own = Selection()->GetArmy()->GetUnits();
    const auto triangoloids = static_cast<std::size_t>(std::count_if(
        own.begin(), own.end(), [](const std::unique_ptr<Unit>& unit) { return unit->GetType() == kTriangoloid; }));
    CHECK(triangoloids > 0);
    CHECK(Selection()->GetSelected().size() == triangoloids);
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
    orders.minimap = Selection()->GetMinimapLayout().WorldToScreen(point.x, point.z);
    orders.minimapPoint = point;
}

// The centre of the first enemy army with units left, for the minimap.
void PlanCameraJump(Orders& orders)
{
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        if (army.get() != Selection()->GetArmy() && army->GetCentre()) {
            orders.enemyCentre = *army->GetCentre();
            orders.minimap = Selection()->GetMinimapLayout().WorldToScreen(orders.enemyCentre.x, orders.enemyCentre.z);
            return;
        }
    }
    FAIL("no enemy army left");
}

// An enemy unit on the screen that a click would pick.
void PlanAttack(Orders& orders)
{
    const ScreenProjection projection = PlayerProjection();
    for (const std::unique_ptr<Army>& army : Battle::Instance()->GetArmies()) {
        for (const std::unique_ptr<Unit>& unit : army->GetUnits()) {
            Vec2 at;
            if (army.get() != Selection()->GetArmy() && projection.ToScreen(unit->GetPosition(), at) &&
                ClickableSpot(at) && Selection()->PickUnit(at.x, at.y) == unit.get()) {
                orders.enemyOnScreen = at;
                orders.enemy = unit.get();
                return;
            }
        }
    }
    FAIL("no enemy on the screen to attack");
}

// A click on a spot planned earlier orders the selection to the point under
// it (how the units walk there is the physics tests' part). Then the next plan.
int OrderMove(ScriptedPlayer& player, Orders& orders, int at, const Vec2& spot, const Vec3& point, float within,
              void (*planNext)(Orders&))
{
    player.ClickOn(at, spot, e2e::kLeftButton);
    player.At(at + 3, [&orders, &point, within, planNext] {
        const std::vector<Unit*>& selected = Selection()->GetSelected();
        REQUIRE_FALSE(selected.empty());
        CHECK(GroundDistance(Selection()->GetTargetPoint(), point) <= within);
        CHECK(std::all_of(selected.begin(), selected.end(),
                          [](const Unit* unit) { return unit->GetOrder() == kOrderMove; }));
        planNext(orders);
    });
    return at + 4;
}

// In the match from pass `from` on: the Triangoloids selected by their key
// (boxes and clicks that select are the selection and play screen tests'
// part), a move click on the ground and one on the minimap, a right-click on
// the minimap that takes the camera to an enemy army, the Triangoloids
// selected again, an attack on the enemy unit under the cursor, F10 and a
// picture of the match with its HUD. Returns the pass after the last step.
int CommandTheArmy(ScriptedPlayer& player, Orders& orders, int from)
{
    player.At(from, [] {
        REQUIRE(Selection()->GetArmy() != nullptr);
        CHECK(Selection()->GetSelected().empty());
    });
    player.TapAt(from + 1, platform::kScan2);
    player.At(from + 3, [&orders] {
        CheckTriangoloidsSelected();
        PlanGroundClick(orders);
    });
    int at = OrderMove(player, orders, from + 4, orders.ground, orders.groundPoint, 3.0f, PlanMinimapClick);
    // A pixel of the minimap is two steps of ground; the mouse may end a pixel off.
    at = OrderMove(player, orders, at, orders.minimap, orders.minimapPoint, 5.0f, PlanCameraJump);

    // A right-click on the minimap over an enemy army: the camera goes
    // there and the selection is let go.
    player.ClickOn(at, orders.minimap, e2e::kRightButton);
    player.At(at + 3, [&orders] {
        CHECK(GroundDistance(Game::Instance()->GetCamera().GetView().GetTarget(), orders.enemyCentre) <= 5.0f);
        CHECK(Selection()->GetSelected().empty());
    });
    player.TapAt(at + 4, platform::kScan2);
    player.At(at + 6, [&player, &orders] {
        CheckTriangoloidsSelected();
        PlanAttack(orders);
        player.MoveToSpot(orders.enemyOnScreen);
    });
    // The cursor turns to the crosshair over the enemy; a click attacks it.
    player.At(at + 11, [&orders] {
        CHECK(Selection()->GetHover() == orders.enemy);
        CHECK(Cursor::Instance()->GetMode() == kCursorAttack);
    });
    player.PressAt(at + 11, e2e::kLeftButton);
    // Without Ctrl the attack is on the enemy's army (the selection test
    // checks each unit's order): a unit may go for a nearer one of its units.
    player.At(at + 13, [&orders] {
        const std::vector<Unit*>& selected = Selection()->GetSelected();
        CHECK(std::count_if(selected.begin(), selected.end(),
                            [&orders](const Unit* unit) { return unit->GetTargets().target == orders.enemy; }) > 0);
    });

    // F10 saves the last frame, once.
    player.TapAt(at + 14, platform::kScanF10);
    player.At(at + 16, [] {
        const fs::path shot = fs::current_path() / "Screenshots" / "ScreenShot - 0.bmp";
        REQUIRE(fs::exists(shot));
        CHECK_FALSE(fs::exists(fs::current_path() / "Screenshots" / "ScreenShot - 1.bmp"));
        // The frame of the HUD all round, the battle through its middle (the
        // panels' places are the HUD test's part).
        const platform::RgbImage match = Shot("match-hud");
        CheckPixel(match, 8, 300, kBorderColour);
        CheckPixel(match, 300, 8, kBorderColour);
        CheckPixel(match, 1015, 300, kBorderColour);
        CheckPixel(match, 512, 300, kBorderColour, false);
    });
    return at + 17;
}

} // namespace

TEST_CASE("a player goes from the title into a match of eight armies, commands the army and leaves with Escape")
{
    PlayThrough run;
    ScriptedPlayer& player = run.player;

    player.At(9, [] {
        CheckAtTitle();
        const platform::RgbImage title = Shot("menus-title");
        CheckPixel(title, 100, 100, kTitleColour);
        CheckPixel(title, 900, 700, kTitleColour);
    });
    // The options' boxes and buttons draw their faces as the gui tests show,
    // through the canvas whose pixels the title and the statistics show.
    const int match = run.ToMatch(10, [&player](int when) { player.ClickAt(when + 4, kOkX, kOkY); });
    player.At(match, [] { CHECK(Battle::Instance()->GetAuthority()); });
    // Without a drawing device no frame runs the selection's marks, the
    // hover under the cursor among them: only the way out of the match is
    // played then.
    Orders orders;
    if (!run.screen.Drawn()) {
        MESSAGE("no GL device; commanding the army, F10 and the match's pixel checks skipped");
        testing::ReportSkipped();
    }
    const int left = run.screen.Drawn() ? CommandTheArmy(player, orders, match + 1) : match + 1;
    player.TapAt(left, platform::kScanEscape);
    player.At(left + 6, [drawn = run.screen.Drawn()] {
        CheckAtTitle();
        // Pictures are made only on a drawing device.
        if (drawn) {
            CHECK(guiManager::Instance()->GetWindow(ScreenManager::kTitleWindow)->TextureCount() == 1);
        } else {
            MESSAGE("no GL device; the title's picture count skipped");
            testing::ReportSkipped();
        }
        // The match's window and HUD went with it; the selection let go of
        // its freed units is the match-end test's part.
        CHECK(guiManager::Instance()->GetWindow(PlayScreen::kWindowName) == nullptr);
        CHECK_FALSE(HudOverlay::Instance()->IsVisible());
    });
    CHECK(run.game->Run() == 0);
    CHECK(player.Done());
}

TEST_CASE("a player plays a short match to the statistics and leaves them with Done")
{
    PlayThrough run;
    ScriptedPlayer& player = run.player;

    // Body Count: the match ends as soon as its minute is over.
    const int pass = run.ToMatch(10, [&player](int when) {
        player.ClickAt(when, 134, 616);
        player.ClickAt(when + 4, kOkX, kOkY);
    });
    player.At(pass, [&player] { player.extraSeconds = 61.0; });
    // Done, clicked below, is there if the title comes back.
    player.At(pass + 4, [&player] {
        CHECK(GameRules::Instance()->GetState() == kMatchStatistics);
        player.MoveTo(500, 450);
    });
    player.At(pass + 6, [] {
        const platform::RgbImage statistics = Shot("menus-statistics");
        CheckPixel(statistics, 500, 150, kGameOverColour);
        CheckPixel(statistics, 823, 72, kButtonUpColour);
        // Each row's panel is its army's colour a third opaque over the
        // background, rows in ranked order from y 250, 50 apart.
        const std::vector<std::unique_ptr<Army>>& ranked = GameRules::Instance()->GetRankedArmies();
        REQUIRE(ranked.size() == 8);
        for (std::size_t row = 0; row < ranked.size(); ++row) {
            CAPTURE(row);
            CheckPixel(statistics, 450, 266 + 50 * static_cast<int>(row),
                       PanelOverBackground(ranked[row]->GetColour()));
        }
    });
    player.ClickAt(pass + 7, 874, 57);
    // That the match's end takes the Done button with it is the match-end test's part.
    player.At(pass + 13, CheckAtTitle);
    CHECK(run.game->Run() == 0);
    CHECK(player.Done());
}
