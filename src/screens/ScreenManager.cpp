// ScreenManager: the switch between screens, the idle fade and the armies of
// the battle behind the menus.
#include "screens/ScreenManager.h"

#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "screens/ConnectionScreen.h"
#include "screens/LobbyScreen.h"
#include "screens/MenuHost.h"
#include "screens/NetSession.h"
#include "screens/OptionsScreen.h"
#include "screens/PlayScreen.h"
#include "screens/UnitSelectionScreen.h"

#include <cassert>
#include <cstddef>

namespace {

constexpr TimerWord kFadeReset = 0;
constexpr TimerWord kFadeTick = 1;

void MakeTitleScreen()
{
    ScreenManager::Instance()->BuildTitleScreen();
}

void MakeMainMenu()
{
    ScreenManager::Instance()->BuildMainMenu();
}

void BuildUnitSelection()
{
    UnitSelectionScreen::Instance()->Build();
}

void CloseUnitSelection()
{
    UnitSelectionScreen::Instance()->Close();
}

void DrawUnitSelection(Canvas2D& canvas)
{
    UnitSelectionScreen::Instance()->Draw(canvas);
}

void BuildOptions()
{
    OptionsScreen::Instance()->Build();
}

void DrawOptions(Canvas2D& canvas)
{
    OptionsScreen::Instance()->Draw(canvas);
}

void BuildConnection()
{
    ConnectionScreen::Instance()->Build();
}

void CloseConnection()
{
    ConnectionScreen::Instance()->Close();
}

void DrawConnection(Canvas2D& canvas)
{
    ConnectionScreen::Instance()->Draw(canvas);
}

void BuildLobby()
{
    LobbyScreen::Instance()->Build();
}

void CloseLobby()
{
    LobbyScreen::Instance()->Close();
}

void DrawLobby(Canvas2D& canvas)
{
    LobbyScreen::Instance()->Draw(canvas);
}

bool IsScreenId(int id)
{
    return id >= 0 && id < kScreenCount;
}

} // namespace

ScreenManager::ScreenManager()
{
    screens_[kScreenTitle] = {MakeTitleScreen, nullptr, nullptr};
    screens_[kScreenMainMenu] = {MakeMainMenu, nullptr, nullptr};
    screens_[kScreenUnitSelection] = {BuildUnitSelection, CloseUnitSelection, DrawUnitSelection};
    screens_[kScreenConnection] = {BuildConnection, CloseConnection, DrawConnection};
    screens_[kScreenLobby] = {BuildLobby, CloseLobby, DrawLobby};
    // The options' own close is only for its windows laid over the lobby.
    screens_[kScreenOptions] = {BuildOptions, nullptr, DrawOptions};
}

void ScreenManager::RegisterScreen(ScreenId id, const ScreenFunctions& functions)
{
    if (IsScreenId(id)) {
        screens_[static_cast<std::size_t>(id)] = functions;
    }
}

void ScreenManager::SetScreen(int id)
{
    assert(IsScreenId(id) && "no such screen");
    // The window going must not leave half faded for the next one.
    ResetIdleFade();
    if (const ScreenFunctions& leaving = screens_[static_cast<std::size_t>(current_)]; leaving.close) {
        leaving.close();
    }
    // The connection screen took the authority away; back in the main menu
    // the battle behind the menus is this machine's alone again.
    if (current_ == kScreenConnection && id == kScreenMainMenu && host_) {
        host_->SetAuthority(true);
    }
    guiManager::Instance()->DestroyAllWindows();
    if (!IsScreenId(id)) {
        return;
    }
    if (id == kScreenConnection) {
        PrepareNetwork();
    }
    current_ = static_cast<ScreenId>(id);
    if (const ScreenFunctions& entering = screens_[static_cast<std::size_t>(id)]; entering.build) {
        entering.build();
    }
}

void ScreenManager::BuildPlayScreen()
{
    PlayScreen::Build();
}

