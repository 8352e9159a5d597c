// Text masks through FreeType and their styled drawing (see Lettering.h).
#include "Lettering.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace datagen {

namespace {

// Room round the ink for the widest outline and shadow any style uses.
constexpr int kMaskPad = 12;

// Each pixel takes the strongest coverage within radius of it, weighted down
// towards the rim so the grown outline stays smooth.
std::vector<float> Dilate(const TextMask& mask, float radius)
{
    struct Tap {
        int dx;
        int dy;
        float weight;
    };
    std::vector<Tap> taps;
    const int reach = static_cast<int>(std::ceil(radius));
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const float d = std::hypot(static_cast<float>(dx), static_cast<float>(dy));
            const float weight = std::clamp(radius + 0.5f - d, 0.0f, 1.0f);
            if (weight > 0.0f) {
                taps.push_back({dx, dy, weight});
            }
        }
    }
    std::vector<float> out(mask.coverage.size(), 0.0f);
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            const float own = mask.coverage[static_cast<std::size_t>(y) * mask.width + x];
            if (own <= 0.0f) {
                continue;
            }
            // Spread outwards from inked pixels only: most of a mask is clear.
            for (const Tap& tap : taps) {
                const int tx = x + tap.dx;
                const int ty = y + tap.dy;
                if (tx < 0 || ty < 0 || tx >= mask.width || ty >= mask.height) {
                    continue;
                }
                float& cell = out[static_cast<std::size_t>(ty) * mask.width + tx];
                cell = std::max(cell, own * tap.weight);
            }
        }
    }
    return out;
}

// Two passes of a box blur along each axis: close enough to a Gaussian for a
// shadow.
std::vector<float> Blur(std::vector<float> values, int width, int height, int radius)
{
    if (radius <= 0) {
        return values;
    }
    std::vector<float> scratch(values.size(), 0.0f);
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                float sum = 0.0f;
                for (int d = -radius; d <= radius; ++d) {
                    const int sx = std::clamp(x + d, 0, width - 1);
                    sum += values[static_cast<std::size_t>(y) * width + sx];
                }
                scratch[static_cast<std::size_t>(y) * width + x] = sum * scale;
            }
        }
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                float sum = 0.0f;
                for (int d = -radius; d <= radius; ++d) {
                    const int sy = std::clamp(y + d, 0, height - 1);
                    sum += scratch[static_cast<std::size_t>(sy) * width + x];
                }
                values[static_cast<std::size_t>(y) * width + x] = sum * scale;
            }
        }
    }
    return values;
}

void LayMask(RgbaCanvas& canvas, const std::vector<float>& coverage, int width, int height, int left, int top,
             const Rgba& colour)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            canvas.Over(left + x, top + y, colour, coverage[static_cast<std::size_t>(y) * width + x]);
        }
    }
}

} // namespace

std::unique_ptr<Lettering> Lettering::Open(const char* fontPath)
{
    std::unique_ptr<Lettering> lettering(new Lettering());
    if (FT_Init_FreeType(&lettering->library_) != 0) {
        std::fprintf(stderr, "kvdatagen: FreeType does not start\n");
        return nullptr;
    }
    if (FT_New_Face(lettering->library_, fontPath, 0, &lettering->face_) != 0) {
        std::fprintf(stderr, "kvdatagen: cannot load font %s\n", fontPath);
        return nullptr;
    }
    return lettering;
}

Lettering::~Lettering()
{
    if (face_ != nullptr) {
        FT_Done_Face(face_);
    }
    if (library_ != nullptr) {
        FT_Done_FreeType(library_);
    }
}

int Lettering::MeasureWidth(const std::string& text, int pixelSize, int letterSpacing) const
{
    FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelSize));
    int width = 0;
    for (const char c : text) {
        if (FT_Load_Char(face_, static_cast<unsigned char>(c), FT_LOAD_DEFAULT) == 0) {
            width += static_cast<int>(face_->glyph->advance.x >> 6) + letterSpacing;
        }
    }
    return std::max(width - letterSpacing, 0);
}

int Lettering::FittingSize(const std::string& text, int pixelSize, int letterSpacing, int maxWidth) const
{
    int size = pixelSize;
    while (size > 6 && MeasureWidth(text, size, letterSpacing) > maxWidth) {
        --size;
    }
    return size;
}

TextMask Lettering::Render(const std::string& text, int pixelSize, int letterSpacing) const
{
    FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelSize));
    const int ascender = static_cast<int>(face_->size->metrics.ascender >> 6);
    const int descender = static_cast<int>(-face_->size->metrics.descender >> 6);
    TextMask mask;
    mask.width = MeasureWidth(text, pixelSize, letterSpacing) + 2 * kMaskPad + pixelSize / 4;
    mask.height = ascender + descender + 2 * kMaskPad;
    mask.baseline = kMaskPad + ascender;
    mask.coverage.assign(static_cast<std::size_t>(mask.width) * mask.height, 0.0f);
    if (FT_Load_Char(face_, 'H', FT_LOAD_RENDER) == 0) {
        mask.capHeight = face_->glyph->bitmap_top;
    }
    int penX = kMaskPad;
    for (const char c : text) {
        if (FT_Load_Char(face_, static_cast<unsigned char>(c), FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot glyph = face_->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const int x = penX + glyph->bitmap_left + static_cast<int>(column);
                const int y = mask.baseline - glyph->bitmap_top + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) {
                    continue;
                }
                float& cell = mask.coverage[static_cast<std::size_t>(y) * mask.width + x];
                cell = std::max(cell, bitmap.buffer[row * bitmap.pitch + column] / 255.0f);
            }
        }
        penX += static_cast<int>(glyph->advance.x >> 6) + letterSpacing;
    }
    mask.inkLeft = mask.width;
    mask.inkRight = 0;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (mask.At(x, y) > 0.0f) {
                mask.inkLeft = std::min(mask.inkLeft, x);
                mask.inkRight = std::max(mask.inkRight, x);
            }
        }
    }
    return mask;
}

void DrawLettering(RgbaCanvas& canvas, const TextMask& mask, float centreX, float baselineY, const LetterStyle& style,
                   bool centred)
{
    const float inkX = centred ? 0.5f * static_cast<float>(mask.inkLeft + mask.inkRight + 1) : mask.inkLeft;
    const int left = static_cast<int>(std::lround(centreX - inkX));
    const int top = static_cast<int>(std::lround(baselineY)) - mask.baseline;
    const std::vector<float> grown = style.outlineWidth > 0.0f ? Dilate(mask, style.outlineWidth) : mask.coverage;
    if (style.shadow.a > 0.0f) {
        const int offset = static_cast<int>(std::lround(style.shadowOffset));
        LayMask(canvas, Blur(grown, mask.width, mask.height, style.shadowBlur), mask.width, mask.height, left + offset,
                top + offset, style.shadow);
    }
    if (style.outlineWidth > 0.0f) {
        LayMask(canvas, grown, mask.width, mask.height, left, top, style.outline);
    }
    // The fill runs from the capitals' top to the baseline and holds below.
    const float capTop = static_cast<float>(mask.baseline - mask.capHeight);
    const float span = std::max(static_cast<float>(mask.capHeight), 1.0f);
    for (int y = 0; y < mask.height; ++y) {
        const float t = std::clamp((y - capTop) / span, 0.0f, 1.0f);
        const Rgba colour = Opaque(MixRgb(style.fillTop, style.fillBottom, t));
        for (int x = 0; x < mask.width; ++x) {
            canvas.Over(left + x, top + y, colour, mask.At(x, y));
        }
    }
}

} // namespace datagen
