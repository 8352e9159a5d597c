// The flat drawing the menus, widgets and cursor need: textured quads,
// rectangles and lines in screen pixels (origin top left, y down) in one
// colour, and text queued for the frame's text pass. The Renderer's canvas
// (RendererCanvas) draws for real; the GUI tests record the calls instead,
// so everything above it is checked without a window.
#pragma once

#include "platform/math/Color.h"
#include "platform/math/Vector.h"

#include <cstdint>
#include <string>

namespace platform {
class Texture;
} // namespace platform

class Canvas2D {
public:
    virtual ~Canvas2D() = default;

    // The texture stretched whole over the rectangle, modulated by color
    // (0xAARRGGBB). Callers pass a texture: a null one would draw a plain box.
    virtual void DrawTexturedRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color,
                                  platform::Texture* texture) = 0;
    virtual void DrawRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color, bool filled) = 0;
    virtual void DrawLine(const Vec2& a, const Vec2& b, std::uint32_t color) = 0;
    // Queued, drawn after every window; the text is shown as it is, never
    // read as a format.
    virtual void DrawText(const std::string& text, int x, int y, const std::string& fontKey,
                          const ColorValue& color) = 0;
    // The same with a dark rim round the glyphs, for text over the battle.
    virtual void DrawOutlinedText(const std::string& text, int x, int y, const std::string& fontKey,
                                  const ColorValue& color) = 0;
    // Pixels across the widest line of text in that font (0 for an unknown key).
    virtual int MeasureText(const std::string& text, const std::string& fontKey) const = 0;
    // Pixels from one line of that font to the next (0 for an unknown key).
    virtual int LineHeight(const std::string& fontKey) const = 0;

    // text as it is when it fits maxWidth pixels; otherwise as much of its
    // start as fits followed by "..." (nothing at all when not even the dots
    // fit). Text in an unknown font measures nothing and stays whole.
    std::string FitText(const std::string& text, const std::string& fontKey, int maxWidth) const;
};
