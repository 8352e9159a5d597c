// The headless window.
#include "platform/NullWindow.h"

namespace platform {

NullWindow::NullWindow(const WindowConfig& config) : config_(config), caption_(config.title) {}

void NullWindow::SetCaption(const std::string& caption)
{
    caption_ = caption;
    ++captionChanges_;
}

bool NullWindow::BeginFrame()
{
    ++framesBegun_;
    return true;
}

void NullWindow::Clear(std::uint32_t argb)
{
    lastClearColor_ = argb;
}

void NullWindow::Present()
{
    ++framesPresented_;
}

} // namespace platform
