// FreeType glyph atlas and text quads.
//
// Sizes follow the text API the game was written for: the height is the
// cell height in pixels (ascent plus descent), 0 meaning a 16-pixel cell; the
// width is the average character width, 0 meaning the face's natural one.
#include "platform/GlFont.h"

#include "platform/FileSystem.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr int kDefaultCellHeight = 16;
constexpr int kAtlasWidth = 512;
constexpr std::size_t kMaxFontFileBytes = 16 * 1024 * 1024;

// Bytes that draw nothing: C0 and C1 controls and DEL.
bool IsControlByte(unsigned char byte)
{
    return byte < 0x20 || (byte >= 0x7F && byte < 0xA0);
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

    // Shelf packing, one glyph after another; the atlas grows down as needed.
    std::vector<std::uint8_t> coverage;
    int penX = 1;
    int penY = 1;
    int shelf = 0;
    std::vector<std::vector<std::uint8_t>> bitmaps(256);
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
        if (penX + glyph.width + 1 > kAtlasWidth) {
            penX = 1;
            penY += shelf + 1;
            shelf = 0;
        }
        glyph.atlasX = penX;
        glyph.atlasY = penY;
        penX += glyph.width + 1;
        shelf = std::max(shelf, glyph.height);
        std::vector<std::uint8_t>& bitmap = bitmaps[static_cast<std::size_t>(byte)];
        bitmap.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
        for (int row = 0; row < glyph.height; ++row) {
            const std::uint8_t* source = slot->bitmap.buffer + static_cast<std::ptrdiff_t>(row) * slot->bitmap.pitch;
            std::copy(source, source + glyph.width, bitmap.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width);
        }
    }
    font->atlasWidth_ = kAtlasWidth;
    font->atlasHeight_ = std::max(1, static_cast<int>(std::bit_ceil(static_cast<unsigned>(penY + shelf + 1))));
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(font->atlasWidth_) * font->atlasHeight_ * 4, 0);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = rgba[i + 1] = rgba[i + 2] = 255;
    }
    for (int byte = 0; byte < 256; ++byte) {
        const Glyph& glyph = font->glyphs_[byte];
        const std::vector<std::uint8_t>& bitmap = bitmaps[static_cast<std::size_t>(byte)];
        for (int row = 0; row < glyph.height; ++row) {
            for (int column = 0; column < glyph.width; ++column) {
                const std::size_t at =
                    (static_cast<std::size_t>(glyph.atlasY + row) * font->atlasWidth_ + glyph.atlasX + column) * 4;
                rgba[at + 3] = bitmap[static_cast<std::size_t>(row) * glyph.width + column];
            }
        }
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

void GlFont::AppendQuads(std::string_view text, int x, int y, std::uint32_t argb,
                         std::vector<ScreenTexVertex>& out) const
{
    const float invWidth = 1.0f / static_cast<float>(atlasWidth_);
    const float invHeight = 1.0f / static_cast<float>(atlasHeight_);
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
            // Half a pixel up and left puts each pixel's centre on a texel's
            // centre: the glyphs come out as sharp as FreeType drew them.
            const float x0 = static_cast<float>(penX + glyph.left) - 0.5f;
            const float y0 = static_cast<float>(baseline - glyph.top) - 0.5f;
            const float x1 = x0 + static_cast<float>(glyph.width);
            const float y1 = y0 + static_cast<float>(glyph.height);
            const float u0 = static_cast<float>(glyph.atlasX) * invWidth;
            const float v0 = static_cast<float>(glyph.atlasY) * invHeight;
            const float u1 = static_cast<float>(glyph.atlasX + glyph.width) * invWidth;
            const float v1 = static_cast<float>(glyph.atlasY + glyph.height) * invHeight;
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
