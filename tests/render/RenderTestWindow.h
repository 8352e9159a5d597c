// What the render tests share: an offscreen window with the GL drawing device
// over it, for the tests that read back pixels; the renderer over a null
// device, for those that read its calls; and level ground for their maps.
#pragma once

#include "platform/GlRenderDevice.h"
#include "platform/NullRenderDevice.h"
#include "platform/SdlWindow.h"
#include "render/Renderer.h"

#include <cstdint>
#include <memory>

namespace testing {

struct GlTestScreen {
    std::unique_ptr<platform::SdlWindow> window;
    std::unique_ptr<platform::GlRenderDevice> device;
};

// A picture of width x height; both members null when no GL can be had.
GlTestScreen OpenGlTestScreen(int width, int height);

// The Renderer over a null device whose calls start empty, released at the
// end of the test.
struct NullRenderer {
    NullRenderer()
    {
        auto owned = std::make_unique<platform::NullRenderDevice>();
        device = owned.get();
        Renderer::Instance()->CreateDevice(std::move(owned));
        device->ClearCalls();
    }
    ~NullRenderer() { Renderer::Instance()->ReleaseDevice(); }
    NullRenderer(const NullRenderer&) = delete;
    NullRenderer& operator=(const NullRenderer&) = delete;

    platform::NullRenderDevice* device = nullptr;
};

// Ground at height 0 everywhere, for MakeHeightFieldMap.
inline float FlatGround(float, float)
{
    return 0.0f;
}

// Pixel (x, y) of a picture read back, y from the top, as 0xRRGGBB.
std::uint32_t PixelAt(const platform::RgbImage& image, int x, int y);

} // namespace testing
