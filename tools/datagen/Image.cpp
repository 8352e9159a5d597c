// Painting helpers: JPEG encoding through libjpeg, PNG through libpng, BMP by
// hand, text through FreeType.
#include "Image.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <jpeglib.h>
#include <png.h>

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

std::vector<std::uint8_t> Image::EncodeBmp() const
{
    // Rows bottom-up, blue-green-red, each padded to four bytes.
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width_) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(height_);
    const std::uint32_t headerBytes = 14 + 40;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(headerBytes + pixelBytes);
    const auto put16 = [&bytes](std::uint32_t v) {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    };
    const auto put32 = [&put16](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    bytes.push_back('B');
    bytes.push_back('M');
    put32(headerBytes + pixelBytes);
    put32(0);
    put32(headerBytes);
    put32(40);
    put32(static_cast<std::uint32_t>(width_));
    put32(static_cast<std::uint32_t>(height_));
    put16(1);
    put16(24);
    put32(0); // no compression
    put32(pixelBytes);
    put32(2835); // 72 dpi
    put32(2835);
    put32(0);
    put32(0);
    const auto toByte = [](float v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            const Rgb& p = pixels_[Index(x, y)];
            bytes.push_back(toByte(p.b));
            bytes.push_back(toByte(p.g));
            bytes.push_back(toByte(p.r));
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(width_) * 3; pad < rowBytes; ++pad) {
            bytes.push_back(0);
        }
    }
    return bytes;
}

std::vector<std::uint8_t> EncodePngRgba(int width, int height, const std::vector<std::uint8_t>& rgba)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) {
        return {};
    }
    std::vector<std::uint8_t> bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgba.data(), 0, nullptr)) {
        return {};
    }
    bytes.resize(size);
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
