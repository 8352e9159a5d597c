// The kostrivane executable: start-up, the window, the main loop. Everything
// else lives in the game library.
//
// KOSTRIVANE_WINDOWED=1 in the environment opens a 1024x768 window instead
// of covering the screen.
#include "app/Game.h"
#include "app/SplashLogo.h"
#include "gui/guiManager.h"
#include "input/Cursor.h"
#include "screens/HudOverlay.h"
#include "platform/GlRenderDevice.h"
#include "platform/MessageBox.h"
#include "platform/SdlEventPump.h"
#include "platform/SdlWindow.h"
#include "platform/StartupSignals.h"
#include "render/ParticleManager.h"
#include "render/Renderer.h"
#include "screens/StatisticsScreen.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#ifdef KV_SANITIZE
#include "LsanSuppressions.h"

// LeakSanitizer reads these as well as any LSAN_OPTIONS file, so the sanitizer
// build passes its leak check however it is started (scripts/lsan.supp).
extern "C" const char* __lsan_default_suppressions()
{
    return kLsanSuppressions;
}
#endif

namespace {

bool WindowedRequested()
{
    const char* value = std::getenv("KOSTRIVANE_WINDOWED");
    return value && *value != '\0' && std::strcmp(value, "0") != 0;
}

platform::WindowConfig WindowConfigFromSettings(const Game& game)
{
    platform::WindowConfig config;
    config.width = static_cast<int>(game.GetSetting(kSettingWidth));
    config.height = static_cast<int>(game.GetSetting(kSettingHeight));
    config.windowed = game.GetSetting(kSettingWindowed) != 0;
    config.swapInterval = game.GetSetting(kSettingPresentInterval) == kPresentIntervalImmediate ? 0 : 1;
    config.title = "Kostrivane";
    return config;
}

} // namespace

int main()
{
    // Before anything starts SDL, so SIGINT, SIGTERM and SIGHUP stay ours; a
    // write past the file-size limit then fails instead of ending the game.
    platform::InstallStartupSignalHandling();

    Game* game = Game::Instance();
    game->Init();
    if (WindowedRequested()) {
        game->SetSetting(kSettingWindowed, 1);
    }

    // Nothing can be drawn without a window and its GL context, so stop here.
    std::unique_ptr<platform::SdlWindow> window = platform::SdlWindow::Open(WindowConfigFromSettings(*game));
    if (!window) {
        platform::ShowMessageBox("Could not initialize window.", "Kostrivane");
        return EXIT_FAILURE;
    }
    platform::SdlEventPump pump;
    game->SetWindow(window.get());
    game->SetEventPump(&pump);

    // Nor without the drawing device: say why and stop.
    std::string why;
    std::unique_ptr<platform::GlRenderDevice> device = platform::GlRenderDevice::Create(*window, &why);
    if (!device) {
        platform::ShowMessageBox("Could not create the drawing device: " + why + ".", "Kostrivane");
        return EXIT_FAILURE;
    }
    Renderer::Instance()->CreateDevice(std::move(device));
    ParticleManager::Instance()->Init(*Renderer::Instance()->GetDevice());
    game->LoadSplashLogo();
    const int exitCode = game->Run();

    // GL objects (the particles' and the sky's with the renderer's) go while
    // their context still exists.
    SplashLogo::Instance()->SetTexture(nullptr);
    guiManager::Instance()->Shutdown();
    Cursor::Instance()->Release();
    HudOverlay::Instance()->Release();
    StatisticsScreen::Instance()->Release();
    Renderer::Instance()->ReleaseDevice();

    game->SetEventPump(nullptr);
    game->SetWindow(nullptr);
    return exitCode;
}
