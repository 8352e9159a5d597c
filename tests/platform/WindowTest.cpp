#include "platform/SdlWindow.h"
#include "platform/Window.h"

#include <SDL.h>
#include <doctest/doctest.h>
#include <epoxy/gl.h>

#include <cstdlib>

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kGreen = 0xFF00FF00u;
constexpr std::uint32_t kBlack = 0xFF000000u;

// A pixel of the window's back buffer as 0xAARRGGBB (origin bottom left).
std::uint32_t WindowPixel(int x, int y)
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    GLubyte rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return 0xFF000000u | (static_cast<std::uint32_t>(rgba[0]) << 16) | (static_cast<std::uint32_t>(rgba[1]) << 8) |
           rgba[2];
}

std::unique_ptr<platform::SdlWindow> OpenTestWindow(int windowWidth, int windowHeight)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0); // tests never need a real display
    platform::WindowConfig config;
    config.windowed = true;
    config.windowWidth = windowWidth;
    config.windowHeight = windowHeight;
    return platform::SdlWindow::Open(config);
}

} // namespace

TEST_CASE("the picture fits the window with its aspect kept, and the SDL window scales it inside black bars")
{
    using platform::FitPicture;
    using platform::PixelRect;
    CHECK(FitPicture(1024, 768, 1920, 1080) == PixelRect{240, 0, 1440, 1080}); // bars left and right
    CHECK(FitPicture(1024, 768, 800, 800) == PixelRect{0, 100, 800, 600});     // bars above and below
    CHECK(FitPicture(0, 768, 800, 600) == PixelRect{});
    // An odd remainder never makes the picture overflow.
    const PixelRect rect = FitPicture(1024, 768, 1001, 777);
    CHECK(rect.x >= 0);
    CHECK(rect.y >= 0);
    CHECK(rect.x + rect.width <= 1001);
    CHECK(rect.y + rect.height <= 777);
    // Only a picture reaching every edge spares the bars' clear.
    CHECK(platform::FillsWindow(FitPicture(1024, 768, 2048, 1536), 2048, 1536));
    CHECK_FALSE(platform::FillsWindow(rect, 1001, 777));
    CHECK_FALSE(platform::FillsWindow(FitPicture(1024, 768, 1920, 1080), 1920, 1080));

    // The SDL window opens with a GL context and scales its 1024x768 picture inside black bars.
    std::unique_ptr<platform::SdlWindow> window = OpenTestWindow(0, 0);
    REQUIRE(window);
    int width = 0;
    int height = 0;
    window->GetDrawableSize(width, height); // no size asked: the picture's own
    CHECK(width == 1024);
    CHECK(height == 768);
    // The picture fills such a window: no bars are cleared, so the blit alone
    // must reach every corner, whatever scissor the drawing code left on.
    REQUIRE(window->BeginFrame());
    window->Clear(kGreen);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 16, 16);
    window->ComposeToWindow();
    CHECK(WindowPixel(0, 0) == kGreen);
    CHECK(WindowPixel(1023, 767) == kGreen);
    glDisable(GL_SCISSOR_TEST);
    window->SwapBuffers();
    window.reset();

    window = OpenTestWindow(800, 800);
    REQUIRE(window);
    CHECK(SDL_GL_GetCurrentContext() != nullptr);
    CHECK(SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE);
    REQUIRE(window->HasPictureTarget());
    REQUIRE(window->BeginFrame());
    window->Clear(kRed);
    // The picture's bottom-left quarter in green, with the drawing code's
    // own scissor left on across the present.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 512, 384);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    window->ComposeToWindow();

    // The 1024x768 picture becomes 800x600 at y 100.
    const struct {
        int x, y;
        std::uint32_t color;
    } kPixels[] = {{600, 98, kBlack}, {600, 102, kRed}, {100, 200, kGreen}, {700, 600, kRed}};
    for (const auto& pixel : kPixels) {
        CAPTURE(pixel.x);
        CAPTURE(pixel.y);
        CHECK(WindowPixel(pixel.x, pixel.y) == pixel.color);
    }
    window->SwapBuffers();
    CHECK(glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE);
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    CHECK(bound != 0);

    // A clear covers the whole picture whatever scissor and masks are set.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    window->Clear(kRed);
    window->ComposeToWindow();
    CHECK(WindowPixel(100, 200) == kRed);
    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    CHECK(mask[0] == GL_FALSE);
    window->SwapBuffers();
    window->Present();
}
