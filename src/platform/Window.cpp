// Picture fitting shared by the window backends.
#include "platform/Window.h"

#include <cstdint>

namespace platform {

PixelRect FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) {
        return {};
    }
    // Compare the aspects in integers: W * ph against H * pw.
    const std::int64_t byWidth = static_cast<std::int64_t>(windowWidth) * pictureHeight;
    const std::int64_t byHeight = static_cast<std::int64_t>(windowHeight) * pictureWidth;
    PixelRect rect;
    if (byWidth <= byHeight) {
        // Full width, bars above and below.
        rect.width = windowWidth;
        rect.height = static_cast<int>(byWidth / pictureWidth);
    } else {
        // Full height, bars left and right.
        rect.height = windowHeight;
        rect.width = static_cast<int>(byHeight / pictureHeight);
    }
    rect.x = (windowWidth - rect.width) / 2;
    rect.y = (windowHeight - rect.height) / 2;
    return rect;
}

bool FillsWindow(const PixelRect& rect, int windowWidth, int windowHeight)
{
    return rect.x <= 0 && rect.y <= 0 && rect.x + rect.width >= windowWidth && rect.y + rect.height >= windowHeight;
}

} // namespace platform
