// TextManager: fonts, the queue, and the boxes by name.
#include "render/TextManager.h"

#include "render/TextFit.h"

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
    FontEntry entry;
    entry.face = face ? face : "";
    entry.desc = {height, width, bold, italic, nullptr, false};
    entry.desc.face = entry.face.c_str();
    entry.plain = device_->CreateFont(entry.desc);
    if (!entry.plain) {
        return false;
    }
    // The map's node keeps the face's text where the description points.
    FontEntry& kept = fonts_.emplace(key, std::move(entry)).first->second;
    kept.desc.face = kept.face.c_str();
    return true;
}

platform::Font* TextManager::OutlinedFont(FontEntry& entry)
{
    if (!entry.outlined && device_) {
        platform::FontDesc desc = entry.desc;
        desc.outlined = true;
        entry.outlined = device_->CreateFont(desc);
    }
    // Should the outlined form fail, the text is still drawn.
    return entry.outlined ? entry.outlined.get() : entry.plain.get();
}

void TextManager::DrawText(const std::string& text, int x, int y, const std::string& fontKey, const ColorValue& color)
{
    requests_.push_back({text, x, y, fontKey, color, false});
}

void TextManager::DrawOutlinedText(const std::string& text, int x, int y, const std::string& fontKey,
                                   const ColorValue& color)
{
    requests_.push_back({text, x, y, fontKey, color, true});
}

int TextManager::MeasureText(const std::string& text, const std::string& fontKey) const
{
    const auto found = fonts_.find(fontKey);
    return found != fonts_.end() ? found->second.plain->TextWidth(text) : 0;
}

std::string TextManager::FitText(const std::string& text, const std::string& fontKey, int maxWidth) const
{
    return FitTextToWidth(text, maxWidth, [&](const std::string& part) { return MeasureText(part, fontKey); });
}

int TextManager::LineHeight(const std::string& fontKey) const
{
    const auto found = fonts_.find(fontKey);
    return found != fonts_.end() ? found->second.plain->LineHeight() : 0;
}

void TextManager::Render()
{
    for (auto& [name, box] : boxes_) {
        box->Update(*this);
    }
    if (device_) {
        device_->BeginSprites();
        for (const TextDrawRequest& request : requests_) {
            const auto found = fonts_.find(request.fontKey);
            if (found == fonts_.end()) {
                continue;
            }
            platform::Font* font = request.outlined ? OutlinedFont(found->second) : found->second.plain.get();
            device_->DrawText(*font, request.text, request.x, request.y, PackColor(request.color));
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
        setAside_[name] = std::move(box);
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
    setAside_.erase(name);
}

void TextManager::Shutdown()
{
    fonts_.clear();
    boxes_.clear();
    setAside_.clear();
    requests_.clear();
    device_ = nullptr;
}
