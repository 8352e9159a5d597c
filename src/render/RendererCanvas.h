// The Renderer's side of the 2-D layer: quads, rectangles and lines through
// the Renderer, text through the TextManager's queue, and pictures loaded on
// the Renderer's device. Pictures are shared by lower-cased path while anyone
// holds them, so the dozens of buttons with the same three faces load them
// once, and the last holder to let go frees the texture.
#pragma once

#include "render/Canvas2D.h"
#include "render/TextureLoader.h"

#include <map>
#include <memory>
#include <string>

class RendererCanvas : public Canvas2D, public TextureLoader {
public:
    void DrawTexturedRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color,
                          platform::Texture* texture) override;
    void DrawRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color, bool filled) override;
    void DrawLine(const Vec2& a, const Vec2& b, std::uint32_t color) override;
    void DrawText(const std::string& text, int x, int y, const std::string& fontKey, const ColorValue& color) override;
    void DrawOutlinedText(const std::string& text, int x, int y, const std::string& fontKey,
                          const ColorValue& color) override;
    int MeasureText(const std::string& text, const std::string& fontKey) const override;
    int LineHeight(const std::string& fontKey) const override;

    // Null without a device or when the file does not load; the reason of a
    // failed load is logged once per path.
    TextureHandle LoadTexture(const std::string& path) override;

private:
    std::map<std::string, std::weak_ptr<platform::Texture>> loaded_;
    std::map<std::string, bool> reported_;
};
