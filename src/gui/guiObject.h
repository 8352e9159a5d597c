// The base of every widget: its callback, the window that owns it, its kind,
// its rectangle inside the window and its visible flag, and the mapping from
// screen pixels to the widget's own coordinates.
//
// GUI geometry is relative. A window's position and size are fractions of the
// screen, a widget's are fractions of its window, and a fraction f becomes
// the pixel f x (screen size - 1), so the 1024x768 layout looks the same at
// any resolution.
#pragma once

#include "gui/guiCodes.h"
#include "platform/math/Vector.h"

#include <cstdint>

class guiWindow;

// A widget's rectangle, in screen pixels or screen fractions.
struct guiRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

class guiObject {
public:
    guiObject(guiWindow* owner, guiObjectType type, guiCallback callback, float x, float y, float width, float height);
    virtual ~guiObject() = default;
    guiObject(const guiObject&) = delete;
    guiObject& operator=(const guiObject&) = delete;

    // Every widget returns 0; what counts is the effect and *handled.
    virtual std::uint32_t HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled) = 0;
    // The window's rectangle (fractions of the screen) and its colour: white
    // with the window's opacity in the top byte.
    virtual void Render(float windowX, float windowY, float windowWidth, float windowHeight, std::uint32_t color) = 0;

    // This widget when it is of the wanted kind; otherwise null and a warning
    // in "guiObject.txt".
    guiObject* CheckType(guiObjectType wanted);

    // The pixel's place in the widget: (0, 0) its top-left corner, (1, 1) its
    // bottom-right. An axis of no size maps to -1, outside.
    Vec3 ScreenToLocal(int pixelX, int pixelY) const;
    // Edges included; a widget or window of no size is never hit.
    bool IsInside(int pixelX, int pixelY) const;
    // The widget's rectangle in fractions of the screen, for the window
    // rectangle given, and the same in pixels (what is drawn).
    guiRect ScreenRect(float windowX, float windowY, float windowWidth, float windowHeight) const;
    guiRect PixelRect(float windowX, float windowY, float windowWidth, float windowHeight) const;

    void SetVisible(std::uint8_t visible) { visible_ = visible; }
    std::uint8_t IsVisible() const { return visible_; }
    void SetCallback(guiCallback callback) { callback_ = callback; }
    void SetPosition(float x, float y) { position_ = {x, y, 0.0f}; }
    const Vec3& GetPosition() const { return position_; }
    void SetWidth(float width) { width_ = width; }
    void SetHeight(float height) { height_ = height; }
    float GetWidth() const { return width_; }
    float GetHeight() const { return height_; }
    guiObjectType GetType() const { return type_; }
    guiWindow* GetOwner() const { return owner_; }

protected:
    // Hands an event to the widget's callback, if it has one.
    void Report(guiEvent event, guiParam a, guiParam b, bool* handled) const;
    bool IsInside(guiParam a, guiParam b) const { return IsInside(a.AsInt(), b.AsInt()); }

private:
    guiCallback callback_ = nullptr;
    guiWindow* owner_ = nullptr;
    guiObjectType type_ = kGuiButton;
    Vec3 position_;
    float width_ = 0.0f;
    float height_ = 0.0f;
    std::uint8_t visible_ = 1;
};
