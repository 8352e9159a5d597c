// The application object: the world of the current battle, the display
// settings and current state, the match options, the frame clock and the
// table of per-state frame handlers. Everything reaches it through
// Game::Instance.
//
// Game.cpp holds construction, settings, options and Init; Game_Loop.cpp the
// main loop and shutdown; Game_Frames.cpp the four frame handlers, the
// simulation's frame and the building of the background battle behind the
// menus; Game_Match.cpp the match set-up, the creation of armies, the
// clearing of a battle and the leaving of a finished one.
//
// The battle itself (armies, scenery, flags, moving objects) is the game
// layer's Battle, which the simulation reaches without looking up here.
#pragma once

#include "app/GameInputHost.h"
#include "app/GameMenuHost.h"
#include "core/Singleton.h"
#include "game/GameOptions.h"
#include "platform/LightRecord.h"
#include "render/Camera.h"
#include "render/RendererCanvas.h"
#include "screens/ScreenManager.h"
#include "world/Terrain.h"

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>

class Army;
class GameNetSession;
class GameNetUi;
class GameNetWorld;
class NetBattleLink;

namespace platform {
class EventPump;
class Window;
} // namespace platform

// Indices of the six settings words.
enum GameSetting : int {
    kSettingHeight = 0,
    kSettingWidth = 1,
    kSettingWindowed = 2,
    kSettingPresentInterval = 3,
    kSettingGameState = 4,
    kSettingEditor = 5,
    kSettingCount = 6,
};

enum GameState : std::uint32_t {
    kStateSplash = 0,
    kStateMenus = 1,
    kStateIdle = 2,
    kStateMatch = 3,
    kStateCount = 4,
};

// Presentation without waiting for the display's refresh.
inline constexpr std::uint32_t kPresentIntervalImmediate = 0x80000000u;

// What the match frame does with the heartbeat cue this frame.
enum class HeartbeatSwitch {
    kLeave,
    kOn,
    kOff,
};

// One army colour per start slot, in slot order.
inline constexpr std::array<std::uint32_t, 8> kSlotColours = {
    0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFF80B0u, 0xFFA07000u, 0xFFBF00FFu, 0xFFFFFF00u, 0xFF00FFFFu,
};

class Game : public Singleton<Game> {
    friend class Singleton<Game>;

public:
    using FrameHandler = void (Game::*)();

    // Start-up before any window exists: stopwatches, default settings, the
    // state handlers, the random seed and the map list.
    void Init();
    // The main loop; returns the exit code of the quit that ended it.
    int Run();

    void LoadSplashLogo();
    // Builds the background battle and the title screen; runs after the
    // splash and again whenever a match ends.
    void LoadAfterSplash();

    // An army with 4000 points and the given units, placed at position, or,
    // when position is the origin, at a free start slot of the map (written
    // back into position); it takes a free slot's colour either way. Neither
    // local nor human: a computer army named "Computer", playing the rules'
    // mode. Null, with a log entry, when no start slot is free.
    Army* CreateArmy(bool local, const ArmyUnitCounts& counts, Vec3& position, bool human, const std::string& name);
    // A network match's start slot for one player: a free slot of the
    // map drawn at random, its position and colour. False when none is free.
    bool ClaimNetworkStartSlot(Vec3& position, std::uint32_t& colour);
    // A player's army of a network match, exactly where and in the colour
    // the host chose, so every machine builds the same armies; the selected
    // one is this machine's player's, with the view on it.
    Army* CreateNetworkArmy(bool selected, const ArmyUnitCounts& counts, const Vec3& position, const std::string& name,
                            std::uint32_t colour);
    // The options' computer armies (at most seven), each with the units the
    // options allow (ShareOutUnits), on random free start slots.
    void CreateComputerArmies();
    // A computer army's units for maxUnits (taken as 1 to 100): 37.5 %
    // Smashtors, 25 % Triangoloids, 25 % Trajectagons, 10 % Detagons, 2.5 %
    // Artillerators, whole units; the share of a type the mask bars is spread
    // over the allowed ones. No type allowed gives no units.
    static ArmyUnitCounts ShareOutUnits(std::uint32_t maxUnits, std::uint32_t unitMask);
    // A new match by the options: its map, the view, the rules, the world
    // objects. The armies are created after it.
    void StartMatch();
    // Clears the battle: the armies with their units, the scenery, the flags,
    // the moving objects, the timed unit queues and the physics; army ids
    // start again from 0.
    void EndMatch();
    // The first army with that id, or null.
    Army* FindArmyById(std::uint32_t id) const;

    // The frame handlers, one per GameState.
    void SplashFrame();
    void MenuFrame();
    void IdleFrame();
    void PlayFrame();

    // The splash logo's alpha at t = splash seconds / 5: fades in over
    // 0.2-0.5, holds to 0.7, fades out by 1.0.
    static std::uint32_t SplashAlpha(double t);
    // The heartbeat cue for the seconds left in the match's timed phase: on
    // in the last ten seconds, off once no time is left.
    static HeartbeatSwitch HeartbeatRule(float timeLeft);
    // "Kostrivane - <frames per second>"; 0 frames per second for an empty frame.
    static std::string FrameRateCaption(float frameTime);

