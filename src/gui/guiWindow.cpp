// guiWindow: its widgets by name, its pictures, and the offering and drawing
// of both.
#include "gui/guiWindow.h"

#include "core/ErrorLog.h"
#include "gui/guiButton.h"
#include "gui/guiCheckBox.h"
#include "gui/guiDropBox.h"
#include "gui/guiEditBox.h"
#include "gui/guiManager.h"
#include "gui/guiSlider.h"

namespace {

void Warn(const std::string& text)
{
    ErrorLog("guiWindow.txt", true).Warning(text);
}

std::unique_ptr<guiObject> MakeObject(guiWindow* owner, std::uint32_t type, guiCallback callback, float x, float y,
                                      float width, float height)
{
    switch (type) {
    case kGuiButton:
        return std::make_unique<guiButton>(owner, callback, x, y, width, height);
    case kGuiEditBox:
        return std::make_unique<guiEditBox>(owner, callback, x, y, width, height);
    case kGuiSlider:
        return std::make_unique<guiSlider>(owner, callback, x, y, width, height);
    case kGuiDropBox:
        return std::make_unique<guiDropBox>(owner, callback, x, y, width, height);
    case kGuiCheckBox:
        return std::make_unique<guiCheckBox>(owner, callback, x, y, width, height);
    default:
        return nullptr;
    }
}

} // namespace

guiWindow::guiWindow(guiCallback callback, float x, float y, float z, float width, float height)
    : position_{x, y, z}, width_(width), height_(height), callback_(callback)
{
}

guiWindow::~guiWindow() = default;

guiObject* guiWindow::CreateObject(const std::string& name, std::uint32_t type, guiCallback callback, float x, float y,
                                   float width, float height)
{
    std::unique_ptr<guiObject> made = MakeObject(this, type, callback, x, y, width, height);
    if (!made) {
        return nullptr;
    }
    const auto existing = objects_.find(name);
    if (existing != objects_.end()) {
        Warn("Creating gui object with identical name to one that already exists");
        Retire(std::move(existing->second));
        objects_.erase(existing);
    }
    guiObject* const object = made.get();
    objects_.emplace(name, std::move(made));
    return object;
}

guiObject* guiWindow::FindObject(const std::string& name) const
{
    const auto found = objects_.find(name);
    return found != objects_.end() ? found->second.get() : nullptr;
}

bool guiWindow::HoldsObject(const guiObject* object) const
{
    for (const auto& [name, held] : objects_) {
        if (held.get() == object) {
            return true;
        }
    }
    return false;
}

guiObject* guiWindow::GetAs(const std::string& name, guiObjectType type)
{
    guiObject* const object = FindObject(name);
    if (!object) {
        Warn("Can not find gui object associated with given handle");
        return nullptr;
    }
    return object->CheckType(type);
}

guiButton* guiWindow::GetButton(const std::string& name)
{
    return static_cast<guiButton*>(GetAs(name, kGuiButton));
}

guiEditBox* guiWindow::GetEditBox(const std::string& name)
{
    return static_cast<guiEditBox*>(GetAs(name, kGuiEditBox));
}

guiSlider* guiWindow::GetSlider(const std::string& name)
{
    return static_cast<guiSlider*>(GetAs(name, kGuiSlider));
}

guiCheckBox* guiWindow::GetCheckBox(const std::string& name)
{
    return static_cast<guiCheckBox*>(GetAs(name, kGuiCheckBox));
}

guiDropBox* guiWindow::GetDropBox(const std::string& name)
{
    return static_cast<guiDropBox*>(GetAs(name, kGuiDropBox));
}

void guiWindow::DeleteObject(const std::string& name)
{
    const auto found = objects_.find(name);
    if (found == objects_.end()) {
        Warn("Attempting to delete non-existent gui object");
        return;
    }
    Retire(std::move(found->second));
    objects_.erase(found);
}

void guiWindow::Retire(std::unique_ptr<guiObject> object)
{
    if (walking_ > 0) {
        retired_.push_back(std::move(object));
    }
}

bool guiWindow::AddTexture(const std::string& file, float x, float y, float width, float height)
{
    TextureHandle texture = guiManager::Instance()->LoadTexture(file);
    if (!texture) {
        Warn("Attempting to load invalid texture into window texture list: " + file);
        return false;
    }
    textures_.push_back({x, y, width, height, std::move(texture)});
    return true;
}

void guiWindow::SetPositionXYZ(float x, float y, float z)
{
    SetPosition({x, y, z});
}

void guiWindow::SetPosition(const Vec3& position)
{
    if (!movable_) {
        Warn("Attempting to move immovable window");
        return;
    }
    position_ = position;
    guiManager::Instance()->SortWindows();
}

std::uint32_t guiWindow::ColorForAlpha(float alpha)
{
    std::uint32_t opacity = 0;
    if (alpha >= 1.0f) {
        opacity = 255;
    } else if (alpha > 0.0f) {
        opacity = static_cast<std::uint32_t>(255.0f * alpha);
    }
    return (opacity << 24) | 0x00FFFFFFu;
}

std::uint32_t guiWindow::HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled)
{
    if (disabled_) {
        return 0;
    }
    // The names are taken first and looked up again one by one: a callback
    // may add or remove widgets, and a removed one is skipped.
    std::vector<std::string> names;
    names.reserve(objects_.size());
    for (const auto& [name, object] : objects_) {
        names.push_back(name);
    }
    ++walking_;
    for (const std::string& name : names) {
        if (*handled) {
            break;
        }
        guiObject* const object = FindObject(name);
        if (object && object->IsVisible()) {
            object->HandleMessage(message, a, b, handled);
        }
    }
    --walking_;
    if (!*handled && callback_) {
        callback_(message, &a, &b, handled);
    }
    if (walking_ == 0) {
        retired_.clear();
    }
    return 0;
}

void guiWindow::Render()
{
    if (!visible_ || disabled_) {
        return;
    }
    const std::uint32_t color = ColorForAlpha(alpha_);
    guiManager* manager = guiManager::Instance();
    if (Canvas2D* canvas = manager->GetCanvas()) {
        for (const guiTextureRect& record : textures_) {
            const float left = record.x * width_ + position_.x;
            const float top = record.y * height_ + position_.y;
            const guiRect rect =
                manager->ToPixels({left, top, record.width * width_ + left, record.height * height_ + top});
            canvas->DrawTexturedRect({rect.left, rect.top}, {rect.right, rect.bottom}, color, record.texture.get());
        }
    }
    for (const auto& [name, object] : objects_) {
        if (object->IsVisible()) {
            object->Render(position_.x, position_.y, width_, height_, color);
        }
    }
}
