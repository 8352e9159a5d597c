// All text of the game. Anyone queues text for this frame with a font key,
// a pixel position and a colour; the frame draws the queue once, in order,
// after the GUI windows, so text lies on top of them. The manager also keeps
// the named TextBoxes and queues their lines every frame. Text laid over the
// battle (the chat console, the chat line) is drawn outlined, with a dark rim
// round every glyph, so it reads on snow as well as on dark ground.
#pragma once

#include "core/Singleton.h"
#include "platform/RenderDevice.h"
#include "render/TextBox.h"

#include <deque>
#include <map>
#include <memory>
#include <string>

// The colour most text is drawn in.
inline constexpr ColorValue kDefaultTextColor{0.21f, 0.45f, 0.78f, 1.0f};

struct TextDrawRequest {
    std::string text;
    int x = 0;
    int y = 0;
    std::string fontKey;
    ColorValue color;
    bool outlined = false;
};

class TextManager : public Singleton<TextManager> {
    friend class Singleton<TextManager>;

public:
    // Keeps the device and makes the three fonts ("Default", "ButtonDefault",
    // "GameOverFont"). Running it again (after every match) makes nothing twice.
    void Init(platform::RenderDevice* device);
    // False without a device or when the font cannot be made. A key already
    // there keeps its font (and gives true).
    bool AddFont(const std::string& key, const char* face, int height, int width, bool bold, bool italic);

    // Queued for this frame's Render.
    void DrawText(const std::string& text, int x, int y, const std::string& fontKey, const ColorValue& color);
    // The same with the dark rim under the glyphs.
    void DrawOutlinedText(const std::string& text, int x, int y, const std::string& fontKey, const ColorValue& color);

    // The width in pixels of text's widest line in that font; 0 for an
    // unknown key.
    int MeasureText(const std::string& text, const std::string& fontKey) const;
    int LineHeight(const std::string& fontKey) const;
    // text cut to maxWidth pixels of that font as Canvas2D::FitText cuts it,
    // for lines put into the text boxes, which draw them later.
    std::string FitText(const std::string& text, const std::string& fontKey, int maxWidth) const;

    // The boxes' updates, then the queue in order (unknown keys skipped),
    // then the queue is emptied. Nothing is drawn without a device.
    void Render();

    // The new box, registered under name. When a box of that name exists it
    // keeps the name and its lines; the new one is returned (the caller's
    // lines go to it) and kept aside, never drawn, until the next box asked
    // for under that name or the name's deletion takes its place.
    TextBox* CreateTextBox(const std::string& name, const std::string& fontKey, const ColorValue& color, int maxLines,
                           int x, int y, bool newestFirst, bool fade, int lineStep);
    TextBox* GetTextBox(const std::string& name);
    // An absent name does nothing.
    void DeleteTextBox(const std::string& name);
    // Every box held, the registered ones and those kept aside.
    std::size_t BoxCount() const { return boxes_.size() + setAside_.size(); }

    const std::deque<TextDrawRequest>& GetQueue() const { return requests_; }
    // Forgets the device, fonts, boxes and queue (the device is going).
    void Shutdown();

private:
    // A font key's font, and its outlined form made the first time it is
    // asked for.
    struct FontEntry {
        std::string face;
        platform::FontDesc desc;
        std::unique_ptr<platform::Font> plain;
        std::unique_ptr<platform::Font> outlined;
    };

    TextManager() = default;

    platform::Font* OutlinedFont(FontEntry& entry);

    platform::RenderDevice* device_ = nullptr;
    std::map<std::string, std::unique_ptr<TextBox>> boxes_;
    // The newest box asked for under a name already taken, one per name.
    std::map<std::string, std::unique_ptr<TextBox>> setAside_;
    std::map<std::string, FontEntry> fonts_;
    std::deque<TextDrawRequest> requests_;
};
