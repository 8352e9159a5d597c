// GameInputHost: the keyboard's and mouse's calls on the game.
#include "app/GameInputHost.h"

#include "app/Game.h"
#include "gui/guiManager.h"

int GameInputHost::ScreenWidth() const
{
    return static_cast<int>(game_.GetSetting(kSettingWidth));
}

int GameInputHost::ScreenHeight() const
{
    return static_cast<int>(game_.GetSetting(kSettingHeight));
}

bool GameInputHost::InMatch() const
{
    return game_.GetSetting(kSettingGameState) == kStateMatch;
}

void GameInputHost::AddCameraCommand(int command)
{
    game_.GetCamera().AddCommand(command);
}

void GameInputHost::RemoveCameraCommand(int command)
{
    game_.GetCamera().RemoveCommand(command);
}

void GameInputHost::WheelZoomIn()
{
    game_.GetCamera().WheelZoomIn(game_.GetFrameTime(), InMatch());
}

void GameInputHost::WheelZoomOut()
{
    game_.GetCamera().WheelZoomOut(game_.GetFrameTime(), InMatch(), game_.GetTerrain().GetMapSize());
}

void GameInputHost::DispatchInput(std::uint32_t message, std::int32_t a, std::int32_t b)
{
    bool handled = false;
    guiManager::Instance()->DispatchInput(message, guiParam::FromInt(a), guiParam::FromInt(b), &handled);
}
