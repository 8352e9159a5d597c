// RendererCanvas: the 2-D calls forwarded, and the shared pictures.
#include "render/RendererCanvas.h"

#include "core/ErrorLog.h"
#include "render/Renderer.h"
#include "render/TextManager.h"

#include <algorithm>
#include <cctype>

namespace {

std::string LowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

void RendererCanvas::DrawTexturedRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color,
                                      platform::Texture* texture)
{
    Renderer::Instance()->DrawTexturedRect(topLeft, bottomRight, color, texture);
}

void RendererCanvas::DrawRect(const Vec2& topLeft, const Vec2& bottomRight, std::uint32_t color, bool filled)
{
    Renderer::Instance()->DrawRect(topLeft, bottomRight, color, filled);
}

void RendererCanvas::DrawLine(const Vec2& a, const Vec2& b, std::uint32_t color)
{
    Renderer::Instance()->DrawLine(a, b, color);
}

void RendererCanvas::DrawText(const std::string& text, int x, int y, const std::string& fontKey,
                              const ColorValue& color)
{
    TextManager::Instance()->DrawText(text, x, y, fontKey, color);
}

void RendererCanvas::DrawOutlinedText(const std::string& text, int x, int y, const std::string& fontKey,
                                      const ColorValue& color)
{
    TextManager::Instance()->DrawOutlinedText(text, x, y, fontKey, color);
}

int RendererCanvas::MeasureText(const std::string& text, const std::string& fontKey) const
{
    return TextManager::Instance()->MeasureText(text, fontKey);
}

int RendererCanvas::LineHeight(const std::string& fontKey) const
{
    return TextManager::Instance()->LineHeight(fontKey);
}

TextureHandle RendererCanvas::LoadTexture(const std::string& path)
{
    platform::RenderDevice* device = Renderer::Instance()->GetDevice();
    if (!device) {
        return nullptr;
    }
    const std::string key = LowerCase(path);
    if (TextureHandle shared = loaded_[key].lock()) {
        return shared;
    }
    std::string why;
    TextureHandle texture(device->CreateTextureFromFile(path, &why));
    if (!texture) {
        // A screen rebuilt every visit would otherwise write the same entry each time.
        if (!reported_[key]) {
            reported_[key] = true;
            ErrorLog("Renderer.txt", true).Warning("Could not load the picture " + path + ": " + why);
        }
        return nullptr;
    }
    loaded_[key] = texture;
    return texture;
}
