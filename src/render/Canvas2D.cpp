// Canvas2D: cutting text to a width by what the font measures.
#include "render/Canvas2D.h"

std::string Canvas2D::FitText(const std::string& text, const std::string& fontKey, int maxWidth) const
{
    if (MeasureText(text, fontKey) <= maxWidth) {
        return text;
    }
    static const std::string kEllipsis = "...";
    // Widths only grow with length: the longest start that fits is found by halving.
    std::size_t fits = 0;
    std::size_t tooLong = text.size();
    while (tooLong - fits > 1) {
        const std::size_t middle = (fits + tooLong) / 2;
        if (MeasureText(text.substr(0, middle) + kEllipsis, fontKey) <= maxWidth) {
            fits = middle;
        } else {
            tooLong = middle;
        }
    }
    if (fits == 0 && MeasureText(kEllipsis, fontKey) > maxWidth) {
        return {};
    }
    // No space left hanging before the dots.
    std::string start = text.substr(0, fits);
    while (!start.empty() && start.back() == ' ') {
        start.pop_back();
    }
    return start + kEllipsis;
}
