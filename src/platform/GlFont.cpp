// FreeType glyph atlas and text quads.
//
// A font is asked for by cell size: the height is the cell height in pixels
// (ascent plus descent), 0 meaning a 16-pixel cell; the width is the average
// character width, 0 meaning the face's natural one.
#include "platform/GlFont.h"

#include "platform/FileSystem.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace platform {

namespace {

constexpr int kDefaultCellHeight = 16;
constexpr int kAtlasWidth = 512;
constexpr std::size_t kMaxFontFileBytes = 16 * 1024 * 1024;
// The outline: a near-black with a touch of blue, nearly opaque.
constexpr std::uint32_t kRimRgb = 0x00060A14u;
constexpr std::uint32_t kRimAlpha = 235u;

// Bytes that draw nothing: C0 and C1 controls and DEL.
bool IsControlByte(unsigned char byte)
{
    return byte < 0x20 || (byte >= 0x7F && byte < 0xA0);
}

// One bitmap of 8-bit coverage, rows top first.
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> values;

    std::uint8_t At(int x, int y) const
    {
        return x < 0 || y < 0 || x >= width || y >= height ? 0 : values[static_cast<std::size_t>(y) * width + x];
    }
};

// The rim under an outlined glyph: each pixel takes the strongest glyph
// coverage near it, weighted down with distance, so the rim is solid a pixel
// out from the glyph's edge and fades over the next.
Coverage GrowRim(const Coverage& glyph)
{
    constexpr int reach = GlFont::kRimReach;
    std::array<std::array<float, 2 * reach + 1>, 2 * reach + 1> weight{};
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const float distance = std::hypot(static_cast<float>(dx), static_cast<float>(dy));
            weight[dy + reach][dx + reach] = std::clamp(2.2f - distance, 0.0f, 1.0f);
        }
    }
    Coverage rim;
    rim.width = glyph.width + 2 * reach;
    rim.height = glyph.height + 2 * reach;
    rim.values.resize(static_cast<std::size_t>(rim.width) * rim.height);
    for (int y = 0; y < rim.height; ++y) {
        for (int x = 0; x < rim.width; ++x) {
            float strongest = 0.0f;
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    const float near = glyph.At(x - reach + dx, y - reach + dy) * weight[dy + reach][dx + reach];
                    strongest = std::max(strongest, near);
                }
            }
            // Doubled, so that a glyph's soft edge still gets a solid rim.
            rim.values[static_cast<std::size_t>(y) * rim.width + x] =
                static_cast<std::uint8_t>(std::lround(std::min(255.0f, 2.0f * strongest)));
        }
    }
    return rim;
}

// Places bitmaps left to right on shelves a pixel apart, a new shelf when a
// row is full.
class AtlasPacker {
public:
    void Place(const Coverage& bitmap, int& atlasX, int& atlasY)
    {
        if (bitmap.width <= 0 || bitmap.height <= 0) {
            return;
        }
        if (penX_ + bitmap.width + 1 > kAtlasWidth) {
            penX_ = 1;
            penY_ += shelf_ + 1;
            shelf_ = 0;
        }
        atlasX = penX_;
        atlasY = penY_;
        penX_ += bitmap.width + 1;
        shelf_ = std::max(shelf_, bitmap.height);
    }
    int Bottom() const { return penY_ + shelf_ + 1; }

private:
    int penX_ = 1;
    int penY_ = 1;
    int shelf_ = 0;
};

void CopyIntoAtlas(const Coverage& bitmap, int atlasX, int atlasY, int atlasWidth, std::vector<std::uint8_t>& rgba)
{
    for (int row = 0; row < bitmap.height; ++row) {
        for (int column = 0; column < bitmap.width; ++column) {
            const std::size_t at = (static_cast<std::size_t>(atlasY + row) * atlasWidth + atlasX + column) * 4;
            rgba[at + 3] = bitmap.At(column, row);
        }
    }
}

