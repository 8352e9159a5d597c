// Canvas2D: cutting text to a width by what the font measures.
#include "render/Canvas2D.h"

#include "render/TextFit.h"

std::string Canvas2D::FitText(const std::string& text, const std::string& fontKey, int maxWidth) const
{
    return FitTextToWidth(text, maxWidth, [&](const std::string& part) { return MeasureText(part, fontKey); });
}
