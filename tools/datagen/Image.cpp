// Painting helpers: JPEG encoding through libjpeg, text through FreeType.
#include "Image.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace datagen {

Image::Image(int width, int height) : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height)
{
}

void Image::Blend(int x, int y, const Rgb& colour, float coverage)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0.0f) {
        return;
    }
    const float a = std::min(coverage, 1.0f);
    Rgb& p = pixels_[Index(x, y)];
    p.r += (colour.r - p.r) * a;
    p.g += (colour.g - p.g) * a;
    p.b += (colour.b - p.b) * a;
}

std::vector<std::uint8_t> Image::EncodeJpeg(int quality) const
{
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = static_cast<JDIMENSION>(width_);
    compressor.image_height = static_cast<JDIMENSION>(height_);
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    jpeg_start_compress(&compressor, TRUE);

    std::vector<JSAMPLE> row(static_cast<std::size_t>(width_) * 3);
    const auto toByte = [](float v) { return static_cast<JSAMPLE>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    while (compressor.next_scanline < compressor.image_height) {
        const int y = static_cast<int>(compressor.next_scanline);
        for (int x = 0; x < width_; ++x) {
            const Rgb& p = pixels_[Index(x, y)];
            row[x * 3 + 0] = toByte(p.r);
            row[x * 3 + 1] = toByte(p.g);
            row[x * 3 + 2] = toByte(p.b);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);

    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

bool DrawTextCentred(Image& image, const std::string& fontPath, int pixelSize, const std::string& text, int centreX,
                     int baselineY, const Rgb& colour, int letterSpacing)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        return false;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "kvdatagen: cannot load font %s\n", fontPath.c_str());
        FT_Done_FreeType(library);
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));

    // First pass measures, second draws.
    int width = 0;
    for (const char c : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_DEFAULT) == 0) {
            width += static_cast<int>(face->glyph->advance.x >> 6) + letterSpacing;
        }
    }
    width -= letterSpacing;
    int penX = centreX - width / 2;
    for (const char c : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const float coverage = bitmap.buffer[row * bitmap.pitch + column] / 255.0f;
                image.Blend(penX + glyph->bitmap_left + static_cast<int>(column),
                            baselineY - glyph->bitmap_top + static_cast<int>(row), colour, coverage);
            }
        }
        penX += static_cast<int>(glyph->advance.x >> 6) + letterSpacing;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}

} // namespace datagen
