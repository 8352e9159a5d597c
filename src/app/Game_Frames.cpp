// Game: the frame handlers of the four states, the splash logo and the
// building of the background battle behind the menus.
//
// The menu and match frames share one order of work: timed callbacks, network
// messages, input, animation and order queues, armies, projectiles,
// particles, physics, rules; then the menu screen (menus only), the network
// flush, the heartbeat (match only), sound, and last the render. Input comes
// before everything that acts on orders, and physics before the rules, so the
// rules judge the positions of this frame.
#include "app/Game.h"

#include "core/EventTimer.h"
#include "app/SplashLogo.h"
#include "core/ErrorLog.h"
#include "core/Stopwatch.h"
#include "game/AnimationCallbacks.h"
#include "game/Army.h"
#include "game/Battle.h"
#include "game/GameRules.h"
#include "game/OrderQueue.h"
#include "game/WorldPopulation.h"
#include "gui/guiManager.h"
#include "input/Cursor.h"
#include "input/Keyboard.h"
#include "input/Mouse.h"
#include "net/NetSenders.h"
#include "net/NetworkManager.h"
#include "physics/Physics.h"
#include "platform/MessageBox.h"
#include "platform/QuitRequest.h"
#include "platform/Random.h"
#include "platform/Window.h"
#include "render/ParticleManager.h"
#include "render/Renderer.h"
#include "input/SelectionController.h"
#include "render/TextManager.h"
#include "screens/HudOverlay.h"
#include "screens/PlayScreen.h"
#include "screens/ScreenManager.h"
#include "screens/StatisticsScreen.h"
#include "world/MeshLibrary.h"
#include "sound/SoundManager.h"

#include <cstddef>
#include <cstdlib>
#include <iterator>

namespace {

constexpr double kSplashSeconds = 5.0;
constexpr std::uint32_t kSplashWhite = 0x00FFFFFFu;
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;
constexpr float kHeartbeatSeconds = 10.0f;
constexpr const char* kSplashLogoPath = "Interface/Textures/SplashLogo.jpg";

// The background battle's view: high over a corner, looking at the centre.
constexpr Vec3 kMenuEye{61.25f, 87.5f, 61.25f};
constexpr float kMenuCameraSpeed = 0.1f;

} // namespace

std::uint32_t Game::SplashAlpha(double t)
{
    if (t < 0.2) {
        return 0;
    }
    if (t < 0.5) {
        return static_cast<std::uint32_t>(255.0 * (t - 0.2) / 0.3);
    }
    if (t < 0.7) {
        return 255;
    }
    if (t < 1.0) {
        return static_cast<std::uint32_t>(255.0 * (1.0 - (t - 0.7) / 0.3));
    }
    return 0;
}

HeartbeatSwitch Game::HeartbeatRule(float timeLeft)
{
    if (timeLeft > 0.0f && timeLeft <= kHeartbeatSeconds) {
        return HeartbeatSwitch::kOn;
    }
    if (timeLeft <= 0.0f) {
        return HeartbeatSwitch::kOff;
    }
    return HeartbeatSwitch::kLeave;
}

void Game::LoadSplashLogo()
{
    platform::RenderDevice* device = Renderer::Instance()->GetDevice();
    if (!device) {
        return;
    }
    std::string why;
    std::unique_ptr<platform::Texture> logo = device->CreateTextureFromFile(kSplashLogoPath, &why);
    if (!logo) {
        ErrorLog("Renderer.txt", true).Warning("No splash logo: " + why);
    }
    SplashLogo::Instance()->SetTexture(std::move(logo));
}

void Game::SplashFrame()
{
    const double t = static_cast<double>(TimerElapsed(splashStart_)) / kSplashSeconds;
    // Without a target to draw into the splash waits, state check included.
    if (!BeginDrawing()) {
        return;
    }
    ClearPicture(kOpaqueBlack);
    Renderer* renderer = Renderer::Instance();
    if (renderer->GetDevice()) {
        renderer->Set2DStates();
    }
    std::uint32_t alpha = SplashAlpha(t);
    if (t > 1.0) {
        LoadAfterSplash();
        settings_[kSettingGameState] = kStateMenus;
        alpha = 0;
    }
    splashColor_ = (alpha << 24) | kSplashWhite;
    const Vec2 size{static_cast<float>(GetSetting(kSettingWidth)), static_cast<float>(GetSetting(kSettingHeight))};
    renderer->DrawTexturedRect({0.0f, 0.0f}, size, splashColor_, SplashLogo::Instance()->GetTexture());
    EndDrawing();
}

