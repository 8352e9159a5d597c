// PlayScreen: the in-game window's mouse and key tables and the chat line.
#include "screens/PlayScreen.h"

#include "game/GameRules.h"
#include "game/GroupMover.h"
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"
#include "input/KeyCommand.h"
#include "input/Mouse.h"
#include "input/SelectionController.h"
#include "platform/QuitRequest.h"
#include "render/Renderer.h"
#include "render/TextManager.h"

#include <array>

namespace {

// The camera command each camera key (1 to 10) holds while it is down.
constexpr std::array<int, 10> kCameraOfKey = {
    kCameraTurnLeft, kCameraTurnRight, kCameraOrbitLeft, kCameraOrbitRight, kCameraPanForward,
    kCameraPanBack,  kCameraPanLeft,   kCameraPanRight,  kCameraZoomIn,     kCameraZoomOut,
};

// The window's edit box of the chat line at the bottom of the screen: it
// starts as a sliver and grows with its text towards the minimap's panel,
// its text outlined so that it reads on any ground.
constexpr float kChatX = 0.225f;
constexpr float kChatY = 0.96f;
constexpr float kChatWidth = 0.01f;
constexpr float kChatHeight = 0.022f;
constexpr float kChatMaxWidth = 0.54f;
constexpr std::int32_t kChatTextOffsetX = 15;
constexpr std::int32_t kChatTextOffsetY = 3;

} // namespace

int PlayScreen::CameraCommandOfKey(std::uint32_t key)
{
    if (key < kKeyTurnLeft || key > kKeyZoomOut) {
        return -1;
    }
    return kCameraOfKey[key - kKeyTurnLeft];
}

void PlayScreen::Build()
{
    guiManager* gui = guiManager::Instance();
    gui->CreateWindow(kWindowName);
    if (guiWindow* window = gui->GetWindow(kWindowName)) {
        window->SetCallback(MainPlayScreenCallback);
    }
}

std::uint32_t PlayScreen::MainPlayScreenCallback(std::uint32_t code, guiParam* a, guiParam* b, bool* /*handled*/)
{
    const std::int32_t first = a ? a->AsInt() : 0;
    const std::int32_t second = b ? b->AsInt() : 0;
    const PlayScreen& screen = *Instance();
    if (code == kGuiKeyDown) {
        screen.OnKeyDown(static_cast<std::uint32_t>(first));
    } else if (code == kGuiKeyUp) {
        screen.OnKeyUp(static_cast<std::uint32_t>(first));
    } else {
        screen.OnMouse(code, static_cast<float>(first), static_cast<float>(second));
    }
    return 0;
}

std::uint32_t PlayScreen::ChatBoxCallback(std::uint32_t code, guiParam* a, guiParam* /*b*/, bool* /*handled*/)
{
    if (code != kGuiEditBoxEnter || !a) {
        return 0;
    }
    if (const char* text = static_cast<const char*>(a->AsPointer())) {
        Instance()->SendChat(text);
    }
    return 0;
}

void PlayScreen::OnMouse(std::uint32_t code, float x, float y) const
{
    SelectionController* selection = SelectionController::Instance();
    const bool inMenus = InMenus();
    switch (code) {
    case kGuiMouseMove:
        if (!inMenus) {
            selection->OnMouseMove(x, y);
            if (Mouse::Instance()->IsButtonDown(1)) {
                selection->MinimapMoveCamera();
            }
        }
        break;
    case kGuiLeftDown:
        if (!inMenus) {
            selection->BeginPress(x, y);
        }
        break;
    case kGuiRightDown:
        selection->ClearAll();
        selection->OnMouseMove(x, y);
        selection->MinimapMoveCamera();
        break;
    case kGuiLeftUp:
        selection->OnLeftButtonUp(x, y);
        break;
    default:
        break;
    }
}