    std::uint32_t GetSetting(int index) const;
    std::uint32_t SetSetting(int index, std::uint32_t value);
    // Factors from the 1024x768 layout to the real screen.
    float GetWidthScale() const;
    float GetHeightScale() const;

    // The options arrive from the menus and the network: a mode other than
    // 0 to 3, minutes outside 1 to 10, a map index above 3, maximum units
    // outside 1 to 100 or more than 7 computer armies refuses them all
    // (false), leaving the options as they were.
    bool SetOptions(std::uint32_t mode, float minutes, std::uint32_t unitMask, std::uint32_t mapIndex,
                    std::uint32_t maxUnits, std::uint32_t computerArmies);
    const GameOptions& GetOptions() const { return options_; }

    // The window and pump are made by main (or a test) and outlive the loop.
    void SetWindow(platform::Window* window) { window_ = window; }
    platform::Window* GetWindowHandle() const { return window_; }
    void SetEventPump(platform::EventPump* pump) { pump_ = pump; }

    Terrain& GetTerrain() { return terrain_; }
    Camera& GetCamera() { return camera_; }
    LightRecord& GetLight() { return light_; }
    std::list<std::string>& GetMapList() { return mapList_; }
    // The map the terrain holds for the background battle ("" before any).
    const std::string& GetBackgroundMapName() const { return backgroundMap_; }
    std::uint32_t GetBackgroundMode() const { return backgroundMode_; }
    float GetBackgroundMinutes() const { return backgroundMinutes_; }
    // The colour the splash logo is drawn with this frame (alpha in the top byte).
    std::uint32_t GetSplashColor() const { return splashColor_; }

    // Seconds the last frame took; every subsystem advances by it.
    float GetFrameTime() const { return frameTime_; }
    // Tests and tools drive frames with a chosen step.
    void SetFrameTime(float seconds) { frameTime_ = seconds; }

    // What the GUI and the cursor draw with and load their pictures through.
    RendererCanvas& GetCanvas() { return canvas_; }
    InputHost& GetInputHost() { return inputHost_; }
    MenuHost& GetMenuHost() { return menuHost_; }
    // The next frame's time is measured from now: loading is not one long frame.
    void RestartFrameClock();

    // The simulation's part of the menu and match frames, up to and
    // including the rules: what a headless battle runs, frame after frame.
    void SimulateFrame();

    SessionKind sessionKind = kSinglePlayer;

private:
    Game();
    ~Game();

    // Hands the network manager this game's world and screens, the screens
    // their network and the battle its link to the network; hosting
    // nothing, so this machine has authority.
    void ConnectNetwork();
    void RunStateHandler();
    void Shutdown();
    // The light every battle is lit by.
    void SetDaylight();
    // The rules reached game over: back to the menus from a match, or a new
    // background battle behind them.
    void LeaveMatch();
    void RestartBackgroundBattle();
    // The battle drawn under the camera; without a drawing device (headless)
    // a blank frame.
    void RenderFrame();
    void PresentBlankFrame();
    // The HUD's and the selection's layers of the renderer's frame, and the
    // in-game window's hooks into this game.
    void ConnectPlayerControls();
    // The ground point the player hears from: under the middle of the
    // screen's bottom edge.
    bool ListenerPoint(Vec3& out) const;
    bool BeginDrawing();
    void ClearPicture(std::uint32_t argb);
    void EndDrawing();
    // Loads a map of the list for the background battle: false, with the
    // terrain and the map name as they were, when none of them loads.
    bool LoadBackgroundMap();
    void CreateBackgroundArmies();
    // The view from behind an army at position, looking at it.
    void LookAtArmy(const Vec3& position);
    // The windows of the 2-D layer, with the statistics screen under them
    // while a match shows it.
    void DrawWindows();
    // The GUI's screen and drawing, the keyboard, the mouse and the cursor.
    void InitInputAndGui();

    std::uint32_t backgroundMode_ = 0;
    GameOptions options_;
    std::array<std::uint32_t, kSettingCount> settings_{};
    std::int64_t frameStart_ = 0;
    float frameTime_ = 0.0f;
    Terrain terrain_;
    Camera camera_;
    LightRecord light_;
    std::int64_t splashStart_ = 0;
    std::uint32_t splashColor_ = 0x00FFFFFFu;
    std::list<std::string> mapList_;
    std::string backgroundMap_;
    // What the GUI, the cursor, the HUD and the selection draw through on the
    // 2-D layer, and where they load their pictures.
    RendererCanvas canvas_;
    platform::Window* window_ = nullptr;
    platform::EventPump* pump_ = nullptr;
    float backgroundMinutes_ = 5.0f;
    std::array<FrameHandler, kStateCount> stateHandlers_{};
    GameInputHost inputHost_{*this};
    std::unique_ptr<GameNetWorld> netWorld_;
    std::unique_ptr<NetBattleLink> netLink_;
    std::unique_ptr<GameNetUi> netUi_;
    std::unique_ptr<GameNetSession> netSession_;
    GameMenuHost menuHost_{*this};
};