void Game::MenuFrame()
{
    SimulateFrame();
    ScreenManager::Instance()->DrawCurrentScreen(canvas_);
    NetworkManager::Instance()->FlushOutgoing();
    SoundManager::Instance()->Update();
    RenderFrame();
}

void Game::IdleFrame() {}

void Game::PlayFrame()
{
    const MatchState stateBefore = GameRules::Instance()->GetState();
    SimulateFrame();
    NetworkManager::Instance()->FlushOutgoing();
    // The heartbeat beats through the match's last ten seconds. The rules run
    // first, so on the frame the clock runs out they have already started
    // sudden death's clock afresh: a phase that ended this frame counts as
    // no time left, or the beat would run on into sudden death.
    const bool phaseEnded = GameRules::Instance()->GetState() != stateBefore;
    const float timeLeft = phaseEnded ? 0.0f : GameRules::Instance()->GetPhaseTimeLeft();
    const HeartbeatSwitch cue = HeartbeatRule(timeLeft);
    if (cue == HeartbeatSwitch::kOn) {
        SoundManager::Instance()->SetHeartbeat(true);
    } else if (cue == HeartbeatSwitch::kOff) {
        SoundManager::Instance()->SetHeartbeat(false);
    }
    // The statistics: the button to leave by, and the heartbeat stopped
    // after the rule above, which may have started it again.
    if (GameRules::Instance()->GetState() == kMatchStatistics) {
        StatisticsScreen::Instance()->EnsureDoneButton();
        SoundManager::Instance()->SetHeartbeat(false);
    }
    SoundManager::Instance()->Update();
    RenderFrame();
}

void Game::SimulateFrame()
{
    EventTimer::Instance()->Update();
    NetworkManager::Instance()->ProcessIncoming(); // every message handler runs here
    Keyboard::Instance()->Poll();
    Mouse::Instance()->Poll();
    AnimationCallbacks::Instance()->Update();
    OrderQueue::Instance()->Update();
    Battle* const battle = Battle::Instance();
    UpdateArmies(*battle); // nothing moves during planning time
    battle->UpdateProjectiles();
    ParticleManager::Instance()->UpdateAll(frameTime_);
    Physics::Instance()->Step(frameTime_); // fires the collision callbacks
    // Projectiles removed by the step's callbacks are freed only now that
    // the step holds none of them.
    battle->FreeRetired();
    // Last, so the rules judge this frame's positions; game over leaves the
    // match from here.
    GameRules::Instance()->Update();
}

