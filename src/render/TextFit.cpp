// TextFit: a halving search for the longest start that fits.
#include "render/TextFit.h"

#include <cstddef>

std::string FitTextToWidth(const std::string& text, int maxWidth, const TextMeasure& measure)
{
    if (measure(text) <= maxWidth) {
        return text;
    }
    static const std::string kEllipsis = "...";
    // Widths only grow with length: the longest start that fits is found by halving.
    std::size_t fits = 0;
    std::size_t tooLong = text.size();
    while (tooLong - fits > 1) {
        const std::size_t middle = (fits + tooLong) / 2;
        if (measure(text.substr(0, middle) + kEllipsis) <= maxWidth) {
            fits = middle;
        } else {
            tooLong = middle;
        }
    }
    if (fits == 0 && measure(kEllipsis) > maxWidth) {
        return {};
    }
    // No space left hanging before the dots.
    std::string start = text.substr(0, fits);
    while (!start.empty() && start.back() == ' ') {
        start.pop_back();
    }
    return start + kEllipsis;
}
