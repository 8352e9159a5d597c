#include "RenderTestWindow.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace testing {

GlTestScreen OpenGlTestScreen(int width, int height)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    GlTestScreen screen;
    platform::WindowConfig config;
    config.width = width;
    config.height = height;
    config.windowed = true;
    screen.window = platform::SdlWindow::Open(config);
    if (!screen.window) {
        return {};
    }
    std::string why;
    screen.device = platform::GlRenderDevice::Create(*screen.window, &why);
    if (!screen.device) {
        std::fprintf(stderr, "no GL device: %s\n", why.c_str());
        return {};
    }
    return screen;
}

std::uint32_t PixelAt(const platform::RgbImage& image, int x, int y)
{
    const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
    return (static_cast<std::uint32_t>(image.rgb[at]) << 16) | (static_cast<std::uint32_t>(image.rgb[at + 1]) << 8) |
           image.rgb[at + 2];
}

} // namespace testing
