// TextFit. The widest characters are DejaVu Sans Bold's "W", the face every
// font key is drawn with, at the sizes TextManager::Init gives the keys.
#include "render/TextFit.h"

#include <algorithm>

namespace {

struct FontWidth {
    std::string_view key;
    int widest = 0;
};

constexpr FontWidth kFontWidths[] = {
    {"Default", 15},
    {"ButtonDefault", 15},
    {"GameOverFont", 26},
};

} // namespace

int WidestCharacterPixels(std::string_view fontKey)
{
    int widestOfAll = 0;
    for (const FontWidth& font : kFontWidths) {
        if (font.key == fontKey) {
            return font.widest;
        }
        widestOfAll = std::max(widestOfAll, font.widest);
    }
    return widestOfAll;
}

std::size_t CharactersThatFit(int pixels, std::string_view fontKey)
{
    return pixels > 0 ? static_cast<std::size_t>(pixels / WidestCharacterPixels(fontKey)) : 0;
}

std::string FitTextToWidth(const std::string& text, int pixels, std::string_view fontKey)
{
    return text.substr(0, std::min(text.size(), CharactersThatFit(pixels, fontKey)));
}
