// The game window over SDL2 with an OpenGL 2.1 compatibility context. Full
// screen covers the desktop at its own resolution and the picture is scaled
// into it; windowed mode opens a resizable window of the picture's size. The
// system pointer is hidden: the game draws its own cursor.
#pragma once

#include "platform/Window.h"

#include <cstdint>
#include <memory>

struct SDL_Window;

namespace platform {

class SdlWindow : public Window {
public:
    // nullptr when SDL's video, the window or the GL context cannot be made
    // (the reason goes to stderr).
    static std::unique_ptr<SdlWindow> Open(const WindowConfig& config);
    ~SdlWindow() override;

    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    void SetCaption(const std::string& caption) override;
    bool BeginFrame() override;
    void Clear(std::uint32_t argb) override;
    void Present() override;
    void BindPicture() override;
    void SetMouseCaptured(bool captured) override;

    int PictureWidth() const override { return config_.width; }
    int PictureHeight() const override { return config_.height; }

    // Present's two halves: scale the picture into the window's back buffer,
    // then show it. Tests look at the window between the two.
    void ComposeToWindow();
    void SwapBuffers();

    // The window's drawable area in pixels.
    void GetDrawableSize(int& width, int& height) const;
    // False when the GL offers no framebuffer objects; the picture is then
    // drawn straight into a viewport of the window.
    bool HasPictureTarget() const { return framebuffer_ != 0; }

private:
    explicit SdlWindow(const WindowConfig& config);

    bool Create();
    bool CreatePictureTarget();
    void DestroyPictureTarget();
    PixelRect PictureRectInWindow() const;

    WindowConfig config_;
    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    std::uint32_t framebuffer_ = 0;
    std::uint32_t colorBuffer_ = 0;
    std::uint32_t depthBuffer_ = 0;
};

} // namespace platform
