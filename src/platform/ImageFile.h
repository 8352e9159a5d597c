// Picture files: decoding the formats the game's textures come in (PNG, JPEG,
// BMP and DDS, told apart by their first bytes) into RGBA, and writing the
// 24-bit BMP screenshots, the PNG pictures the tests compare against and the
// DDS pictures of the data generator.
#pragma once

#include "platform/RenderDevice.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

// 8-bit RGBA, top row first.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Pictures beyond this side are refused before any pixel memory is taken: a
// few kilobytes of PNG or JPEG can claim a picture that decodes to gigabytes.
// The largest the game's data holds is 1024 x 1024, so this leaves a wide
// margin while one picture costs at most 64 MB decoded.
inline constexpr int kMaxImageSide = 4096;

// The width and height a picture's header claims, without decoding it. False
// for a format it does not know or a header cut short or damaged.
bool ReadImageSize(std::span<const std::uint8_t> bytes, int& width, int& height);

// False, with a reason, for a format it does not know, a damaged file or a
// picture larger than kMaxImageSide on a side (the reason then gives both
// sizes). A picture without alpha reads with alpha 255.
bool DecodeImage(std::span<const std::uint8_t> bytes, RgbaImage& image, std::string* error = nullptr);

// An uncompressed 24-bit BMP: 14-byte file header ("BM", pixel data at 54),
// 40-byte info header (positive height: rows bottom up), BGR rows padded to
// four bytes.
std::vector<std::uint8_t> EncodeBmp24(const RgbImage& image);
// An uncompressed 32-bit DDS of one mip level, the form DecodeImage reads:
// the 124-byte header with the RGB-and-alpha pixel format (masks R 0x00FF0000,
// G 0x0000FF00, B 0x000000FF, A 0xFF000000), then rows top first as B G R A
// bytes. Empty for an empty picture.
std::vector<std::uint8_t> EncodeDds32(const RgbaImage& image);
// An 8-bit RGB PNG; empty on failure.
std::vector<std::uint8_t> EncodePngRgb(const RgbImage& image);

// Writes bytes to path (named exactly), replacing it; false on failure.
bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace platform
