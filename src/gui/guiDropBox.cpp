// guiDropBox: nothing to handle, nothing to draw.
#include "gui/guiDropBox.h"

guiDropBox::guiDropBox(guiWindow* owner, guiCallback callback, float x, float y, float width, float height)
    : guiObject(owner, kGuiDropBox, callback, x, y, width, height)
{
}

std::uint32_t guiDropBox::HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled)
{
    (void)message;
    (void)a;
    (void)b;
    (void)handled;
    return 0;
}

void guiDropBox::Render(float windowX, float windowY, float windowWidth, float windowHeight, std::uint32_t color)
{
    (void)windowX;
    (void)windowY;
    (void)windowWidth;
    (void)windowHeight;
    (void)color;
}
