// A push button: an up, a down and a hover picture and an optional label.
// A press inside reports 100; the next left release, wherever the cursor is,
// completes the click and reports 101. Screens act on 101.
//
// The label stands at its offset from the face's corner, in pixels, while
// the face is a share of the screen: on a small screen a long label outgrows
// its place. One that would end within kLabelMargin of the face's right
// edge is centred across the face instead, so it stays clear of the rim
// (about a pixel wide at menu sizes, alike on the up, down and hover faces)
// and never runs past the face.
#pragma once

#include "gui/guiObject.h"
#include "platform/math/Color.h"
#include "render/TextureLoader.h"

#include <string>

class Canvas2D;

class guiButton : public guiObject {
public:
    guiButton(guiWindow* owner, guiCallback callback, float x, float y, float width, float height);

    std::uint32_t HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled) override;
    // The down picture while pressed with the cursor over it, else the hover
    // picture under the cursor, else the up picture; a missing one draws
    // nothing. The label's alpha is multiplied by the window's.
    void Render(float windowX, float windowY, float windowWidth, float windowHeight, std::uint32_t color) override;

    // Each loads its file; the picture it replaces is let go.
    void SetUpTexture(const std::string& file);
    void SetDownTexture(const std::string& file);
    void SetHoverTexture(const std::string& file);
    // Offsets in pixels from the button's top-left corner.
    void SetLabel(const std::string& label, const std::string& fontKey, float offsetX, float offsetY, float r, float g,
                  float b, float a);

    void SetFontKey(const std::string& fontKey) { fontKey_ = fontKey; }
    void SetLabelColor(const ColorValue& color) { labelColor_ = color; }
    void SetLabelOffset(float x, float y);
    const std::string& GetLabel() const { return label_; }
    bool HasLabel() const { return hasLabel_; }
    bool IsPressed() const { return pressed_; }
    bool IsHovered() const { return hover_; }

    // Pixels kept clear between a label and the face's right edge.
    static constexpr float kLabelMargin = 4.0f;

private:
    platform::Texture* FaceToDraw() const;
    // The label's left edge over a face from left to right.
    float LabelLeft(const Canvas2D& canvas, float left, float right) const;

    bool pressed_ = false;
    bool hover_ = false;
    TextureHandle downTexture_;
    TextureHandle upTexture_;
    TextureHandle hoverTexture_;
    bool hasLabel_ = false;
    std::string label_;
    std::string fontKey_;
    ColorValue labelColor_;
    float labelOffsetX_ = 0.0f;
    float labelOffsetY_ = 0.0f;
};
