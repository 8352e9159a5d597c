// guiEditBox: typing, Enter and the drawn line.
#include "gui/guiEditBox.h"

#include "gui/guiManager.h"
#include "gui/guiWindow.h"

#include <algorithm>

namespace {

constexpr char kBackspace = 8;
constexpr char kEnter = 10;

} // namespace

guiEditBox::guiEditBox(guiWindow* owner, guiCallback callback, float x, float y, float width, float height)
    : guiObject(owner, kGuiEditBox, callback, x, y, width, height)
{
}

std::size_t guiEditBox::Capacity() const
{
    if (maxLength_ <= 0) {
        return kMaxTextLength;
    }
    return std::min(static_cast<std::size_t>(maxLength_), kMaxTextLength);
}

void guiEditBox::SetText(const std::string& text)
{
    text_ = text.substr(0, Capacity());
}

std::uint32_t guiEditBox::HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled)
{
    (void)a;
    const std::int32_t typed = b.AsInt();
    // Only characters the keyboard can type are taken: 1 to 255.
    if (message != kGuiKeyDown || !focus_ || typed <= 0 || typed > 255) {
        return 0;
    }
    const auto character = static_cast<char>(static_cast<unsigned char>(typed));
    if (character == kEnter) {
        // Left unhandled, so the other widgets and the window see Enter too.
        Enter(handled);
        return 0;
    }
    if (character == kBackspace) {
        if (!text_.empty()) {
            text_.pop_back();
        }
    } else {
        Type(character);
    }
    *handled = true;
    return 0;
}

void guiEditBox::Type(char character)
{
    if (text_.size() < Capacity()) {
        text_.push_back(character);
    }
}

void guiEditBox::Enter(bool* handled)
{
    // The callback gets its own copy: it may empty this box, or delete it,
    // while it reads the text.
    std::string sent = text_;
    Report(kGuiEditBoxEnter, guiParam::FromPointer(sent.data()), guiParam::FromInt(0), handled);
    if (clearOnEnter_ && GetOwner()->HoldsObject(this)) {
        text_.clear();
    }
}

void guiEditBox::Render(float windowX, float windowY, float windowWidth, float windowHeight, std::uint32_t color)
{
    Canvas2D* canvas = guiManager::Instance()->GetCanvas();
    if (!canvas) {
        return;
    }
    guiRect rect = PixelRect(windowX, windowY, windowWidth, windowHeight);
    std::string shown = focus_ ? text_ + "_" : text_;
    if (growLimit_ > 0.0f) {
        GrowToText(*canvas, rect, shown);
    } else {
        // The text offsets are the margins on both sides of the text.
        KeepEndThatFits(*canvas, rect.right - rect.left - static_cast<float>(2 * textOffsetX_), shown);
    }
    if (background_) {
        canvas->DrawTexturedRect({rect.left, rect.top}, {rect.right, rect.bottom}, color, background_.get());
    }
    ColorValue textColor = textColor_;
    textColor.a *= static_cast<float>(color >> 24) / 255.0f;
    const int x = static_cast<int>(rect.left + static_cast<float>(textOffsetX_));
    const int y = static_cast<int>(rect.top + static_cast<float>(textOffsetY_));
    if (outlinedText_) {
        canvas->DrawOutlinedText(shown, x, y, fontKey_, textColor);
    } else {
        canvas->DrawText(shown, x, y, fontKey_, textColor);
    }
}

void guiEditBox::GrowToText(const Canvas2D& canvas, guiRect& rect, std::string& shown) const
{
    // The text offsets are the margins on both sides of the text.
    const auto marginX = static_cast<float>(2 * textOffsetX_);
    const auto marginY = static_cast<float>(2 * textOffsetY_);
    const float pixelsPerWidth = GetWidth() > 0.0f ? (rect.right - rect.left) / GetWidth() : 0.0f;
    const float widest = std::max(rect.right, rect.left + growLimit_ * pixelsPerWidth);
    KeepEndThatFits(canvas, widest - rect.left - marginX, shown);
    const auto needed = static_cast<float>(canvas.MeasureText(shown, fontKey_));
    rect.right = std::clamp(rect.left + marginX + needed, rect.right, widest);
    rect.bottom = std::max(rect.bottom, rect.top + marginY + static_cast<float>(canvas.LineHeight(fontKey_)));
}

void guiEditBox::KeepEndThatFits(const Canvas2D& canvas, float room, std::string& shown) const
{
    while (!shown.empty() && static_cast<float>(canvas.MeasureText(shown, fontKey_)) > room) {
        shown.erase(shown.begin());
    }
}

void guiEditBox::SetBackgroundTexture(const std::string& file)
{
    background_ = guiManager::Instance()->LoadTexture(file);
}
