// A short log of timed lines (the chat console, the lobby chat) that the
// TextManager draws every frame. With fading on, a line is fully opaque for
// 35 s, fades out over the next 10 s and is dropped after 45 s, at most one
// line per update. The lines are drawn outlined: the boxes lie over the
// battle and the menus' live background.
#pragma once

#include "platform/math/Color.h"

#include <cstdint>
#include <list>
#include <string>
#include <vector>

class TextManager;

class TextBox {
public:
    TextBox(std::string fontKey, const ColorValue& color, int maxLines, int x, int y, bool newestFirst, bool fade,
            int lineStep);

    // Stamped now. Over the maximum (when above 0) the oldest line goes.
    void AddLine(const std::string& text);
    void ClearLines() { lines_.clear(); }
    void SetVisible(bool visible) { visible_ = visible; }
    bool IsVisible() const { return visible_; }
    void SetOpacity(float opacity) { opacity_ = opacity; }
    float GetOpacity() const { return opacity_; }
    std::size_t LineCount() const { return lines_.size(); }
    // The lines' texts in drawing order.
    std::vector<std::string> GetLines() const;

    // Queues the lines with text, outlined, fading by age, then drops one expired
    // line. A hidden box queues and drops nothing, but its lines keep ageing.
    void Update(TextManager& text);

    static constexpr double kFadeStartSeconds = 35.0;
    static constexpr double kExpireSeconds = 45.0;

private:
    struct Line {
        std::string text;
        std::int64_t stamp = 0;
    };

    std::list<Line> lines_;
    std::string fontKey_;
    ColorValue color_;
    float opacity_ = 1.0f;
    bool fade_ = true;
    int maxLines_ = 0;
    int x_ = 0;
    int y_ = 0;
    bool newestFirst_ = true;
    int lineStep_ = 0;
    bool visible_ = true;
};
