// The game's input host over the background battle. Clicks and moves through
// the menus are played by the e2e play-through; what is left here is what it
// cannot reach: input that must do nothing outside a match.
#include "app/Game.h"
#include "input/Mouse.h"
#include "render/CameraCommand.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <vector>

TEST_CASE("over the background battle the wheel zooms and the edges pan only in a match")
{
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    Game* game = Game::Instance();
    game->Init();
    game->LoadAfterSplash();
    game->SetSetting(kSettingGameState, kStateMenus);

    const Vec3 eye = game->GetCamera().GetView().GetEye();
    game->GetInputHost().WheelZoomIn();
    CHECK(game->GetCamera().GetView().GetEye() == eye);
    game->GetCamera().ClearCommands();
    Mouse::Instance()->MoveX(3);
    CHECK(game->GetCamera().GetCommands().empty());
    game->SetSetting(kSettingGameState, kStateMatch);
    Mouse::Instance()->MoveX(3);
    CHECK(game->GetCamera().GetCommands() == std::vector<int>{kCameraPanLeft});
    game->SetSetting(kSettingGameState, kStateMenus);
}
