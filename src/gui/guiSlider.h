// A slider: a value from 0 (left or top end) to 1, a track picture and a
// thumb picture. A press inside grabs it; while it is held, every move sets
// the value from the cursor (the thumb's centre follows the cursor, the thumb
// staying on the track) and reports 104 with the value and its change; every
// left release that reaches it reports 105.
#pragma once

#include "gui/guiObject.h"
#include "gui/guiTextureRect.h"

#include <string>

class guiSlider : public guiObject {
public:
    guiSlider(guiWindow* owner, guiCallback callback, float x, float y, float width, float height);

    std::uint32_t HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled) override;
    void Render(float windowX, float windowY, float windowWidth, float windowHeight, std::uint32_t color) override;

    float GetValue() const { return value_; }
    // Clamped to 0..1 (a NaN gives 0); reports nothing.
    void SetValue(float value);
    void SetHorizontal(std::uint8_t horizontal) { horizontal_ = horizontal != 0; }
    bool IsHorizontal() const { return horizontal_; }
    bool IsDragging() const { return dragging_; }
    void SetTrackTexture(const std::string& file);
    // The thumb's size in fractions of the window, like the slider's own.
    void SetThumbTexture(const std::string& file, float width, float height);

    // The value for a cursor at local coordinate p along a track of length
    // trackLength with a thumb of thumbLength: the thumb's centre on the
    // cursor, within the track. A thumb as long as the track (or longer) has
    // room for no position but the ends: 1 past the centre, else 0.
    static float PositionValue(float p, float thumbLength, float trackLength);

private:
    void Drag(guiParam a, guiParam b, bool* handled);

    float value_ = 0.0f;
    bool horizontal_ = true;
    bool dragging_ = false;
    TextureHandle trackTexture_;
    guiTextureRect thumb_;
};
