// guiManager: windows by name and by stacking order, input and drawing.
#include "gui/guiManager.h"

#include "core/ErrorLog.h"
#include "gui/guiButton.h"
#include "gui/guiCheckBox.h"
#include "gui/guiDropBox.h"
#include "gui/guiEditBox.h"
#include "gui/guiSlider.h"
#include "gui/guiWindow.h"
#include "sound/SoundEffect.h"
#include "sound/SoundManager.h"

#include <algorithm>

namespace {

struct KindLog {
    const char* logName;
    const char* notFound;
};

KindLog LogOfKind(guiObjectType type)
{
    switch (type) {
    case kGuiButton:
        return {"guiButton.txt", "Could not find button associated with handle"};
    case kGuiEditBox:
        return {"guiEditBox.txt", "Could not find edit box associated with handle"};
    case kGuiSlider:
        return {"guiSlider.txt", "Could not find slider associated with handle"};
    case kGuiDropBox:
        return {"guiDropBox.txt", "Could not find drop box associated with handle"};
    case kGuiCheckBox:
    default:
        return {"guiCheckBox.txt", "Could not find check box associated with handle"};
    }
}

guiObject* WindowGetter(guiWindow& window, const std::string& name, guiObjectType type)
{
    switch (type) {
    case kGuiButton:
        return window.GetButton(name);
    case kGuiEditBox:
        return window.GetEditBox(name);
    case kGuiSlider:
        return window.GetSlider(name);
    case kGuiDropBox:
        return window.GetDropBox(name);
    case kGuiCheckBox:
    default:
        return window.GetCheckBox(name);
    }
}

} // namespace

guiManager::guiManager() : clickSound_([] { SoundManager::Instance()->PlaySoundEffect(kSoundClick); }) {}

guiWindow* guiManager::CreateWindow(const std::string& name)
{
    if (guiWindow* existing = GetWindow(name)) {
        return existing;
    }
    auto made = std::make_unique<guiWindow>(nullptr, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    guiWindow* const window = made.get();
    const float z = window->GetPosition().z;
    const auto before = std::find_if(stacking_.begin(), stacking_.end(),
                                     [z](const std::unique_ptr<guiWindow>& w) { return w->GetPosition().z >= z; });
    stacking_.insert(before, std::move(made));
    byName_[name] = window;
    return window;
}

guiWindow* guiManager::GetWindow(const std::string& name) const
{
    const auto found = byName_.find(name);
    return found != byName_.end() ? found->second : nullptr;
}

void guiManager::DestroyWindow(const std::string& name)
{
    const auto found = byName_.find(name);
    if (found == byName_.end()) {
        ErrorLog("guiWindow.txt", true).Warning("Trying to destroy non-existent window");
        return;
    }
    found->second->ClearTextures();
    found->second->SetPendingDestroy(1);
    byName_.erase(found);
}

void guiManager::DestroyAllWindows()
{
    for (const auto& [name, window] : byName_) {
        window->SetPendingDestroy(1);
    }
    byName_.clear();
}

void guiManager::SortWindows()
{
    stacking_.sort([](const std::unique_ptr<guiWindow>& a, const std::unique_ptr<guiWindow>& b) {
        return a->GetPosition().z > b->GetPosition().z;
    });
}

void guiManager::DeletePendingWindows()
{
    stacking_.remove_if([](const std::unique_ptr<guiWindow>& window) { return window->IsPendingDestroy(); });
}

void guiManager::RenderAll()
{
    DeletePendingWindows();
    for (auto window = stacking_.rbegin(); window != stacking_.rend(); ++window) {
        (*window)->Render();
    }
}

std::uint32_t guiManager::DispatchInput(std::uint32_t message, guiParam a, guiParam b, bool* handled)
{
    // Windows are freed only by RenderAll, so these stay valid however the
    // callbacks rearrange the list.
    const std::vector<guiWindow*> snapshot = GetStackingOrder();
    for (guiWindow* window : snapshot) {
        if (*handled) {
            break;
        }
        if (!window->IsPendingDestroy()) {
            window->HandleMessage(message, a, b, handled);
        }
    }
    return 0;
}

void guiManager::Shutdown()
{
    byName_.clear();
    stacking_.clear();
}

std::vector<guiWindow*> guiManager::GetStackingOrder() const
{
    std::vector<guiWindow*> order;
    order.reserve(stacking_.size());
    for (const std::unique_ptr<guiWindow>& window : stacking_) {
        order.push_back(window.get());
    }
    return order;
}

guiObject* guiManager::GetLogged(const std::string& window, const std::string& name, guiObjectType type)
{
    const KindLog log = LogOfKind(type);
    guiWindow* const found = GetWindow(window);
    if (!found) {
        ErrorLog("guiWindow.txt", true).Warning("Could not find window associtated with handle");
        ErrorLog(log.logName, true).Warning(log.notFound);
        return nullptr;
    }
    guiObject* const object = WindowGetter(*found, name, type);
    if (!object) {
        ErrorLog(log.logName, true).Warning(log.notFound);
    }
    return object;
}

guiButton* guiManager::GetButton(const std::string& window, const std::string& name)
{
    return static_cast<guiButton*>(GetLogged(window, name, kGuiButton));
}

guiEditBox* guiManager::GetEditBox(const std::string& window, const std::string& name)
{
    return static_cast<guiEditBox*>(GetLogged(window, name, kGuiEditBox));
}

guiSlider* guiManager::GetSlider(const std::string& window, const std::string& name)
{
    return static_cast<guiSlider*>(GetLogged(window, name, kGuiSlider));
}

guiCheckBox* guiManager::GetCheckBox(const std::string& window, const std::string& name)
{
    return static_cast<guiCheckBox*>(GetLogged(window, name, kGuiCheckBox));
}

guiDropBox* guiManager::GetDropBox(const std::string& window, const std::string& name)
{
    return static_cast<guiDropBox*>(GetLogged(window, name, kGuiDropBox));
}

guiObject* guiManager::FindObject(const std::string& window, const std::string& name, guiObjectType type) const
{
    const guiWindow* const found = GetWindow(window);
    guiObject* const object = found ? found->FindObject(name) : nullptr;
    return object && object->GetType() == type ? object : nullptr;
}

void guiManager::SetScreenSize(int width, int height)
{
    // A screen of one pixel would make the mapping divide by zero.
    screenWidth_ = std::max(width, 2);
    screenHeight_ = std::max(height, 2);
}

guiRect guiManager::ToPixels(const guiRect& fractions) const
{
    const auto scaleX = static_cast<float>(screenWidth_ - 1);
    const auto scaleY = static_cast<float>(screenHeight_ - 1);
    return {scaleX * fractions.left, scaleY * fractions.top, scaleX * fractions.right, scaleY * fractions.bottom};
}

TextureHandle guiManager::LoadTexture(const std::string& path) const
{
    return loader_ ? loader_->LoadTexture(path) : nullptr;
}

void guiManager::PlayClick() const
{
    if (clickSound_) {
        clickSound_();
    }
}
