// TextManager: fonts, the queue, and the boxes by name.
#include "render/TextManager.h"

void TextManager::Init(platform::RenderDevice* device)
{
    if (device != device_) {
        fonts_.clear();
        device_ = device;
    }
    AddFont("Default", "Arial", 0, 0, true, false);
    AddFont("ButtonDefault", "Arial", 15, 8, true, false);
    AddFont("GameOverFont", "Arial", 32, 14, true, false);
}

bool TextManager::AddFont(const std::string& key, const char* face, int height, int width, bool bold, bool italic)
{
    if (!device_) {
        return false;
    }
    if (fonts_.contains(key)) {
        return true;
    }
    std::unique_ptr<platform::Font> font = device_->CreateFont({height, width, bold, italic, face});
    if (!font) {
        return false;
    }
    fonts_.emplace(key, std::move(font));
    return true;
}

void TextManager::DrawText(const std::string& text, int x, int y, const std::string& fontKey, const ColorValue& color)
{
    requests_.push_back({text, x, y, fontKey, color});
}

void TextManager::Render()
{
    for (auto& [name, box] : boxes_) {
        box->Update(*this);
    }
    if (device_) {
        device_->BeginSprites();
        for (const TextDrawRequest& request : requests_) {
            const auto font = fonts_.find(request.fontKey);
            if (font != fonts_.end()) {
                device_->DrawText(*font->second, request.text, request.x, request.y, PackColor(request.color));
            }
        }
        device_->EndSprites();
    }
    requests_.clear();
}

TextBox* TextManager::CreateTextBox(const std::string& name, const std::string& fontKey, const ColorValue& color,
                                    int maxLines, int x, int y, bool newestFirst, bool fade, int lineStep)
{
    auto box = std::make_unique<TextBox>(fontKey, color, maxLines, x, y, newestFirst, fade, lineStep);
    TextBox* const made = box.get();
    if (boxes_.contains(name)) {
        orphans_.push_back(std::move(box));
    } else {
        boxes_.emplace(name, std::move(box));
    }
    return made;
}

TextBox* TextManager::GetTextBox(const std::string& name)
{
    const auto found = boxes_.find(name);
    return found != boxes_.end() ? found->second.get() : nullptr;
}

void TextManager::DeleteTextBox(const std::string& name)
{
    boxes_.erase(name);
}

void TextManager::Shutdown()
{
    fonts_.clear();
    boxes_.clear();
    orphans_.clear();
    requests_.clear();
    device_ = nullptr;
}
