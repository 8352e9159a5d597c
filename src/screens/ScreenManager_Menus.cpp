// ScreenManager: the title screen (the title picture over the live battle,
// left by any click) and the main menu (the picture smaller, with the
// single-player and multi-player buttons). Escape ends the program from both.
#include "screens/ScreenManager.h"

#include "gui/guiButton.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/KeyCommand.h"
#include "platform/QuitRequest.h"
#include "screens/MenuHost.h"
#include "screens/OptionsScreen.h"

namespace {

constexpr float kMenuButtonY = 0.48f;
constexpr float kMenuButtonWidth = 0.11f;
constexpr float kMenuButtonHeight = 0.05f;
constexpr float kLabelY = 12.0f;

} // namespace

void ScreenManager::BuildTitleScreen()
{
    current_ = kScreenTitle;
    titlePressed_ = false;
    guiWindow* window = guiManager::Instance()->CreateWindow(kTitleWindow);
    window->SetCallback(TitleScreenCallback);
    // After a match the window may still be there: one picture, not two.
    window->ClearTextures();
    window->AddTexture(kTitlePicture, 0.0f, 0.0f, 1.0f, 1.0f);
}

void ScreenManager::BuildMainMenu()
{
    guiWindow* window = guiManager::Instance()->CreateWindow(kMainMenuWindow);
    window->SetCallback(MainMenuCallback);
    // Half the screen wide, kept at the title's proportions on a 4:3 screen.
    window->AddTexture(kTitlePicture, 0.25f, 0.1f, 0.5f, 0.5f * 4.0f / 3.0f - 0.1f);
    AddMenuButton(*window, kSinglePlayerButton, SinglePlayerPressed, 0.33f, "Single Player", 11.0f);
    AddMenuButton(*window, kMultiPlayerButton, MultiPlayerPressed, 0.58f, "Multi-Player", 13.0f);
}

void ScreenManager::AddMenuButton(guiWindow& window, const char* name, guiCallback callback, float x, const char* label,
                                  float labelX)
{
    auto* button = static_cast<guiButton*>(
        window.CreateObject(name, kGuiButton, callback, x, kMenuButtonY, kMenuButtonWidth, kMenuButtonHeight));
    button->SetLabel(label, "ButtonDefault", labelX, kLabelY, 1.0f, 1.0f, 1.0f, 1.0f);
    button->SetUpTexture(kButtonUp);
    button->SetDownTexture(kButtonDown);
    button->SetHoverTexture(kButtonHover);
}

void ScreenManager::QuitOrResetFade(std::uint32_t code, const guiParam* a)
{
    if (code == kGuiKeyDown && a && static_cast<std::uint32_t>(a->AsInt()) == kKeyQuit) {
        platform::PostQuit(0);
    } else if (code == kGuiMouseMove) {
        Instance()->ResetIdleFade();
    }
}

std::uint32_t ScreenManager::TitleScreenCallback(std::uint32_t code, guiParam* a, guiParam*, bool* handled)
{
    ScreenManager* manager = Instance();
    if (code == kGuiLeftDown) {
        manager->titlePressed_ = true;
    } else if (code == kGuiLeftUp && manager->titlePressed_) {
        *handled = true;
        manager->SetScreen(kScreenMainMenu);
    } else {
        QuitOrResetFade(code, a);
    }
    return 0;
}

std::uint32_t ScreenManager::MainMenuCallback(std::uint32_t code, guiParam* a, guiParam*, bool*)
{
    QuitOrResetFade(code, a);
    return 0;
}

std::uint32_t ScreenManager::SinglePlayerPressed(std::uint32_t code, guiParam*, guiParam*, bool* handled)
{
    if (code != kGuiButtonReleased) {
        return 0;
    }
    ScreenManager* manager = Instance();
    if (manager->host_) {
        manager->host_->SetSessionKind(kSinglePlayer);
    }
    *handled = true;
    manager->SetScreen(kScreenOptions);
    // Single player always starts from the defaults, whatever was chosen before.
    OptionsScreen::Instance()->SetValues(GameOptions{});
    return 0;
}

std::uint32_t ScreenManager::MultiPlayerPressed(std::uint32_t code, guiParam*, guiParam*, bool* handled)
{
    if (code != kGuiButtonReleased) {
        return 0;
    }
    ScreenManager* manager = Instance();
    if (manager->host_) {
        manager->host_->SetSessionKind(kMultiPlayer);
    }
    manager->SetScreen(kScreenConnection);
    *handled = true;
    return 0;
}
