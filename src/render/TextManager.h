// All text of the game. Anyone queues text for this frame with a font key,
// a pixel position and a colour; the frame draws the queue once, in order,
// after the GUI windows, so text lies on top of them. The manager also keeps
// the named TextBoxes and queues their lines every frame.
#pragma once

#include "core/Singleton.h"
#include "platform/RenderDevice.h"
#include "render/TextBox.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The colour most text is drawn in.
inline constexpr ColorValue kDefaultTextColor{0.21f, 0.45f, 0.78f, 1.0f};

struct TextDrawRequest {
    std::string text;
    int x = 0;
    int y = 0;
    std::string fontKey;
    ColorValue color;
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
    // The boxes' updates, then the queue in order (unknown keys skipped),
    // then the queue is emptied. Nothing is drawn without a device.
    void Render();

    // The new box, registered under name. When a box of that name exists it
    // keeps the name and its lines; the new one is returned (the caller's
    // lines go to it) and kept aside, never drawn.
    TextBox* CreateTextBox(const std::string& name, const std::string& fontKey, const ColorValue& color, int maxLines,
                           int x, int y, bool newestFirst, bool fade, int lineStep);
    TextBox* GetTextBox(const std::string& name);
    // An absent name does nothing.
    void DeleteTextBox(const std::string& name);

    const std::deque<TextDrawRequest>& GetQueue() const { return requests_; }
    // Forgets the device, fonts, boxes and queue (the device is going).
    void Shutdown();

private:
    TextManager() = default;

    platform::RenderDevice* device_ = nullptr;
    std::map<std::string, std::unique_ptr<TextBox>> boxes_;
    std::vector<std::unique_ptr<TextBox>> orphans_;
    std::map<std::string, std::unique_ptr<platform::Font>> fonts_;
    std::deque<TextDrawRequest> requests_;
};
