// An offscreen window with the GL drawing device over it, for the tests
// that read back pixels.
#pragma once

#include "platform/GlRenderDevice.h"
#include "platform/SdlWindow.h"

#include <cstdint>
#include <memory>

namespace testing {

struct GlTestScreen {
    std::unique_ptr<platform::SdlWindow> window;
    std::unique_ptr<platform::GlRenderDevice> device;
};

// A picture of width x height; both members null when no GL can be had.
GlTestScreen OpenGlTestScreen(int width, int height);

// Pixel (x, y) of a picture read back, y from the top, as 0xRRGGBB.
std::uint32_t PixelAt(const platform::RgbImage& image, int x, int y);

} // namespace testing