// Owns the FreeType library and face for the length of a font's build.
class FreeTypeFace {
public:
    ~FreeTypeFace()
    {
        if (face_) {
            FT_Done_Face(face_);
        }
        if (library_) {
            FT_Done_FreeType(library_);
        }
    }
    bool Open(const std::vector<std::uint8_t>& bytes)
    {
        return FT_Init_FreeType(&library_) == 0 &&
               FT_New_Memory_Face(library_, bytes.data(), static_cast<FT_Long>(bytes.size()), 0, &face_) == 0;
    }
    FT_Face Get() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

} // namespace

const char* FontFilePath(const FontDesc& desc)
{
    return desc.bold ? "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
                     : "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

std::unique_ptr<GlFont> GlFont::Create(RenderDevice& device, const FontDesc& desc, std::string* error)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadDataFile(FontFilePath(desc), kMaxFontFileBytes, bytes, error)) {
        return nullptr;
    }
    FreeTypeFace face;
    if (!face.Open(bytes)) {
        if (error) {
            *error = std::string("FreeType cannot open ") + FontFilePath(desc);
        }
        return nullptr;
    }
    FT_Face ft = face.Get();
    const int cell = desc.height > 0 ? desc.height : kDefaultCellHeight;
    const double unitsPerEm = ft->units_per_EM;
    const double cellUnits = static_cast<double>(ft->ascender - ft->descender);
    const double emY = cell * unitsPerEm / cellUnits;
    double emX = emY;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
    if (desc.width > 0 && os2 && os2->xAvgCharWidth > 0) {
        const double naturalAverage = os2->xAvgCharWidth * emY / unitsPerEm;
        emX = emY * desc.width / naturalAverage;
    }
    FT_Set_Char_Size(ft, static_cast<FT_F26Dot6>(std::lround(emX * 64.0)),
                     static_cast<FT_F26Dot6>(std::lround(emY * 64.0)), 72, 72);
    if (desc.italic) {
        FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
        FT_Set_Transform(ft, &shear, nullptr);
    }

    std::unique_ptr<GlFont> font(new GlFont());
    font->lineHeight_ = cell;
    font->ascent_ = static_cast<int>(std::lround(ft->ascender * emY / unitsPerEm));
    font->outlined_ = desc.outlined;

    // The glyphs' coverage first, then (outlined) each glyph's rim beside it.
    std::vector<Coverage> glyphBitmaps(256);
    std::vector<Coverage> rimBitmaps(256);
    for (int byte = 0; byte < 256; ++byte) {
        Glyph& glyph = font->glyphs_[byte];
        if (IsControlByte(static_cast<unsigned char>(byte))) {
            continue;
        }
        if (FT_Load_Char(ft, static_cast<FT_ULong>(byte), FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot slot = ft->glyph;
        glyph.drawn = true;
        glyph.width = static_cast<int>(slot->bitmap.width);
        glyph.height = static_cast<int>(slot->bitmap.rows);
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.advance = static_cast<int>(slot->advance.x >> 6);
        Coverage& bitmap = glyphBitmaps[static_cast<std::size_t>(byte)];
        bitmap.width = glyph.width;
        bitmap.height = glyph.height;
        bitmap.values.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
        for (int row = 0; row < glyph.height; ++row) {
            const std::uint8_t* source = slot->bitmap.buffer + static_cast<std::ptrdiff_t>(row) * slot->bitmap.pitch;
            std::copy(source, source + glyph.width,
                      bitmap.values.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width);
        }
        if (desc.outlined && glyph.width > 0 && glyph.height > 0) {
            rimBitmaps[static_cast<std::size_t>(byte)] = GrowRim(bitmap);
        }
    }

    // Shelf packing, one bitmap after another; the atlas grows down as needed.
    AtlasPacker packer;
    for (int byte = 0; byte < 256; ++byte) {
        Glyph& glyph = font->glyphs_[byte];
        packer.Place(glyphBitmaps[static_cast<std::size_t>(byte)], glyph.atlasX, glyph.atlasY);
        packer.Place(rimBitmaps[static_cast<std::size_t>(byte)], glyph.rimAtlasX, glyph.rimAtlasY);
    }
    font->atlasWidth_ = kAtlasWidth;
    font->atlasHeight_ = std::max(1, static_cast<int>(std::bit_ceil(static_cast<unsigned>(packer.Bottom()))));
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(font->atlasWidth_) * font->atlasHeight_ * 4, 0);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = rgba[i + 1] = rgba[i + 2] = 255;
    }
    for (int byte = 0; byte < 256; ++byte) {
        const Glyph& glyph = font->glyphs_[byte];
        CopyIntoAtlas(glyphBitmaps[static_cast<std::size_t>(byte)], glyph.atlasX, glyph.atlasY, font->atlasWidth_,
                      rgba);
        CopyIntoAtlas(rimBitmaps[static_cast<std::size_t>(byte)], glyph.rimAtlasX, glyph.rimAtlasY, font->atlasWidth_,
                      rgba);
    }
    font->atlas_ = device.CreateTextureFromPixels(font->atlasWidth_, font->atlasHeight_, rgba);
    if (!font->atlas_) {
        if (error) {
            *error = "the glyph atlas texture could not be made";
        }
        return nullptr;
    }
    return font;
}

