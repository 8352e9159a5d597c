// The game window. Everything is drawn into a picture of the settings' size
// (1024x768): between BeginFrame and Present drawing goes into an offscreen
// target of that size, and Present scales the picture into the window with
// its aspect kept (black bars where the shapes differ) and shows it. So the
// game lays out and draws for one fixed screen whatever the display is.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

struct WindowConfig {
    // Size of the picture the game draws.
    int width = 1024;
    int height = 768;
    // A window of the picture's size instead of the whole desktop.
    bool windowed = false;
    // Window size when it should differ from the picture (0: the picture's).
    int windowWidth = 0;
    int windowHeight = 0;
    // Frames between buffer swaps; 0 presents at once.
    int swapInterval = 0;
    std::string title = "Kostrivane";
};

// A rectangle in pixels, origin at the bottom left as the GL has it.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// The largest rectangle with the picture's aspect that fits the window,
// centred; an empty rectangle when either size is empty.
PixelRect FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

// Whether the rectangle covers the whole window, leaving no bars to paint.
bool FillsWindow(const PixelRect& rect, int windowWidth, int windowHeight);

class Window {
public:
    virtual ~Window() = default;

    virtual void SetCaption(const std::string& caption) = 0;
    // Makes the picture the drawing target, with a viewport over all of it.
    // False when there is nothing to draw into; skip the frame then.
    virtual bool BeginFrame() = 0;
    // Clears the picture's colour (0xAARRGGBB), depth to 1 and stencil to 0.
    virtual void Clear(std::uint32_t argb) = 0;
    // Scales the picture into the window and shows it.
    virtual void Present() = 0;
    // Drawing code that renders into targets of its own comes back here.
    virtual void BindPicture() = 0;
    // Relative mouse mode: the pointer is held in the window and motion keeps
    // arriving at the screen edges.
    virtual void SetMouseCaptured(bool captured) = 0;

    virtual int PictureWidth() const = 0;
    virtual int PictureHeight() const = 0;
};

} // namespace platform
