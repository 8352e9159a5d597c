// guiObject: type checks and the pixel mapping shared by every widget.
#include "gui/guiObject.h"

#include "core/ErrorLog.h"
#include "gui/guiManager.h"
#include "gui/guiWindow.h"

guiObject::guiObject(guiWindow* owner, guiObjectType type, guiCallback callback, float x, float y, float width,
                     float height)
    : callback_(callback), owner_(owner), type_(type), position_{x, y, 0.0f}, width_(width), height_(height)
{
}

guiObject* guiObject::CheckType(guiObjectType wanted)
{
    if (type_ == wanted) {
        return this;
    }
    ErrorLog("guiObject.txt", true).Warning("Attempting to get gui object as type that it is not");
    return nullptr;
}

Vec3 guiObject::ScreenToLocal(int pixelX, int pixelY) const
{
    const guiManager* manager = guiManager::Instance();
    const float screenX = static_cast<float>(pixelX) / static_cast<float>(manager->GetScreenWidth() - 1);
    const float screenY = static_cast<float>(pixelY) / static_cast<float>(manager->GetScreenHeight() - 1);
    const Vec3& window = owner_->GetPosition();
    const float left = window.x + position_.x * owner_->GetWidth();
    const float top = window.y + position_.y * owner_->GetHeight();
    const float spanX = width_ * owner_->GetWidth();
    const float spanY = height_ * owner_->GetHeight();
    // A zero span would give inf or NaN, and a NaN must never reach a slider.
    const float localX = spanX != 0.0f ? (screenX - left) / spanX : -1.0f;
    const float localY = spanY != 0.0f ? (screenY - top) / spanY : -1.0f;
    return {localX, localY, 0.0f};
}

bool guiObject::IsInside(int pixelX, int pixelY) const
{
    const Vec3 local = ScreenToLocal(pixelX, pixelY);
    return local.x >= 0.0f && local.x <= 1.0f && local.y >= 0.0f && local.y <= 1.0f;
}

guiRect guiObject::ScreenRect(float windowX, float windowY, float windowWidth, float windowHeight) const
{
    const float left = windowWidth * position_.x + windowX;
    const float right = windowWidth * width_ + left;
    const float top = windowHeight * position_.y + windowY;
    const float bottom = windowHeight * height_ + top;
    return {left, top, right, bottom};
}

guiRect guiObject::PixelRect(float windowX, float windowY, float windowWidth, float windowHeight) const
{
    const guiRect screen = ScreenRect(windowX, windowY, windowWidth, windowHeight);
    return guiManager::Instance()->ToPixels(screen);
}

void guiObject::Report(guiEvent event, guiParam a, guiParam b, bool* handled) const
{
    if (callback_) {
        callback_(event, &a, &b, handled);
    }
}