void PlayScreen::OnKeyDown(std::uint32_t key) const
{
    SelectionController* selection = SelectionController::Instance();
    const int camera = CameraCommandOfKey(key);
    if (camera >= 0) {
        if (hooks_.camera) {
            hooks_.camera->AddCommand(camera);
        }
        return;
    }
    if (key >= kKeyFormation1 - 1 && key <= kKeyFormation4) {
        // 19 is formation 0; no key carries it.
        GroupMover::Instance()->SetFormation(key - (kKeyFormation1 - 1));
        return;
    }
    if (key >= kKeySelectType1 && key <= kKeySelectType5) {
        if (!InMenus()) {
            selection->SelectType(static_cast<UnitType>(key - kKeySelectType1));
        }
        return;
    }
    switch (key) {
    case kKeyChat:
        ToggleChatBox();
        break;
    case kKeyQuit:
        if (InMenus()) {
            platform::PostQuit(0);
        } else {
            GameRules::Instance()->SetState(kMatchGameOver);
        }
        break;
    case kKeyControl:
        selection->SetCtrlHeld(true);
        break;
    case kKeyStop:
        selection->StopSelected();
        break;
    case kKeyWaypoints:
        GroupMover::Instance()->SetMoveKind(kMoveAppend);
        break;
    case kKeyScores:
        GameRules::Instance()->SetShowScores(!GameRules::Instance()->GetShowScores());
        break;
    case kKeyShift:
        selection->SetShiftHeld(true);
        break;
    case kKeyScreenshot:
        SaveScreenshot();
        break;
    default:
        break;
    }
}

void PlayScreen::OnKeyUp(std::uint32_t key) const
{
    SelectionController* selection = SelectionController::Instance();
    const int camera = CameraCommandOfKey(key);
    if (camera >= 0) {
        if (hooks_.camera) {
            hooks_.camera->RemoveCommand(camera);
        }
        return;
    }
    if (key >= kKeyFormation1 - 1 && key <= kKeyFormation4) {
        // Letting go of any formation key goes back to the square, even
        // while another is still held.
        GroupMover::Instance()->ResetFormation();
        return;
    }
    switch (key) {
    case kKeyControl:
        selection->SetCtrlHeld(false);
        break;
    case kKeyWaypoints:
        GroupMover::Instance()->SetMoveKind(kMoveReplace);
        break;
    case kKeySelectAll:
        if (!InMenus()) {
            selection->SelectAllOwn();
        }
        break;
    case kKeyShift:
        selection->SetShiftHeld(false);
        break;
    default:
        break;
    }
}

// The chat key opens the line with focus, and closes it again when it has
// focus.
void PlayScreen::ToggleChatBox() const
{
    guiWindow* window = guiManager::Instance()->GetWindow(kWindowName);
    if (!window) {
        return;
    }
    guiObject* found = window->FindObject(kChatBoxName);
    guiEditBox* box = found && found->GetType() == kGuiEditBox ? static_cast<guiEditBox*>(found) : nullptr;
    if (box && box->IsActive()) {
        window->DeleteObject(kChatBoxName);
        return;
    }
    if (box) {
        box->SetActive(1);
        return;
    }
    guiObject* made =
        window->CreateObject(kChatBoxName, kGuiEditBox, ChatBoxCallback, kChatX, kChatY, kChatWidth, kChatHeight);
    if (!made) {
        return;
    }
    box = static_cast<guiEditBox*>(made);
    box->SetBackgroundTexture(kChatBackground);
    box->SetMaxLength(kChatMaxLength);
    box->SetTextOffsetX(kChatTextOffsetX);
    box->SetTextOffsetY(kChatTextOffsetY);
    box->SetActive(1);
    box->SetOutlinedText(true);
    box->SetGrowLimit(kChatMaxWidth);
    box->SetTextColor(kDefaultTextColor.r, kDefaultTextColor.g, kDefaultTextColor.b, kDefaultTextColor.a);
}

void PlayScreen::SendChat(const std::string& text) const
{
    if (!hooks_.sendChat) {
        return;
    }
    // The box holds no more than this already; a longer text would come
    // from elsewhere and must not outgrow the chat record's field.
    hooks_.sendChat(text.substr(0, kChatMaxLength));
}

void PlayScreen::SaveScreenshot() const
{
    if (hooks_.saveScreenshot) {
        hooks_.saveScreenshot();
        return;
    }
    Renderer::Instance()->SaveScreenshot();
}