void Game::LoadAfterSplash()
{
    // Whatever battle ran before goes first, as at any match's end.
    EndMatch();
    backgroundMode_ = 0;
    // This machine runs the full simulation.
    ConnectNetwork();
    Battle* const battle = Battle::Instance();

    if (!LoadBackgroundMap()) {
        platform::ShowMessageBox("Could not load map.", "Kostrivane");
        // A failed load keeps the previous map; with none at all there is no
        // ground to stand on, so the game ends rather than run an empty world,
        // and builds nothing of one: armies without start slots would only
        // bury the one fault under warnings of their own.
        if (!terrain_.IsLoaded()) {
            ErrorLog("Game.txt", true).Error("No map could be loaded, so the game ends.");
            platform::PostQuit(EXIT_FAILURE);
            return;
        }
    }

    Renderer::Instance()->UploadMap(terrain_);

    CameraView& view = camera_.GetView();
    view.SetEye(kMenuEye);
    view.SetAt({0.0f, 0.0f, 0.0f});
    view.SetUp({0.0f, 1.0f, 0.0f});
    view.SetFov(kPi / 4.0f);
    view.SetAspect(static_cast<float>(GetSetting(kSettingWidth)) / static_cast<float>(GetSetting(kSettingHeight)));
    view.SetNear(2.0f);
    view.SetFar(800.0f);

    SetDaylight();

    terrain_.Relight(&light_, kGroundAmbient);
    Renderer::Instance()->CreateSky();
    MeshLibrary::Instance(); // loads every model
    HudOverlay::Instance()->Init(&canvas_, Renderer::Instance()->GetDevice(),
                                 static_cast<int>(GetSetting(kSettingWidth)),
                                 static_cast<int>(GetSetting(kSettingHeight)));
    // The minimap is redrawn into the terrain renderer's picture whenever the ground changes.
    HudOverlay::Instance()->SetMinimapSource(
        [] { return Renderer::Instance()->GetTerrainRenderer().GetMinimapTexture(); });
    SelectionController::Instance()->Attach(&camera_, &terrain_, static_cast<int>(GetSetting(kSettingWidth)),
                                            static_cast<int>(GetSetting(kSettingHeight)));
    GameRules::Instance()->BeginMatch(backgroundMode_, backgroundMinutes_, 0.0f);
    PopulateWorldObjects(*battle, terrain_, GameRules::Instance()->GetMode());

    EventTimer::Instance()->Restart();
    ScreenManager::Instance()->ForgetTimers();

    InitInputAndGui();
    TextManager* text = TextManager::Instance();
    text->Init(Renderer::Instance()->GetDevice());
    TextBox* chat = text->CreateTextBox("ChatConsole", "Default", kDefaultTextColor, 8, 235, 700, true, true, -20);
    for (int line = 0; line < 8; ++line) {
        chat->AddLine("");
    }
    ScreenManager::Instance()->BuildTitleScreen();
    CreateBackgroundArmies();
    camera_.ClearCommands();
    camera_.AddCommand(kCameraOrbitRight);
    camera_.SetSpeed(kMenuCameraSpeed);
    SoundManager::Instance()->SetListenerProvider([this](Vec3& out) { return ListenerPoint(out); });

    // The loading above took a while; the first menu frame must not see it.
    TimerStart(frameStart_);

    ScreenManager::Instance()->StartIdleFade();
    HudOverlay::Instance()->SetVisible(false);
    SoundManager::Instance()->FreeEffects();
}

void Game::InitInputAndGui()
{
    const auto width = static_cast<int>(GetSetting(kSettingWidth));
    const auto height = static_cast<int>(GetSetting(kSettingHeight));
    guiManager* gui = guiManager::Instance();
    gui->SetScreenSize(width, height);
    gui->SetCanvas(&canvas_);
    gui->SetTextureLoader(&canvas_);
    Keyboard::Instance()->Init(window_, &inputHost_);
    Mouse::Instance()->Init(window_, &inputHost_);
    Cursor::Instance()->Init(width, height, &canvas_);
    // The mouse keeps its place from one Init to the next (it starts in the
    // centre): the cursor is drawn where it is, so the clicks land under it.
    Mouse* const mouse = Mouse::Instance();
    Cursor::Instance()->SetX(mouse->GetX());
    Cursor::Instance()->SetY(mouse->GetY());
    Renderer::Instance()->SetOverlays([this] { DrawWindows(); }, [this] { Cursor::Instance()->Render(canvas_); });
}

void Game::DrawWindows()
{
    if (GetSetting(kSettingGameState) == kStateMatch && GameRules::Instance()->GetState() == kMatchStatistics) {
        StatisticsScreen::Instance()->Draw(canvas_, canvas_, GameRules::Instance()->GetRankedArmies(),
                                           static_cast<int>(GetSetting(kSettingWidth)),
                                           static_cast<int>(GetSetting(kSettingHeight)));
    }
    guiManager::Instance()->RenderAll();
}

void Game::RestartFrameClock()
{
    TimerStart(frameStart_);
}

void Game::SetDaylight()
{
    light_ = LightRecord{};
    light_.type = kLightDirectional;
    light_.diffuse = {1.0f, 1.0f, 0.8f, 1.0f};
    light_.specular = {1.0f, 1.0f, 0.8f, 1.0f};
    light_.direction = Vec3Normalize({2.0f, -2.0f, -3.0f});
}

// Eight computer armies of five Smashtors and five Triangoloids.
void Game::CreateBackgroundArmies()
{
    ArmyUnitCounts counts;
    counts.smashtors = 5;
    counts.triangoloids = 5;
    for (Vec3 position : kBackgroundArmyPositions) { // a copy: the army's start slot is written back
        CreateArmy(false, counts, position, false, "Player");
    }
}

