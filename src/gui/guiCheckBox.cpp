// guiCheckBox: toggling and the face drawn for each state.
#include "gui/guiCheckBox.h"

#include "gui/guiManager.h"

guiCheckBox::guiCheckBox(guiWindow* owner, guiCallback callback, float x, float y, float width, float height)
    : guiObject(owner, kGuiCheckBox, callback, x, y, width, height)
{
}

std::uint32_t guiCheckBox::HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled)
{
    if (message == kGuiMouseMove) {
        hover_ = IsInside(a, b);
        if (hover_) {
            *handled = true;
        }
        return 0;
    }
    if (message != kGuiLeftDown || !IsInside(a, b)) {
        return 0;
    }
    guiManager::Instance()->PlayClick();
    checked_ = !checked_;
    hover_ = true;
    Report(checked_ ? kGuiChecked : kGuiUnchecked, guiParam::FromPointer(this), guiParam::FromInt(0), handled);
    *handled = true;
    return 0;
}

// A state under the cursor without a picture of its own falls back to the
// plain picture of that state.
platform::Texture* guiCheckBox::FaceToDraw() const
{
    if (checkedTexture_ && checked_ && (!hover_ || !checkedHoverTexture_)) {
        return checkedTexture_.get();
    }
    if (uncheckedTexture_ && !checked_ && (!hover_ || !hoverTexture_)) {
        return uncheckedTexture_.get();
    }
    if (checkedHoverTexture_ && checked_ && hover_) {
        return checkedHoverTexture_.get();
    }
    if (hoverTexture_ && !checked_ && hover_) {
        return hoverTexture_.get();
    }
    return nullptr;
}

void guiCheckBox::Render(float windowX, float windowY, float windowWidth, float windowHeight, std::uint32_t color)
{
    Canvas2D* canvas = guiManager::Instance()->GetCanvas();
    platform::Texture* face = FaceToDraw();
    if (!canvas || !face) {
        return;
    }
    const guiRect rect = PixelRect(windowX, windowY, windowWidth, windowHeight);
    canvas->DrawTexturedRect({rect.left, rect.top}, {rect.right, rect.bottom}, color, face);
}

void guiCheckBox::SetUncheckedTexture(const std::string& file)
{
    uncheckedTexture_ = guiManager::Instance()->LoadTexture(file);
}

void guiCheckBox::SetCheckedTexture(const std::string& file)
{
    checkedTexture_ = guiManager::Instance()->LoadTexture(file);
}

void guiCheckBox::SetHoverTexture(const std::string& file)
{
    hoverTexture_ = guiManager::Instance()->LoadTexture(file);
}

void guiCheckBox::SetCheckedHoverTexture(const std::string& file)
{
    checkedHoverTexture_ = guiManager::Instance()->LoadTexture(file);
}
