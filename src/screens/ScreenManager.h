// The one switcher between the menu screens: the screen ids and what builds,
// closes and draws each, the window and widget names several screens share,
// the idle fade that dims the current menu window while the mouse rests, and
// the armies of the battle that runs behind the menus.
//
// Every screen is a single instance with a build function and, where it
// needs them, a close and a per-frame draw; there is no screen base class.
// SetScreen closes the current screen, destroys every window and builds the
// next one. The connection screen and the lobby reach the network through
// the NetSession the game hands over (SetNetSession); without one they show
// and do nothing network.
//
// ScreenManager_Menus.cpp holds the title and the main menu.
#pragma once

#include "core/EventTimer.h"
#include "core/Singleton.h"
#include "gui/guiCodes.h"
#include "platform/math/Vector.h"
#include "screens/ScreenId.h"

#include <array>
#include <cstdint>

class Canvas2D;
class MenuHost;
class NetSession;
class guiWindow;

// Where the eight armies of the battle behind the menus start, in order:
// seven round the edge, the eighth in the middle.
inline constexpr std::array<Vec3, 8> kBackgroundArmyPositions = {{{40.0f, 0.0f, 40.0f},
                                                                  {-40.0f, 0.0f, 40.0f},
                                                                  {-40.0f, 0.0f, -40.0f},
                                                                  {40.0f, 0.0f, -40.0f},
                                                                  {40.0f, 0.0f, 0.0f},
                                                                  {0.0f, 0.0f, -40.0f},
                                                                  {-40.0f, 0.0f, 0.0f},
                                                                  {0.5f, 0.0f, 0.5f}}};

// What a screen does at each point of its life; any may be null.
struct ScreenFunctions {
    void (*build)() = nullptr;
    void (*close)() = nullptr;
    void (*draw)(Canvas2D& canvas) = nullptr;
};

class ScreenManager : public Singleton<ScreenManager> {
    friend class Singleton<ScreenManager>;

public:
    // Window and widget names shared between screens and the network's
    // handlers. The main menu and unit selection are both the unnamed
    // window: only one of them exists at a time.
    static constexpr const char* kTitleWindow = "SplashScreenHandle";
    static constexpr const char* kMainMenuWindow = "";
    static constexpr const char* kUnitSelectionWindow = "";
    static constexpr const char* kStartButton = "ConfirmButton";
    static constexpr const char* kSinglePlayerButton = "SinglePlayer";
    static constexpr const char* kMultiPlayerButton = "MultiPlayer";
    static constexpr const char* kHostGameButton = "ClientNotify";
    static constexpr const char* kTitlePicture = "Interface/Button/KVTitle.png";
    // Button faces: normal, pressed, mouse-over. Data paths are looked up
    // whatever the case of their letters, so "button" finds "Button".
    static constexpr const char* kButtonUp = "Interface/Button/bup.dds";
    static constexpr const char* kButtonDown = "Interface/button/bdown.dds";
    static constexpr const char* kButtonHover = "Interface/button/bhover.dds";
    static constexpr const char* kTrackPicture = "Interface/EditBox/genericbg.dds";

    // The idle fade: full opacity for this long after the last reset, then a
    // step down every tick to the floor.
    static constexpr double kFadeDelaySeconds = 5.0;
    static constexpr double kFadeTickSeconds = 0.0125;
    static constexpr float kFadeStep = 0.015f;
    static constexpr float kFadeFloor = 0.2f;

    // Borrowed; the Game sets it once, the tests their recording host.
    void SetHost(MenuHost* host) { host_ = host; }
    MenuHost* GetHost() const { return host_; }
    // Borrowed, like the host; null without a network.
    void SetNetSession(NetSession* session) { session_ = session; }
    NetSession* GetNetSession() const { return session_; }

    // Closes the current screen, destroys every window, builds screen id and
    // makes it current. An id outside the table builds nothing and keeps the
    // current id (a programming error, caught in debug builds).
    void SetScreen(int id);
    ScreenId GetScreenId() const { return current_; }
    // The options laid over the lobby change the id without a switch: the
    // lobby stays built underneath.
    void SetScreenIdDirectly(ScreenId id) { current_ = id; }
    // Replaces a screen's functions (tests stand in their own).
    void RegisterScreen(ScreenId id, const ScreenFunctions& functions);

    void BuildTitleScreen();
    void BuildMainMenu();
    // The in-game window of a match starting: no menu screen is current
    // while it stands, so SetScreen plays no part; leaving the match
    // destroys it and builds the title screen.
    void BuildPlayScreen();

    // The current screen's per-frame work (its texts), once a menu frame.
    void DrawCurrentScreen(Canvas2D& canvas) const;

    // After the splash: the first 5 s timer, then a reset.
    void StartIdleFade();
    void ResetIdleFade();
    // The fade's timer callback: phase 0 resets, phase 1 steps.
    static void MenuIdleFade(TimerWord ignored, TimerWord phase);
    float GetFadeAlpha() const { return fadeAlpha_; }
    // The timers were cleared: the kept ids name nothing any more.
    void ForgetTimers();

    // The host's announcement timer, kept for the match start to remove.
    void SetHostAnnouncementTimer(std::uint32_t id) { hostAnnouncementTimer_ = id; }
    std::uint32_t TakeHostAnnouncementTimer();

    // The eight computer armies of a restarted battle behind the menus.
    void CreateBackgroundArmies();

    // The screens' window callbacks.
    static std::uint32_t TitleScreenCallback(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t MainMenuCallback(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t SinglePlayerPressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    static std::uint32_t MultiPlayerPressed(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
    // Escape ends the program from a menu window; a mouse move that no
    // widget took resets the fade. Shared by the menu windows.
    static void QuitOrResetFade(std::uint32_t code, const guiParam* a);

private:
    ScreenManager();

    // Entering the connection screen readies the network first.
    void PrepareNetwork();
    void StepIdleFade();
    // The current screen's window, or null (the lobby and options have none).
    guiWindow* FadingWindow() const;
    void AddMenuButton(guiWindow& window, const char* name, guiCallback callback, float x, const char* label,
                       float labelX);

    MenuHost* host_ = nullptr;
    NetSession* session_ = nullptr;
    std::array<ScreenFunctions, kScreenCount> screens_{};
    ScreenId current_ = kScreenTitle;
    std::uint32_t firstFadeTimer_ = kNoTimer;
    std::uint32_t fadeTimer_ = kNoTimer;
    float fadeAlpha_ = 1.0f;
    std::uint32_t hostAnnouncementTimer_ = kNoTimer;
    // The title leaves only on a left release that follows its own press, so
    // the release of a click made on the screen before never skips it.
    bool titlePressed_ = false;
};
