#include "app/Game.h"
#include "app/SplashLogo.h"
#include "gui/guiButton.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/Cursor.h"
#include "input/Mouse.h"
#include "platform/InputEvents.h"
#include "platform/NullRenderDevice.h"
#include "platform/NullWindow.h"
#include "render/CameraCommand.h"
#include "render/Renderer.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<std::uint32_t> heard;

std::uint32_t Heard(std::uint32_t code, guiParam* a, guiParam* b, bool*)
{
    heard.push_back(code);
    heard.push_back(static_cast<std::uint32_t>(a->AsInt()));
    heard.push_back(static_cast<std::uint32_t>(b->AsInt()));
    return 0;
}

} // namespace

TEST_CASE("over the background battle the mouse moves the drawn cursor and reaches the GUI")
{
    testing::ManualClockScope clock;
    testing::DataDirectoryScope data;
    auto owned = std::make_unique<platform::NullRenderDevice>();
    platform::NullRenderDevice* device = owned.get();
    Renderer::Instance()->CreateDevice(std::move(owned));
    platform::NullWindow window{platform::WindowConfig{}};
    Game* game = Game::Instance();
    game->Init();
    game->SetWindow(&window);
    game->LoadAfterSplash();
    CHECK(window.MouseCaptured());
    CHECK(Cursor::Instance()->GetX() == 512);
    guiManager::Instance()->CreateWindow("Title")->SetCallback(Heard);
    guiWindow* menu = guiManager::Instance()->CreateWindow("Menu");
    menu->CreateObject("Play", kGuiButton, nullptr, 0.0f, 0.0f, 0.5f, 0.5f);
    menu->GetButton("Play")->SetUpTexture("Interface/Button/bup.dds");
    platform::MouseRecords().Clear();
    platform::MouseRecord motion;
    motion.dx = 10;
    motion.dy = -4;
    platform::MouseRecords().Push(motion);

    device->ClearCalls();
    game->SetFrameTime(0.02f);
    game->MenuFrame();
    CHECK(Cursor::Instance()->GetX() == 532);
    CHECK(Cursor::Instance()->GetY() == 376);
    // Off the button, so the move reaches the window behind the menu.
    CHECK(heard == std::vector<std::uint32_t>{kGuiMouseMove, 532, 384, kGuiMouseMove, 532, 376});
    // The button's face before the text, the cursor after everything.
    const std::vector<std::string> calls = device->Calls();
    const auto last = [&](const std::string& what) {
        return std::find_if(calls.rbegin(), calls.rend(), [&](const std::string& c) { return c.starts_with(what); });
    };
    const auto lastQuad = last("DrawPrimitive TriangleFan");
    const auto sprites = last("EndSprites");
    REQUIRE(lastQuad != calls.rend());
    REQUIRE(sprites != calls.rend());
    CHECK(lastQuad < sprites); // reverse iterators: the quad came later
    CHECK(std::count_if(calls.begin(), calls.end(),
                        [](const std::string& c) { return c.starts_with("DrawPrimitive TriangleFan"); }) >= 2);

    SUBCASE("the wheel zooms only in a match, and edges pan only there")
    {
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

    guiManager::Instance()->Shutdown();
    Cursor::Instance()->Release();
    game->SetWindow(nullptr);
    Renderer::Instance()->ReleaseDevice();
    SplashLogo::Instance()->SetTexture(nullptr);
}
