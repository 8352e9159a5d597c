// TextBox: adding lines, and the per-frame fade and expiry.
#include "render/TextBox.h"

#include "core/Stopwatch.h"
#include "render/TextManager.h"

#include <utility>

TextBox::TextBox(std::string fontKey, const ColorValue& color, int maxLines, int x, int y, bool newestFirst, bool fade,
                 int lineStep)
    : fontKey_(std::move(fontKey)), color_(color), fade_(fade), maxLines_(maxLines), x_(x), y_(y),
      newestFirst_(newestFirst), lineStep_(lineStep)
{
}

void TextBox::AddLine(const std::string& text)
{
    Line line{text, 0};
    TimerStart(line.stamp);
    const bool limited = maxLines_ > 0;
    if (newestFirst_) {
        lines_.push_front(std::move(line));
        if (limited && lines_.size() > static_cast<std::size_t>(maxLines_)) {
            lines_.pop_back();
        }
        return;
    }
    lines_.push_back(std::move(line));
    if (limited && lines_.size() > static_cast<std::size_t>(maxLines_)) {
        lines_.pop_front();
    }
}

std::vector<std::string> TextBox::GetLines() const
{
    std::vector<std::string> texts;
    texts.reserve(lines_.size());
    for (const Line& line : lines_) {
        texts.push_back(line.text);
    }
    return texts;
}

void TextBox::Update(TextManager& text)
{
    if (!visible_) {
        return;
    }
    int y = y_;
    for (const Line& line : lines_) {
        float alpha = opacity_;
        if (fade_) {
            const double age = TimerElapsed(line.stamp);
            const double f = (kExpireSeconds - age) / (kExpireSeconds - kFadeStartSeconds);
            if (f <= 1.0) {
                alpha *= static_cast<float>(f);
            }
        }
        text.DrawOutlinedText(line.text, x_, y, fontKey_, {color_.r, color_.g, color_.b, alpha * color_.a});
        y += lineStep_;
    }
    if (!fade_ || lines_.empty()) {
        return;
    }
    const Line& oldest = newestFirst_ ? lines_.back() : lines_.front();
    if (TimerElapsed(oldest.stamp) > kExpireSeconds) {
        if (newestFirst_) {
            lines_.pop_back();
        } else {
            lines_.pop_front();
        }
    }
}
