// GameNetUi: the handlers' calls passed to the screens.
#include "app/GameNetUi.h"

#include "app/Game.h"
#include "app/GameNetSession.h"
#include "net/NetworkManager.h"
#include "render/MinimapLayout.h"
#include "render/TextManager.h"
#include "screens/ConnectionScreen.h"
#include "screens/HudOverlay.h"
#include "screens/LobbyScreen.h"
#include "screens/MenuHost.h"
#include "screens/ScreenManager.h"
#include "screens/UnitSelectionScreen.h"

namespace {

bool IsSlotId(int id)
{
    return id >= 1 && id < UnitSelectionScreen::kSlots;
}

// The chat console's lines start at x 235 (Game::LoadAfterSplash) and must
// stop short of the minimap on the right: of the frame round its panel, and
// with the dark rim the console's outlined text has (two pixels past its
// glyphs) and a pixel to spare.
int ChatConsoleWidth()
{
    constexpr int kConsoleX = 235;
    constexpr float kRimAndSpare = 3.0f;
    const Game* const game = Game::Instance();
    const MinimapLayout minimap = MinimapLayout::ForScreen(static_cast<float>(game->GetSetting(kSettingWidth)),
                                                           static_cast<float>(game->GetSetting(kSettingHeight)), 0.0f);
    const float frameLeft = minimap.centre.x - minimap.size / 2.0f - HudOverlay::kPanelFrameReach;
    return static_cast<int>(frameLeft - kRimAndSpare) - kConsoleX;
}

// A host the network keeps without a button could never be joined.
static_assert(ConnectionScreen::kMaxHostButtons >= NetworkManager::kMaxHosts);

} // namespace

int GameNetUi::CurrentScreen() const
{
    return ScreenManager::Instance()->GetScreenId();
}

void GameNetUi::SetScreen(int screen)
{
    ScreenManager::Instance()->SetScreen(screen);
}

bool GameNetUi::LobbyShown() const
{
    return LobbyScreen::Instance()->IsShown();
}

void GameNetUi::HostListChanged()
{
    if (CurrentScreen() == kScreenConnection) {
        ConnectionScreen::Instance()->RefreshHosts();
    }
}

void GameNetUi::ConnectFailed()
{
    ConnectionScreen::Instance()->ConnectFailed();
}

void GameNetUi::ReturnToConnectionScreen(bool welcomed)
{
    SetScreen(kScreenConnection);
    ConnectionScreen::Instance()->HostSentBack(welcomed);
}

void GameNetUi::LobbyPlayersChanged()
{
    if (LobbyShown()) {
        LobbyScreen::Instance()->PlayersChanged();
    }
    // A client gone from unit selection is waited for no longer.
    const MenuHost* host = ScreenManager::Instance()->GetHost();
    if (CurrentScreen() == kScreenUnitSelection && net_.IsHosting() && host && !host->InMatch()) {
        std::vector<std::int32_t> ids;
        for (const NetPeerEntry& player : net_.Players()) {
            ids.push_back(player.id);
        }
        UnitSelectionScreen::Instance()->PlayersChanged(ids);
    }
}

GameSettingsMessage GameNetUi::LobbyOptions() const
{
    return GameNetSession::SettingsOf(LobbyScreen::Instance()->GetOptions());
}

void GameNetUi::SetLobbyOptions(const GameSettingsMessage& options)
{
    LobbyScreen::Instance()->SetGameOptions(GameNetSession::OptionsOf(options));
}

void GameNetUi::SetLobbyPlayerName(int index, const std::string& name)
{
    LobbyScreen::Instance()->SetPlayerName(index, name);
}

void GameNetUi::AddLobbyChatLine(const std::string& line)
{
    LobbyScreen::Instance()->AddChatLine(line);
}

void GameNetUi::AddGameChatLine(const std::string& line)
{
    if (TextBox* chat = TextManager::Instance()->GetTextBox("ChatConsole")) {
        chat->AddLine(TextManager::Instance()->FitText(line, "Default", ChatConsoleWidth()));
    }
}

void GameNetUi::StoreRemoteSlot(int id, const PlayerSlot& slot)
{
    if (IsSlotId(id)) {
        UnitSelectionScreen::Instance()->GetSlot(id) = GameNetSession::SetupOf(slot);
    }
}

bool GameNetUi::RemoteSlotReady(int id) const
{
    return IsSlotId(id) && UnitSelectionScreen::Instance()->GetSlots()[static_cast<std::size_t>(id)].ready;
}

void GameNetUi::SetAllReady()
{
    UnitSelectionScreen::Instance()->SetStartAllowed(true);
}

void GameNetUi::StartNetworkMatch(const PlayerSlotsMessage& slots)
{
    std::array<PlayerSetup, UnitSelectionScreen::kSlots> setups{};
    for (std::size_t i = 0; i < setups.size(); ++i) {
        setups[i] = GameNetSession::SetupOf(slots.slots[i]);
    }
    UnitSelectionScreen::Instance()->StartNetworkMatch(setups, net_.GetOwnId());
}
