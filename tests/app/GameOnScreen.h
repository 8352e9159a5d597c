// The whole game drawn in an offscreen window at 1024x768 over the generated
// data, for the tests that look at the screens as a player sees them: past
// its splash, in the menus over the background battle, the cursor parked in
// the top right corner, clear of everything checked. A still network session
// stands in for the network where a screen needs one.
#pragma once

#include "app/Game.h"
#include "app/SplashLogo.h"
#include "gui/guiManager.h"
#include "input/Cursor.h"
#include "input/Mouse.h"
#include "platform/GlRenderDevice.h"
#include "platform/ImageFile.h"
#include "platform/InputEvents.h"
#include "platform/QuitRequest.h"
#include "platform/Random.h"
#include "platform/SdlWindow.h"
#include "render/Renderer.h"
#include "render/TextManager.h"
#include "screens/HudOverlay.h"
#include "screens/NetSession.h"
#include "screens/ScreenManager.h"
#include "screens/StatisticsScreen.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace testing {

// A session that has heard the hosts and holds the players it is given, and
// does nothing else.
class StillSession : public NetSession {
public:
    bool OpenDiscovery() override { return true; }
    bool Host(const std::string&) override { return hosting; }
    bool Connect(std::size_t, const std::string&) override { return false; }
    bool IsConnecting() const override { return false; }
    bool IsHosting() const override { return hosting; }
    std::int32_t OwnId() const override { return -1; }
    std::string OwnName() const override { return ownName; }
    std::vector<NetPeerName> Hosts() const override { return hosts; }
    std::vector<NetPeerName> Players() const override { return players; }
    bool Kick(std::int32_t) override { return false; }
    void Leave() override {}
    void SendLobbyChat(const std::string&) override {}
    void SendGameSettings(const GameOptions&) override {}
    void SendStartGame() override {}
    void StopAnnouncing() override {}
    void StartUnitStateSync() override {}
    void SendSlotsAsHost(const std::array<PlayerSetup, 8>&) override {}
    void SendSlotAsClient(const PlayerSetup&) override {}

    bool hosting = false;
    std::string ownName = "Me";
    std::vector<NetPeerName> hosts;
    std::vector<NetPeerName> players;
};

struct GameOnScreen {
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    explicit GameOnScreen(unsigned seed)
    {
        LinkDataTree(here.Path());
        platform::TakePendingQuit();
        platform::SetInputFocus(true);
        platform::WindowConfig config;
        config.windowed = true;
        window = platform::SdlWindow::Open(config);
        REQUIRE(window);
        std::string why;
        std::unique_ptr<platform::GlRenderDevice> device = platform::GlRenderDevice::Create(*window, &why);
        REQUIRE_MESSAGE(device, why);
        Renderer::Instance()->CreateDevice(std::move(device));
        Mouse::Instance()->SetX(kWidth - 4);
        Mouse::Instance()->SetY(4);
        game = Game::Instance();
        game->Init();
        platform::SeedRand(seed);
        game->SetWindow(window.get());
        game->LoadSplashLogo();
        game->SetFrameTime(1.0f / 60.0f);
        clock.Advance(6.0);
        game->SplashFrame();
        REQUIRE(game->GetSetting(kSettingGameState) == kStateMenus);
        ScreenManager::Instance()->SetNetSession(&session);
    }
    ~GameOnScreen()
    {
        ScreenManager::Instance()->SetNetSession(nullptr);
        game->EndMatch();
        game->SetWindow(nullptr);
        SplashLogo::Instance()->SetTexture(nullptr);
        guiManager::Instance()->Shutdown();
        Cursor::Instance()->Release();
        HudOverlay::Instance()->Release();
        StatisticsScreen::Instance()->Release();
        TextManager::Instance()->Shutdown();
        Renderer::Instance()->ReleaseDevice();
    }
    GameOnScreen(const GameOnScreen&) = delete;
    GameOnScreen& operator=(const GameOnScreen&) = delete;

    // Frames of whichever state the game is in, a sixtieth of a second each.
    void Frames(int count)
    {
        for (int frame = 0; frame < count; ++frame) {
            clock.Advance(1.0 / 60.0);
            if (game->GetSetting(kSettingGameState) == kStateMatch) {
                game->PlayFrame();
            } else {
                game->MenuFrame();
            }
        }
    }

    // The last frame, written to the build folder as name.png.
    platform::RgbImage Shot(const std::string& name) const
    {
        platform::RgbImage image;
        REQUIRE(Renderer::Instance()->GetDevice()->ReadPicture(image));
        REQUIRE(image.width == kWidth);
        const std::filesystem::path path = std::filesystem::path(KV_TEST_OUTPUT_DIR) / (name + ".png");
        platform::WriteWholeFile(path.string(), platform::EncodePngRgb(image));
        return image;
    }

    ManualClockScope clock;
    TempDirectory here;
    StillSession session;
    std::unique_ptr<platform::SdlWindow> window;
    Game* game = nullptr;
};

} // namespace testing
