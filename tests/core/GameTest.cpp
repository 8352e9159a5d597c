#include "core/Game.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

TEST_CASE("Init sets the default settings, options and map list without a window")
{
    testing::ManualClockScope clock;
    Game* game = Game::Instance();
    // Init starts from zeroed settings, whatever was there before.
    game->SetSetting(kSettingWindowed, 1);
    game->SetSetting(kSettingEditor, 1);
    game->Init();

    CHECK(game->GetSetting(kSettingHeight) == 768);
    CHECK(game->GetSetting(kSettingWidth) == 1024);
    CHECK(game->GetSetting(kSettingWindowed) == 0);
    CHECK(game->GetSetting(kSettingPresentInterval) == 0x80000000u);
    CHECK(game->GetSetting(kSettingGameState) == kStateSplash);
    CHECK(game->GetSetting(kSettingEditor) == 0);

    const GameOptions& options = game->GetOptions();
    CHECK(options.mode == 0);
    CHECK(options.minutes == 1.0f);
    CHECK(options.unitMask == 31);
    CHECK(options.mapIndex == 0);
    CHECK(options.maxUnits == 40);
    CHECK(options.computerArmies == 7);

    const std::vector<std::string> maps(game->GetMapList().begin(), game->GetMapList().end());
    CHECK(maps == std::vector<std::string>{"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"});
    CHECK(game->GetBackgroundMinutes() == 5.0f);
    CHECK(game->GetWindowHandle() == nullptr);
    CHECK(game->GetWidthScale() == 1.0f);
    CHECK(game->GetHeightScale() == 1.0f);

    SUBCASE("a second Init does not grow the map list")
    {
        game->Init();
        CHECK(game->GetMapList().size() == 4);
    }
}

TEST_CASE("options and settings round trip and the settings index is checked")
{
    Game* game = Game::Instance();
    game->Init();

    SUBCASE("SetOptions stores the six values unchanged")
    {
        game->SetOptions(3, 2.5f, 5, 2, 100, 0);
        const GameOptions& options = game->GetOptions();
        CHECK(options.mode == 3);
        CHECK(options.minutes == 2.5f);
        CHECK(options.unitMask == 5);
        CHECK(options.mapIndex == 2);
        CHECK(options.maxUnits == 100);
        CHECK(options.computerArmies == 0);
    }

    SUBCASE("the layout scales follow the screen size")
    {
        CHECK(game->SetSetting(kSettingWidth, 1920) == 1920);
        game->SetSetting(kSettingHeight, 1080);
        CHECK(game->GetWidthScale() == doctest::Approx(1.875));
        CHECK(game->GetHeightScale() == doctest::Approx(1.40625));
    }

    SUBCASE("an index outside 0 to 5 reads 0 and writes nothing")
    {
        CHECK(game->SetSetting(kSettingCount, 9) == 0);
        CHECK(game->SetSetting(-1, 9) == 0);
        CHECK(game->GetSetting(kSettingCount) == 0);
        CHECK(game->GetSetting(-1) == 0);
        CHECK(game->GetSetting(kSettingEditor) == 0);
        CHECK(game->GetSetting(kSettingHeight) == 768);
    }
}
