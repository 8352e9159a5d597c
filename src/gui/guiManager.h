// The registry of every GUI window: windows by name and in stacking order
// (front first), the offering of input front to back, the drawing back to
// front, and the deferred deletion of destroyed windows.
//
// A destroyed window leaves the name map at once (its name can be reused
// straight away) but stays in the stacking list, alive, until the next
// RenderAll deletes it: a callback may destroy its own window. From the
// moment it is destroyed it takes no more input, so a second click in the
// same poll cannot reach the callbacks of a screen that has closed.
//
// The manager also holds what the toolkit draws with: the screen size in
// pixels, the 2-D canvas, the picture loader and the click sound.
#pragma once

#include "core/Singleton.h"
#include "gui/guiCodes.h"
#include "gui/guiObject.h"
#include "render/Canvas2D.h"
#include "render/TextureLoader.h"

#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

class guiWindow;
class guiButton;
class guiEditBox;
class guiSlider;
class guiCheckBox;
class guiDropBox;

class guiManager : public Singleton<guiManager> {
    friend class Singleton<guiManager>;

public:
    // The window of that name, made when there is none: full screen at z 0,
    // put in front of every window of z >= 0 until the next sort. An
    // existing window is returned as it is.
    guiWindow* CreateWindow(const std::string& name);
    // Null when there is none; silent.
    guiWindow* GetWindow(const std::string& name) const;
    // Clears its pictures and marks it pending; a warning for an unknown name.
    void DestroyWindow(const std::string& name);
    // Every window, on every screen change.
    void DestroyAllWindows();
    // Stable: larger z in front, equal z keeping their order.
    void SortWindows();
    // Deletes the pending windows, then draws the rest back to front.
    void RenderAll();
    // Front to back until *handled is set; disabled and pending windows are
    // passed over. Walks a copy of the stacking order, so callbacks may make,
    // move and destroy windows. Returns 0.
    std::uint32_t DispatchInput(std::uint32_t message, guiParam a, guiParam b, bool* handled);
    // Deletes every window at once: the drawing device is going.
    void Shutdown();

    // The widget of a window as that kind, or null with warnings.
    guiButton* GetButton(const std::string& window, const std::string& name);
    guiEditBox* GetEditBox(const std::string& window, const std::string& name);
    guiSlider* GetSlider(const std::string& window, const std::string& name);
    guiCheckBox* GetCheckBox(const std::string& window, const std::string& name);
    guiDropBox* GetDropBox(const std::string& window, const std::string& name);
    // Silent, for code that looks every frame: null when the window or the
    // widget is missing or of another kind.
    guiObject* FindObject(const std::string& window, const std::string& name, guiObjectType type) const;

    // The stacking order, front first (pending windows included).
    std::vector<guiWindow*> GetStackingOrder() const;

    void SetScreenSize(int width, int height);
    int GetScreenWidth() const { return screenWidth_; }
    int GetScreenHeight() const { return screenHeight_; }
    // Fractions of the screen to pixels: f x (size - 1).
    guiRect ToPixels(const guiRect& fractions) const;

    // Borrowed; null draws nothing and loads nothing.
    void SetCanvas(Canvas2D* canvas) { canvas_ = canvas; }
    Canvas2D* GetCanvas() const { return canvas_; }
    void SetTextureLoader(TextureLoader* loader) { loader_ = loader; }
    TextureHandle LoadTexture(const std::string& path) const;
    // What a widget's click plays; the sound manager's click by default.
    void SetClickSound(std::function<void()> play) { clickSound_ = std::move(play); }
    void PlayClick() const;

private:
    guiManager();

    // The window's getter result, with the missing-window and not-found
    // warnings of the kind's log.
    guiObject* GetLogged(const std::string& window, const std::string& name, guiObjectType type);
    void DeletePendingWindows();

    std::map<std::string, guiWindow*> byName_;
    std::list<std::unique_ptr<guiWindow>> stacking_;
    int screenWidth_ = 1024;
    int screenHeight_ = 768;
    Canvas2D* canvas_ = nullptr;
    TextureLoader* loader_ = nullptr;
    std::function<void()> clickSound_;
};