int GlFont::TextWidth(std::string_view text) const
{
    int widest = 0;
    int penX = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n') {
            penX = 0;
            continue;
        }
        if (glyphs_[byte].drawn) {
            penX += glyphs_[byte].advance;
            widest = std::max(widest, penX);
        }
    }
    return widest;
}

void GlFont::AppendQuads(std::string_view text, int x, int y, std::uint32_t argb,
                         std::vector<ScreenTexVertex>& out) const
{
    if (outlined_) {
        // Dark enough to stand out on snow, with the text's own fading.
        const std::uint32_t alpha = argb >> 24;
        const std::uint32_t rimArgb = ((alpha * kRimAlpha / 255u) << 24) | kRimRgb;
        AppendRun(text, x, y, rimArgb, true, out);
    }
    AppendRun(text, x, y, argb, false, out);
}

void GlFont::AppendRun(std::string_view text, int x, int y, std::uint32_t argb, bool rims,
                       std::vector<ScreenTexVertex>& out) const
{
    const float invWidth = 1.0f / static_cast<float>(atlasWidth_);
    const float invHeight = 1.0f / static_cast<float>(atlasHeight_);
    const int grow = rims ? kRimReach : 0;
    int penX = x;
    int baseline = y + ascent_;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n') {
            penX = x;
            baseline += lineHeight_;
            continue;
        }
        const Glyph& glyph = glyphs_[byte];
        if (!glyph.drawn) {
            continue;
        }
        if (glyph.width > 0 && glyph.height > 0) {
            const int width = glyph.width + 2 * grow;
            const int height = glyph.height + 2 * grow;
            const int atlasX = rims ? glyph.rimAtlasX : glyph.atlasX;
            const int atlasY = rims ? glyph.rimAtlasY : glyph.atlasY;
            // Half a pixel up and left puts each pixel's centre on a texel's
            // centre: the glyphs come out as sharp as FreeType drew them.
            const float x0 = static_cast<float>(penX + glyph.left - grow) - 0.5f;
            const float y0 = static_cast<float>(baseline - glyph.top - grow) - 0.5f;
            const float x1 = x0 + static_cast<float>(width);
            const float y1 = y0 + static_cast<float>(height);
            const float u0 = static_cast<float>(atlasX) * invWidth;
            const float v0 = static_cast<float>(atlasY) * invHeight;
            const float u1 = static_cast<float>(atlasX + width) * invWidth;
            const float v1 = static_cast<float>(atlasY + height) * invHeight;
            const ScreenTexVertex a{x0, y0, 0.0f, 1.0f, argb, u0, v0};
            const ScreenTexVertex b{x1, y0, 0.0f, 1.0f, argb, u1, v0};
            const ScreenTexVertex c2{x1, y1, 0.0f, 1.0f, argb, u1, v1};
            const ScreenTexVertex d{x0, y1, 0.0f, 1.0f, argb, u0, v1};
            out.insert(out.end(), {a, b, c2, a, c2, d});
        }
        penX += glyph.advance;
    }
}

} // namespace platform
