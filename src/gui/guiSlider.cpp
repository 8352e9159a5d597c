// guiSlider: grabbing, dragging and the thumb's place on the track.
#include "gui/guiSlider.h"

#include "gui/guiManager.h"
#include "gui/guiWindow.h"

namespace {

float ClampUnit(float value)
{
    // Written so that a NaN fails both tests and lands on 0.
    if (value > 1.0f) {
        return 1.0f;
    }
    return value >= 0.0f ? value : 0.0f;
}

} // namespace

guiSlider::guiSlider(guiWindow* owner, guiCallback callback, float x, float y, float width, float height)
    : guiObject(owner, kGuiSlider, callback, x, y, width, height)
{
}

float guiSlider::PositionValue(float p, float thumbLength, float trackLength)
{
    const float ratio = trackLength > 0.0f ? thumbLength / trackLength : 1.0f;
    if (!(ratio < 1.0f)) {
        return p > 0.5f ? 1.0f : 0.0f;
    }
    return ClampUnit((p - ratio / 2.0f) / (1.0f - ratio));
}

void guiSlider::SetValue(float value)
{
    value_ = ClampUnit(value);
}

std::uint32_t guiSlider::HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled)
{
    switch (message) {
    case kGuiLeftDown:
        if (!IsInside(a, b)) {
            break;
        }
        guiManager::Instance()->PlayClick();
        *handled = true;
        dragging_ = true;
        Drag(a, b, handled);
        break;
    case kGuiMouseMove:
        if (dragging_) {
            Drag(a, b, handled);
        }
        break;
    case kGuiLeftUp:
        // Every release that reaches the slider, grabbed or not; it is left
        // unhandled so the other widgets see it too.
        dragging_ = false;
        Report(kGuiSliderReleased, guiParam::FromFloat(value_), guiParam::FromInt(0), handled);
        break;
    default:
        break;
    }
    return 0;
}

void guiSlider::Drag(guiParam a, guiParam b, bool* handled)
{
    const Vec3 local = ScreenToLocal(a.AsInt(), b.AsInt());
    const float old = value_;
    if (horizontal_) {
        value_ = PositionValue(local.x, thumb_.width, GetWidth());
    } else {
        value_ = PositionValue(local.y, thumb_.height, GetHeight());
    }
    Report(kGuiSliderMoved, guiParam::FromFloat(value_), guiParam::FromFloat(value_ - old), handled);
    if (IsInside(a, b)) {
        *handled = true;
    }
}

void guiSlider::Render(float windowX, float windowY, float windowWidth, float windowHeight, std::uint32_t color)
{
    Canvas2D* canvas = guiManager::Instance()->GetCanvas();
    if (!canvas) {
        return;
    }
    const guiManager* manager = guiManager::Instance();
    const guiRect rect = PixelRect(windowX, windowY, windowWidth, windowHeight);
    if (trackTexture_) {
        canvas->DrawTexturedRect({rect.left, rect.top}, {rect.right, rect.bottom}, color, trackTexture_.get());
    }
    if (!thumb_.texture) {
        return;
    }
    // The thumb's centre in screen fractions, then its corners in pixels.
    const guiRect track = ScreenRect(windowX, windowY, windowWidth, windowHeight);
    const float halfWidth = windowWidth * thumb_.width / 2.0f;
    const float halfHeight = windowHeight * thumb_.height / 2.0f;
    float centreX = (track.left + track.right) / 2.0f;
    float centreY = (track.top + track.bottom) / 2.0f;
    if (horizontal_) {
        centreX = track.left + halfWidth + (track.right - 2.0f * halfWidth - track.left) * value_;
    } else {
        centreY = track.top + halfHeight + (track.bottom - 2.0f * halfHeight - track.top) * value_;
    }
    const guiRect thumb =
        manager->ToPixels({centreX - halfWidth, centreY - halfHeight, centreX + halfWidth, centreY + halfHeight});
    canvas->DrawTexturedRect({thumb.left, thumb.top}, {thumb.right, thumb.bottom}, color, thumb_.texture.get());
}

void guiSlider::SetTrackTexture(const std::string& file)
{
    trackTexture_ = guiManager::Instance()->LoadTexture(file);
}

void guiSlider::SetThumbTexture(const std::string& file, float width, float height)
{
    thumb_.width = width;
    thumb_.height = height;
    thumb_.texture = guiManager::Instance()->LoadTexture(file);
}
