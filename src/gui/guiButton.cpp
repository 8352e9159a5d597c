// guiButton: press, click and hover, and the face drawn for each.
#include "gui/guiButton.h"

#include "gui/guiManager.h"
#include "render/Canvas2D.h"

guiButton::guiButton(guiWindow* owner, guiCallback callback, float x, float y, float width, float height)
    : guiObject(owner, kGuiButton, callback, x, y, width, height)
{
}

std::uint32_t guiButton::HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled)
{
    switch (message) {
    case kGuiMouseMove:
        hover_ = IsInside(a, b);
        if (hover_) {
            *handled = true;
        }
        break;
    case kGuiLeftDown:
        if (!IsInside(a, b)) {
            break;
        }
        pressed_ = true;
        hover_ = true;
        guiManager::Instance()->PlayClick();
        Report(kGuiButtonPressed, guiParam::FromPointer(this), guiParam::FromInt(0), handled);
        *handled = true;
        break;
    case kGuiLeftUp:
        // No hit test: releasing anywhere completes the click.
        if (!pressed_) {
            break;
        }
        pressed_ = false;
        Report(kGuiButtonReleased, guiParam::FromPointer(this), guiParam::FromInt(0), handled);
        *handled = true;
        break;
    default:
        break;
    }
    return 0;
}

platform::Texture* guiButton::FaceToDraw() const
{
    if (downTexture_ && pressed_ && hover_) {
        return downTexture_.get();
    }
    if (hoverTexture_ && hover_) {
        return hoverTexture_.get();
    }
    return upTexture_.get();
}

void guiButton::Render(float windowX, float windowY, float windowWidth, float windowHeight, std::uint32_t color)
{
    Canvas2D* canvas = guiManager::Instance()->GetCanvas();
    if (!canvas) {
        return;
    }
    const guiRect rect = PixelRect(windowX, windowY, windowWidth, windowHeight);
    if (platform::Texture* face = FaceToDraw()) {
        canvas->DrawTexturedRect({rect.left, rect.top}, {rect.right, rect.bottom}, color, face);
    }
    if (!hasLabel_) {
        return;
    }
    ColorValue labelColor = labelColor_;
    labelColor.a *= static_cast<float>(color >> 24) / 255.0f;
    canvas->DrawText(label_, static_cast<int>(LabelLeft(*canvas, rect.left, rect.right)),
                     static_cast<int>(rect.top + labelOffsetY_), fontKey_, labelColor);
}

float guiButton::LabelLeft(const Canvas2D& canvas, float left, float right) const
{
    const auto width = static_cast<float>(canvas.MeasureText(label_, fontKey_));
    if (left + labelOffsetX_ + width <= right - kLabelMargin) {
        return left + labelOffsetX_;
    }
    return left + (right - left - width) / 2.0f;
}

void guiButton::SetUpTexture(const std::string& file)
{
    upTexture_ = guiManager::Instance()->LoadTexture(file);
}

void guiButton::SetDownTexture(const std::string& file)
{
    downTexture_ = guiManager::Instance()->LoadTexture(file);
}

void guiButton::SetHoverTexture(const std::string& file)
{
    hoverTexture_ = guiManager::Instance()->LoadTexture(file);
}

void guiButton::SetLabel(const std::string& label, const std::string& fontKey, float offsetX, float offsetY, float r,
                         float g, float b, float a)
{
    hasLabel_ = true;
    label_ = label;
    fontKey_ = fontKey;
    SetLabelOffset(offsetX, offsetY);
    labelColor_ = {r, g, b, a};
}

void guiButton::SetLabelOffset(float x, float y)
{
    labelOffsetX_ = x;
    labelOffsetY_ = y;
}
