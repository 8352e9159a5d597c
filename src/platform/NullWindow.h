// A window with no display behind it, for headless runs and tests: every call
// succeeds and is counted, nothing is drawn.
#pragma once

#include "platform/Window.h"

namespace platform {

class NullWindow : public Window {
public:
    explicit NullWindow(const WindowConfig& config);

    void SetCaption(const std::string& caption) override;
    bool BeginFrame() override;
    void Clear(std::uint32_t argb) override;
    void Present() override;
    void BindPicture() override {}
    void SetMouseCaptured(bool captured) override { mouseCaptured_ = captured; }

    int PictureWidth() const override { return config_.width; }
    int PictureHeight() const override { return config_.height; }

    const std::string& Caption() const { return caption_; }
    int CaptionChanges() const { return captionChanges_; }
    int FramesBegun() const { return framesBegun_; }
    int FramesPresented() const { return framesPresented_; }
    std::uint32_t LastClearColor() const { return lastClearColor_; }
    bool MouseCaptured() const { return mouseCaptured_; }

private:
    WindowConfig config_;
    std::string caption_;
    int captionChanges_ = 0;
    int framesBegun_ = 0;
    int framesPresented_ = 0;
    std::uint32_t lastClearColor_ = 0;
    bool mouseCaptured_ = false;
};

} // namespace platform
