// The host's lobby and the options laid over it, drawn by the whole game in
// an offscreen window at 1024x768 over the generated data, with a client
// joined: the host's own name heads the list, the client's kick button
// stands on the client's line, and the options offer no computer armies.
// Each picture is written to the build folder to be looked at.
#include "app/Game.h"
#include "app/SplashLogo.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
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
#include "screens/LobbyScreen.h"
#include "screens/NetSession.h"
#include "screens/OptionsScreen.h"
#include "screens/ScreenManager.h"
#include "screens/StatisticsScreen.h"

#include "RecordingCanvas.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A host named "Hal" with one client, "Vera", joined; it does nothing else.
class HostWithOneClient : public NetSession {
public:
    bool OpenDiscovery() override { return true; }
    bool Host(const std::string&) override { return true; }
    bool Connect(std::size_t, const std::string&) override { return false; }
    bool IsConnecting() const override { return false; }
    bool IsHosting() const override { return true; }
    std::int32_t OwnId() const override { return -1; }
    std::string OwnName() const override { return "Hal"; }
    std::vector<NetPeerName> Hosts() const override { return {}; }
    std::vector<NetPeerName> Players() const override { return {{1, "Vera"}}; }
    bool Kick(std::int32_t) override { return false; }
    void Leave() override {}
    void SendLobbyChat(const std::string&) override {}
    void SendGameSettings(const GameOptions&) override {}
    void SendStartGame() override {}
    void StopAnnouncing() override {}
    void StartUnitStateSync() override {}
    void SendSlotsAsHost(const std::array<PlayerSetup, 8>&) override {}
    void SendSlotAsClient(const PlayerSetup&) override {}
};

// The game past its splash, in the menus, with the cursor parked in the top
// right corner, clear of everything looked at.
struct GameInMenus {
    GameInMenus()
    {
        testing::LinkDataTree(here.Path());
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
        platform::SeedRand(31);
        game->SetWindow(window.get());
        game->LoadSplashLogo();
        game->SetFrameTime(1.0f / 60.0f);
        clock.Advance(6.0);
        game->SplashFrame();
        REQUIRE(game->GetSetting(kSettingGameState) == kStateMenus);
        ScreenManager::Instance()->SetNetSession(&session);
    }
    ~GameInMenus()
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
    GameInMenus(const GameInMenus&) = delete;
    GameInMenus& operator=(const GameInMenus&) = delete;

    void Frames(int count)
    {
        for (int frame = 0; frame < count; ++frame) {
            clock.Advance(1.0 / 60.0);
            game->MenuFrame();
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

    testing::ManualClockScope clock;
    testing::TempDirectory here;
    HostWithOneClient session;
    std::unique_ptr<platform::SdlWindow> window;
    Game* game = nullptr;
};

// Pixels of the rectangle (right and bottom excluded) whose colour differs
// between the two pictures by more than blending's rounding.
int ChangedPixels(const platform::RgbImage& a, const platform::RgbImage& b, int left, int top, int right, int bottom)
{
    int changed = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * a.width + x) * 3;
            for (std::size_t c = 0; c < 3; ++c) {
                if (std::abs(static_cast<int>(a.rgb[at + c]) - static_cast<int>(b.rgb[at + c])) > 8) {
                    ++changed;
                    break;
                }
            }
        }
    }
    return changed;
}

} // namespace

TEST_CASE("the host's lobby heads its list with the host, and its options offer no computer armies")
{
    GameInMenus screen;
    ScreenManager::Instance()->SetScreen(kScreenLobby);
    screen.Frames(2);
    CHECK(LobbyScreen::Instance()->NameLines() == std::vector<std::string>{" 1: Hal", " 2: Vera"});
    // The kick button beside the client's line (141 + 30 pixels), not the host's.
    const guiObject* kick = guiManager::Instance()->FindObject(LobbyScreen::kWindow, "KickButton0", kGuiButton);
    REQUIRE(kick != nullptr);
    CHECK(kick->IsVisible());
    const guiWindow* lobby = guiManager::Instance()->GetWindow(LobbyScreen::kWindow);
    const guiRect rect =
        kick->PixelRect(lobby->GetPosition().x, lobby->GetPosition().y, lobby->GetWidth(), lobby->GetHeight());
    CHECK(rect.top >= 165.0f);
    CHECK(rect.bottom <= 200.0f);
    const platform::RgbImage lobbyShot = screen.Shot("net_lobby_host");

    // The same options screen in single player, then laid over the lobby:
    // where the computer armies' picture, count and slider stood, the
    // picture changes; elsewhere in that column it does not.
    ScreenManager::Instance()->SetScreen(kScreenOptions);
    OptionsScreen::Instance()->SetValues({0, 1.0f, kAllowAllUnitTypes, 0, 40, 3});
    screen.Frames(2);
    const platform::RgbImage single = screen.Shot("net_options_single");
    ScreenManager::Instance()->SetScreen(kScreenLobby);
    screen.Frames(1);
    REQUIRE(testing::Fire(LobbyScreen::LobbyOptionsPressed, kGuiButtonReleased));
    REQUIRE(ScreenManager::Instance()->GetScreenId() == kScreenOptions);
    OptionsScreen::Instance()->SetValues({0, 1.0f, kAllowAllUnitTypes, 0, 40, 3});
    screen.Frames(2);
    const platform::RgbImage overLobby = screen.Shot("net_options_over_lobby");
    // The computer armies' rows: heading picture, count and slider (x 723 to 990, y 249 to 410).
    CHECK(ChangedPixels(single, overLobby, 723, 249, 990, 410) > 2000);
    // The game time's rows above them stay as they were.
    CHECK(ChangedPixels(single, overLobby, 723, 80, 990, 230) < 50);
}
