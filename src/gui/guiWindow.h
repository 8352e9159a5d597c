// A window: a rectangle of the screen (in fractions of it) holding named
// widgets and a list of background pictures, with an opacity, a stacking
// order (z, larger in front) and an optional callback. Input is offered to
// the widgets in name order and then, if none handled it, to the callback;
// drawing puts the pictures first and the widgets over them in name order,
// so a later name lies on top.
//
// Callbacks may create and delete widgets while a message is being offered:
// a widget taken out of the window during the walk is kept until the walk is
// over, so the widget whose callback is running is never freed under it.
#pragma once

#include "gui/guiCodes.h"
#include "gui/guiTextureRect.h"
#include "platform/math/Vector.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

class guiObject;
class guiButton;
class guiEditBox;
class guiSlider;
class guiCheckBox;
class guiDropBox;

class guiWindow {
public:
    guiWindow(guiCallback callback, float x, float y, float z, float width, float height);
    ~guiWindow();
    guiWindow(const guiWindow&) = delete;
    guiWindow& operator=(const guiWindow&) = delete;

    // The new widget of a guiObjectType; null for an unknown type. A widget
    // already under the name is replaced (with a warning).
    guiObject* CreateObject(const std::string& name, std::uint32_t type, guiCallback callback, float x, float y,
                            float width, float height);
    // The widget as that kind; null with a warning when the name is missing
    // or the widget is of another kind.
    guiButton* GetButton(const std::string& name);
    guiEditBox* GetEditBox(const std::string& name);
    guiSlider* GetSlider(const std::string& name);
    guiCheckBox* GetCheckBox(const std::string& name);
    guiDropBox* GetDropBox(const std::string& name);
    // Silent: for code that looks every frame.
    guiObject* FindObject(const std::string& name) const;
    // Whether the widget is still one of this window's.
    bool HoldsObject(const guiObject* object) const;
    void DeleteObject(const std::string& name);
    std::size_t ObjectCount() const { return objects_.size(); }

    // False, with a warning and nothing added, when the picture does not load.
    bool AddTexture(const std::string& file, float x, float y, float width, float height);
    void ClearTextures() { textures_.clear(); }
    std::size_t TextureCount() const { return textures_.size(); }

    void SetCallback(guiCallback callback) { callback_ = callback; }
    // Only a movable window moves (else a warning); the manager then re-sorts
    // its windows by z.
    void SetPositionXYZ(float x, float y, float z);
    void SetPosition(const Vec3& position);
    const Vec3& GetPosition() const { return position_; }
    float GetWidth() const { return width_; }
    float GetHeight() const { return height_; }
    void SetWidth(float width) { width_ = width; }
    void SetHeight(float height) { height_ = height; }

    // An invisible window is not drawn but still takes input; a disabled
    // one is neither drawn nor offered input.
    void SetVisible(std::uint8_t visible) { visible_ = visible != 0; }
    bool IsVisible() const { return visible_; }
    void SetDisabled(std::uint8_t disabled) { disabled_ = disabled != 0; }
    bool IsDisabled() const { return disabled_; }
    void SetMovable(std::uint8_t movable) { movable_ = movable != 0; }
    bool IsMovable() const { return movable_; }
    void SetAlpha(float alpha) { alpha_ = alpha; }
    float GetAlpha() const { return alpha_; }
    // For the manager: a destroyed window waits for its next drawing pass.
    void SetPendingDestroy(std::uint8_t pending) { pendingDestroy_ = pending != 0; }
    bool IsPendingDestroy() const { return pendingDestroy_; }

    // Returns 0.
    std::uint32_t HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled);
    void Render();

    // White with the opacity of alpha in the top byte: 255 from 1 up, 0 from
    // 0 down, else 255 x alpha cut down.
    static std::uint32_t ColorForAlpha(float alpha);

private:
    guiObject* GetAs(const std::string& name, guiObjectType type);
    // Out of the map; freed at once, or after the walk when one is running.
    void Retire(std::unique_ptr<guiObject> object);

    std::map<std::string, std::unique_ptr<guiObject>> objects_;
    std::vector<std::unique_ptr<guiObject>> retired_;
    int walking_ = 0;
    bool pendingDestroy_ = false;
    bool movable_ = true;
    bool disabled_ = false;
    bool visible_ = true;
    float alpha_ = 1.0f;
    Vec3 position_;
    float width_ = 0.0f;
    float height_ = 0.0f;
    guiCallback callback_ = nullptr;
    std::list<guiTextureRect> textures_;
};
