// GameMenuHost: the menu screens' calls on the game.
#include "app/GameMenuHost.h"

#include "app/Game.h"
#include "app/GameNetWorld.h"
#include "game/Battle.h"
#include "net/NetworkManager.h"
#include "render/CameraCommand.h"

const GameOptions& GameMenuHost::GetOptions() const
{
    return game_.GetOptions();
}

bool GameMenuHost::SetOptions(const GameOptions& options)
{
    return game_.SetOptions(options.mode, options.minutes, options.unitMask, options.mapIndex, options.maxUnits,
                            options.computerArmies);
}

SessionKind GameMenuHost::GetSessionKind() const
{
    return game_.sessionKind;
}

void GameMenuHost::SetSessionKind(SessionKind kind)
{
    game_.sessionKind = kind;
}

bool GameMenuHost::HasAuthority() const
{
    return Battle::Instance()->GetAuthority();
}

void GameMenuHost::SetAuthority(bool authority)
{
    // The network's flag is the one the handlers read; it hands it to the battle.
    NetworkManager::Instance()->SetAuthority(authority);
}

bool GameMenuHost::InMatch() const
{
    return game_.GetSetting(kSettingGameState) == kStateMatch;
}

void GameMenuHost::StopMenuCamera()
{
    game_.GetCamera().RemoveCommand(kCameraOrbitRight);
}

void GameMenuHost::EndMatch()
{
    game_.EndMatch();
}

void GameMenuHost::StartMatch()
{
    game_.StartMatch();
}

void GameMenuHost::CreateArmy(bool local, const ArmyUnitCounts& counts, const Vec3& position, bool human,
                              const std::string& name)
{
    Vec3 placed = position;
    game_.CreateArmy(local, counts, placed, human, name);
}

void GameMenuHost::CreateComputerArmies()
{
    game_.CreateComputerArmies();
}

bool GameMenuHost::ClaimStartSlot(Vec3& position, std::uint32_t& colour)
{
    return game_.ClaimNetworkStartSlot(position, colour);
}

void GameMenuHost::CreateNetworkArmy(bool selected, const ArmyUnitCounts& counts, const Vec3& position,
                                     const std::string& name, std::uint32_t colour)
{
    // A client's starts came from the host: put them on this map, whatever they said.
    game_.CreateNetworkArmy(selected, counts, GameNetWorld::StartOnMap(position), name, colour);
}

void GameMenuHost::EnterMatchState()
{
    game_.SetSetting(kSettingGameState, kStateMatch);
}

void GameMenuHost::RestartFrameClock()
{
    game_.RestartFrameClock();
}

int GameMenuHost::ScreenWidth() const
{
    return static_cast<int>(game_.GetSetting(kSettingWidth));
}

int GameMenuHost::ScreenHeight() const
{
    return static_cast<int>(game_.GetSetting(kSettingHeight));
}