void ScreenManager::PrepareNetwork()
{
    // Every timed callback goes, the fade's among them.
    EventTimer::Instance()->ClearTimers();
    ForgetTimers();
    if (host_) {
        host_->SetAuthority(false);
    }
    // The receive port opens (once; entering again keeps it, so the port a
    // join names is the one bound), so that the hosts' announcements arrive.
    // The game port is listened on only by "Host Game".
    if (session_) {
        session_->OpenDiscovery();
    }
}

void ScreenManager::DrawCurrentScreen(Canvas2D& canvas) const
{
    if (const ScreenFunctions& screen = screens_[static_cast<std::size_t>(current_)]; screen.draw) {
        screen.draw(canvas);
    }
}

void ScreenManager::StartIdleFade()
{
    firstFadeTimer_ = EventTimer::Instance()->AddTimer(kFadeDelaySeconds, false, MenuIdleFade, 0, kFadeTick);
    ResetIdleFade();
}

void ScreenManager::ResetIdleFade()
{
    EventTimer* timers = EventTimer::Instance();
    fadeAlpha_ = 1.0f;
    timers->RemoveTimer(fadeTimer_);
    timers->RemoveTimer(firstFadeTimer_);
    firstFadeTimer_ = kNoTimer;
    fadeTimer_ = timers->AddTimer(kFadeDelaySeconds, false, MenuIdleFade, 0, kFadeTick);
    if (guiWindow* window = FadingWindow()) {
        window->SetAlpha(fadeAlpha_);
    }
}

void ScreenManager::StepIdleFade()
{
    EventTimer* timers = EventTimer::Instance();
    timers->RemoveTimer(fadeTimer_);
    fadeTimer_ = timers->AddTimer(kFadeTickSeconds, false, MenuIdleFade, 0, kFadeTick);
    if (fadeAlpha_ > kFadeFloor) {
        fadeAlpha_ -= kFadeStep;
    }
    if (guiWindow* window = FadingWindow()) {
        window->SetAlpha(fadeAlpha_);
    }
}

void ScreenManager::MenuIdleFade(TimerWord, TimerWord phase)
{
    ScreenManager* manager = Instance();
    if (phase == kFadeReset) {
        manager->ResetIdleFade();
    } else if (phase == kFadeTick) {
        manager->StepIdleFade();
    }
}

void ScreenManager::ForgetTimers()
{
    firstFadeTimer_ = kNoTimer;
    fadeTimer_ = kNoTimer;
    hostAnnouncementTimer_ = kNoTimer;
}

std::uint32_t ScreenManager::TakeHostAnnouncementTimer()
{
    const std::uint32_t id = hostAnnouncementTimer_;
    hostAnnouncementTimer_ = kNoTimer;
    return id;
}

guiWindow* ScreenManager::FadingWindow() const
{
    const guiManager* gui = guiManager::Instance();
    switch (current_) {
    case kScreenTitle:
        return gui->GetWindow(kTitleWindow);
    case kScreenMainMenu:
        return gui->GetWindow(kMainMenuWindow);
    case kScreenUnitSelection:
        return gui->GetWindow(kUnitSelectionWindow);
    case kScreenConnection:
        return gui->GetWindow(ConnectionScreen::kWindow);
    default:
        // The lobby and the options fade only the value.
        return nullptr;
    }
}

void ScreenManager::CreateBackgroundArmies()
{
    if (!host_) {
        return;
    }
    const ArmyUnitCounts small{5, 5, 5, 1, 1};
    const ArmyUnitCounts large{15, 15, 15, 2, 2};
    for (std::size_t i = 0; i < kBackgroundArmyPositions.size(); ++i) {
        const bool last = i + 1 == kBackgroundArmyPositions.size();
        host_->CreateArmy(false, last ? large : small, kBackgroundArmyPositions[i], false, "Player");
    }
}