bool Game::LoadBackgroundMap()
{
    if (mapList_.empty()) {
        return false;
    }
    // The random pick first, then the maps after it in list order: a broken
    // or missing map costs its message box, not the game, and one draw of the
    // generator keeps a seeded run's pick the same.
    const std::size_t count = mapList_.size();
    const auto pick = static_cast<std::size_t>(platform::Rand()) % count;
    for (std::size_t tried = 0; tried < count; ++tried) {
        const std::string& name = *std::next(mapList_.begin(), static_cast<std::ptrdiff_t>((pick + tried) % count));
        if (terrain_.Load(name)) {
            backgroundMap_ = name;
            return true;
        }
    }
    return false;
}

bool Game::BeginDrawing()
{
    // With no window at all (a headless run) frames draw nothing but go on.
    if (window_ && !window_->BeginFrame()) {
        return false;
    }
    if (platform::RenderDevice* device = Renderer::Instance()->GetDevice()) {
        device->BeginScene();
    }
    return true;
}

void Game::ClearPicture(std::uint32_t argb)
{
    if (platform::RenderDevice* device = Renderer::Instance()->GetDevice()) {
        device->Clear(argb, 1.0f);
    } else if (window_) {
        window_->Clear(argb);
    }
}

void Game::EndDrawing()
{
    if (platform::RenderDevice* device = Renderer::Instance()->GetDevice()) {
        device->EndScene();
        device->Present();
    } else if (window_) {
        window_->Present();
    }
}

void Game::RenderFrame()
{
    // Only the HUD shows the minimap: behind the menus it is left stale, and
    // the first frame of a match draws it.
    Renderer::Instance()->GetTerrainRenderer().SetMinimapShown(HudOverlay::Instance()->IsVisible());
    const RenderScene scene{&camera_, &terrain_, &light_, frameTime_};
    if (!Renderer::Instance()->RenderGame(scene)) {
        // Nothing to draw with, but the windows closed this frame still go.
        guiManager::Instance()->RenderAll();
        PresentBlankFrame();
    }
}

bool Game::ListenerPoint(Vec3& out) const
{
    const auto width = static_cast<float>(GetSetting(kSettingWidth));
    const auto height = static_cast<float>(GetSetting(kSettingHeight));
    return terrain_.ScreenToTerrain(camera_.MakePickView(width, height), width / 2.0f, height, out);
}

void Game::PresentBlankFrame()
{
    if (!BeginDrawing()) {
        return;
    }
    ClearPicture(kOpaqueBlack);
    EndDrawing();
}

void Game::ConnectPlayerControls()
{
    PlayScreenHooks hooks;
    hooks.inMenus = [this] { return GetSetting(kSettingGameState) == kStateMenus; };
    hooks.camera = &camera_;
    // The chat line is "name >> text". In a network game it goes out under
    // the player's network name, cut to the record's field with its
    // terminator by the sender; in single player it goes straight to the
    // console under the name the player's army bears on the statistics.
    hooks.sendChat = [this](const std::string& text) {
        NetworkManager* const net = NetworkManager::Instance();
        if (sessionKind != kSinglePlayer) {
            SendGameChat(*net, text);
            return;
        }
        const Army* const own = SelectionController::Instance()->GetArmy();
        if (!text.empty() && own) {
            net->Ui().AddGameChatLine(own->GetName() + " >> " + text);
        }
    };
    PlayScreen::Instance()->SetHooks(std::move(hooks));

    FrameLayers layers;
    layers.beforeClear = [this] {
        HudOverlay* hud = HudOverlay::Instance();
        if (hud->IsVisible()) {
            hud->RenderSelectionView(*Renderer::Instance(), light_, SelectionController::Instance()->GetSelected(),
                                     terrain_, camera_.GetView());
        }
    };
    layers.afterUnits = [this] {
        MeshDrawer* meshes = Renderer::Instance()->GetMeshDrawer();
        if (meshes && GetSetting(kSettingGameState) != kStateMenus) {
            SelectionController::Instance()->RenderMarker(frameTime_, *meshes);
        }
    };
    layers.afterWater = [this] { SelectionController::Instance()->Render(canvas_); };
    layers.overlay = [this] {
        HudOverlay* hud = HudOverlay::Instance();
        if (!hud->IsVisible()) {
            return;
        }
        Renderer* renderer = Renderer::Instance();
        const HudDrawStates states{[renderer] { renderer->Set2DStates(); }, [renderer] { renderer->SetLineStates(); }};
        hud->Render(canvas_, terrain_, camera_.GetView(), states);
    };
    Renderer::Instance()->SetFrameLayers(std::move(layers));
}
