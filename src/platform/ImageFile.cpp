// Picture decoding and encoding.
//
// BMP: "BM", file size u32, reserved u32, pixel offset u32; then an info
// header of at least 40 bytes: its size u32, width i32, height i32 (negative:
// rows top down), planes u16, bits per pixel u16 (24 or 32 here), compression
// u32 (0, uncompressed). Rows are BGR(A), padded to four bytes.
//
// DDS (what the data generator writes for flat pictures): "DDS ", a 124-byte
// header (height at 12, width at 16, pixel format at 76: its flags at 80,
// bit count at 88, red/green/blue/alpha masks at 92..104), then the top mip
// level's rows, top row first, 32-bit pixels with the masks given (8 bits a
// channel). Compressed DDS pictures are refused.
//
// Every header field is read through the bounded little-endian reader below
// and checked before any pixel is touched. The size a picture claims is read
// first, for every format, and a picture over the limit is refused before its
// decoder takes any memory for it.
#include "platform/ImageFile.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

// Bounded little-endian reads from a byte span: a read past the end fails.
class LittleEndianReader {
public:
    explicit LittleEndianReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Seek(std::size_t position)
    {
        if (position > bytes_.size()) {
            return false;
        }
        position_ = position;
        return true;
    }
    bool ReadU16(std::uint32_t& out) { return ReadLE(2, out); }
    bool ReadU32(std::uint32_t& out) { return ReadLE(4, out); }
    bool ReadI32(std::int32_t& out)
    {
        std::uint32_t bits = 0;
        if (!ReadU32(bits)) {
            return false;
        }
        out = std::bit_cast<std::int32_t>(bits);
        return true;
    }

private:
    bool ReadLE(std::size_t size, std::uint32_t& out)
    {
        if (bytes_.size() - position_ < size) {
            return false;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value |= static_cast<std::uint32_t>(bytes_[position_ + i]) << (8 * i);
        }
        position_ += size;
        out = value;
        return true;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

bool Fail(std::string* error, const std::string& why)
{
    if (error) {
        *error = why;
    }
    return false;
}

bool SideOk(std::int64_t side)
{
    return side > 0 && side <= kMaxImageSide;
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view magic)
{
    return bytes.size() >= magic.size() && std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

bool DecodePng(std::span<const std::uint8_t> bytes, RgbaImage& image, std::string* error)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        return Fail(error, std::string("bad PNG: ") + png.message);
    }
    if (!SideOk(png.width) || !SideOk(png.height)) {
        png_image_free(&png);
        return Fail(error, "PNG picture too large");
    }
    png.format = PNG_FORMAT_RGBA;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgba.assign(PNG_IMAGE_SIZE(png), 0);
    if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
        image = {};
        return Fail(error, std::string("bad PNG: ") + png.message);
    }
    return true;
}

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void JpegErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

void JpegQuiet(j_common_ptr, int) {}

bool DecodeJpeg(std::span<const std::uint8_t> bytes, RgbaImage& image, std::string* error)
{
    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JpegErrorExit;
    errors.base.emit_message = JpegQuiet;
    // Nothing with a destructor lives between here and the longjmp targets'
    // reach except image, which is reset on the failure path.
    std::vector<std::uint8_t> row;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        image = {};
        return Fail(error, "bad JPEG");
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (!SideOk(info.image_width) || !SideOk(info.image_height)) {
        jpeg_destroy_decompress(&info);
        return Fail(error, "JPEG picture too large");
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.rgba.assign(static_cast<std::size_t>(image.width) * image.height * 4, 255);
    row.assign(static_cast<std::size_t>(image.width) * 3, 0);
    while (info.output_scanline < info.output_height) {
        const std::size_t y = info.output_scanline;
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (int x = 0; x < image.width; ++x) {
            std::memcpy(&image.rgba[(y * image.width + x) * 4], &row[static_cast<std::size_t>(x) * 3], 3);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool DecodeBmp(std::span<const std::uint8_t> bytes, RgbaImage& image, std::string* error)
{
    LittleEndianReader reader(bytes);
    std::uint32_t pixelOffset = 0;
    std::uint32_t infoSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bits = 0;
    std::uint32_t compression = 0;
    if (!reader.Seek(10) || !reader.ReadU32(pixelOffset) || !reader.ReadU32(infoSize) || !reader.ReadI32(width) ||
        !reader.ReadI32(height) || !reader.ReadU16(planes) || !reader.ReadU16(bits) || !reader.ReadU32(compression)) {
        return Fail(error, "BMP header cut short");
    }
    const bool topDown = height < 0;
    const std::int64_t rows = topDown ? -static_cast<std::int64_t>(height) : height;
    if (infoSize < 40 || planes != 1 || compression != 0 || (bits != 24 && bits != 32)) {
        return Fail(error, "BMP kind not supported (24- or 32-bit uncompressed only)");
    }
    if (!SideOk(width) || !SideOk(rows)) {
        return Fail(error, "BMP size out of range");
    }
    const std::size_t pixelBytes = bits / 8;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * pixelBytes + 3) & ~static_cast<std::size_t>(3);
    if (pixelOffset > bytes.size() || (bytes.size() - pixelOffset) / rowBytes < static_cast<std::size_t>(rows)) {
        return Fail(error, "BMP pixels cut short");
    }
    image.width = width;
    image.height = static_cast<int>(rows);
    image.rgba.assign(static_cast<std::size_t>(width) * rows * 4, 255);
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::size_t fileRow = static_cast<std::size_t>(topDown ? y : rows - 1 - y);
        const std::uint8_t* source = bytes.data() + pixelOffset + fileRow * rowBytes;
        std::uint8_t* target = &image.rgba[static_cast<std::size_t>(y) * width * 4];
        for (std::int32_t x = 0; x < width; ++x, source += pixelBytes, target += 4) {
            target[0] = source[2];
            target[1] = source[1];
            target[2] = source[0];
        }
    }
    return true;
}

// The shift of a channel mask's lowest bit; 8-bit channels only.
bool MaskShift(std::uint32_t mask, int& shift)
{
    if (mask == 0) {
        shift = -1;
        return true;
    }
    shift = std::countr_zero(mask);
    return (mask >> shift) == 0xFFu;
}

bool DecodeDds(std::span<const std::uint8_t> bytes, RgbaImage& image, std::string* error)
{
    constexpr std::uint32_t kPixelFormatFourCc = 0x4;
    constexpr std::size_t kDataOffset = 128;
    LittleEndianReader reader(bytes);
    std::uint32_t height = 0;
    std::uint32_t width = 0;
    std::uint32_t formatFlags = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t masks[4] = {};
    if (!reader.Seek(12) || !reader.ReadU32(height) || !reader.ReadU32(width) || !reader.Seek(80) ||
        !reader.ReadU32(formatFlags) || !reader.Seek(88) || !reader.ReadU32(bitCount) || !reader.ReadU32(masks[0]) ||
        !reader.ReadU32(masks[1]) || !reader.ReadU32(masks[2]) || !reader.ReadU32(masks[3])) {
        return Fail(error, "DDS header cut short");
    }
    if ((formatFlags & kPixelFormatFourCc) != 0 || bitCount != 32) {
        return Fail(error, "DDS kind not supported (32-bit uncompressed only)");
    }
    int shifts[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (!MaskShift(masks[i], shifts[i])) {
            return Fail(error, "DDS channel masks not supported");
        }
    }
    if (!SideOk(width) || !SideOk(height)) {
        return Fail(error, "DDS size out of range");
    }
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    if ((bytes.size() - std::min(bytes.size(), kDataOffset)) / 4 < pixels) {
        return Fail(error, "DDS pixels cut short");
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rgba.assign(pixels * 4, 255);
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = bytes.data() + kDataOffset + i * 4;
        const std::uint32_t word = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                   (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
        for (int c = 0; c < 4; ++c) {
            if (shifts[c] >= 0) {
                image.rgba[i * 4 + c] = static_cast<std::uint8_t>((word >> shifts[c]) & 0xFFu);
            }
        }
    }
    return true;
}

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    PutU16(out, value & 0xFFFFu);
    PutU16(out, value >> 16);
}

int SaturatedSide(std::int64_t side)
{
    return static_cast<int>(std::min<std::int64_t>(side < 0 ? -side : side, INT_MAX));
}

// PNG: the 8-byte signature, then the IHDR chunk (length, "IHDR", width and
// height as big-endian u32).
bool ReadPngSize(std::span<const std::uint8_t> bytes, int& width, int& height)
{
    if (bytes.size() < 24 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) {
        return false;
    }
    const auto bigEndian = [&bytes](std::size_t at) {
        return (static_cast<std::uint32_t>(bytes[at]) << 24) | (static_cast<std::uint32_t>(bytes[at + 1]) << 16) |
               (static_cast<std::uint32_t>(bytes[at + 2]) << 8) | static_cast<std::uint32_t>(bytes[at + 3]);
    };
    width = SaturatedSide(bigEndian(16));
    height = SaturatedSide(bigEndian(20));
    return true;
}

// JPEG: libjpeg reads the markers up to the frame header and no further.
bool ReadJpegSize(std::span<const std::uint8_t> bytes, int& width, int& height)
{
    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JpegErrorExit;
    errors.base.emit_message = JpegQuiet;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    width = SaturatedSide(info.image_width);
    height = SaturatedSide(info.image_height);
    jpeg_destroy_decompress(&info);
    return true;
}

// BMP: width and height as i32 at 18 and 22 (a negative height is a
// top-down picture of that many rows).
bool ReadBmpSize(std::span<const std::uint8_t> bytes, int& width, int& height)
{
    LittleEndianReader reader(bytes);
    std::int32_t w = 0;
    std::int32_t h = 0;
    if (!reader.Seek(18) || !reader.ReadI32(w) || !reader.ReadI32(h)) {
        return false;
    }
    width = SaturatedSide(w);
    height = SaturatedSide(h);
    return true;
}

// DDS: height at 12, width at 16.
bool ReadDdsSize(std::span<const std::uint8_t> bytes, int& width, int& height)
{
    LittleEndianReader reader(bytes);
    std::uint32_t w = 0;
    std::uint32_t h = 0;
    if (!reader.Seek(12) || !reader.ReadU32(h) || !reader.ReadU32(w)) {
        return false;
    }
    width = SaturatedSide(w);
    height = SaturatedSide(h);
    return true;
}

} // namespace

bool ReadImageSize(std::span<const std::uint8_t> bytes, int& width, int& height)
{
    int w = 0;
    int h = 0;
    bool read = false;
    if (StartsWith(bytes, "\x89PNG")) {
        read = ReadPngSize(bytes, w, h);
    } else if (StartsWith(bytes, "\xFF\xD8")) {
        read = ReadJpegSize(bytes, w, h);
    } else if (StartsWith(bytes, "BM")) {
        read = ReadBmpSize(bytes, w, h);
    } else if (StartsWith(bytes, "DDS ")) {
        read = ReadDdsSize(bytes, w, h);
    }
    if (!read) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

bool DecodeImage(std::span<const std::uint8_t> bytes, RgbaImage& image, std::string* error)
{
    image = {};
    int width = 0;
    int height = 0;
    if (ReadImageSize(bytes, width, height) && (width > kMaxImageSide || height > kMaxImageSide)) {
        const std::string side = std::to_string(kMaxImageSide);
        return Fail(error, "the picture is " + std::to_string(width) + " x " + std::to_string(height) +
                               " pixels, larger than the " + side + " x " + side + " the game takes");
    }
    if (StartsWith(bytes, "\x89PNG")) {
        return DecodePng(bytes, image, error);
    }
    if (StartsWith(bytes, "\xFF\xD8")) {
        return DecodeJpeg(bytes, image, error);
    }
    if (StartsWith(bytes, "BM")) {
        return DecodeBmp(bytes, image, error);
    }
    if (StartsWith(bytes, "DDS ")) {
        return DecodeDds(bytes, image, error);
    }
    return Fail(error, "not a picture format the game reads");
}

std::vector<std::uint8_t> EncodeDds32(const RgbaImage& image)
{
    constexpr std::uint32_t kHeaderSize = 124;
    // Caps, height, width, pitch and pixel format present.
    constexpr std::uint32_t kHeaderFlags = 0x100F;
    constexpr std::uint32_t kPixelFormatSize = 32;
    constexpr std::uint32_t kRgbWithAlpha = 0x41;
    constexpr std::uint32_t kCapsTexture = 0x1000;
    const std::size_t pixels = static_cast<std::size_t>(std::max(image.width, 0)) * std::max(image.height, 0);
    if (pixels == 0 || image.rgba.size() < pixels * 4) {
        return {};
    }
    const auto width = static_cast<std::uint32_t>(image.width);
    std::vector<std::uint8_t> out;
    out.reserve(128 + pixels * 4);
    out.insert(out.end(), {'D', 'D', 'S', ' '});
    const std::uint32_t header[] = {
        kHeaderSize, kHeaderFlags, static_cast<std::uint32_t>(image.height), width, width * 4, 0, 1};
    for (const std::uint32_t word : header) {
        PutU32(out, word);
    }
    out.resize(76, 0); // eleven reserved words
    const std::uint32_t format[] = {kPixelFormatSize, kRgbWithAlpha, 0,           32,          0x00FF0000u,
                                    0x0000FF00u,      0x000000FFu,   0xFF000000u, kCapsTexture};
    for (const std::uint32_t word : format) {
        PutU32(out, word);
    }
    out.resize(128, 0);
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = image.rgba.data() + i * 4;
        out.insert(out.end(), {p[2], p[1], p[0], p[3]});
    }
    return out;
}

std::vector<std::uint8_t> EncodeBmp24(const RgbImage& image)
{
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
    const std::uint32_t dataBytes = rowBytes * static_cast<std::uint32_t>(image.height);
    std::vector<std::uint8_t> out;
    out.reserve(54 + dataBytes);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, 54 + dataBytes);
    PutU32(out, 0);
    PutU32(out, 54);
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(image.width));
    PutU32(out, static_cast<std::uint32_t>(image.height));
    PutU16(out, 1);
    PutU16(out, 24);
    PutU32(out, 0);
    PutU32(out, dataBytes);
    PutU32(out, 2835); // 72 dots per inch
    PutU32(out, 2835);
    PutU32(out, 0);
    PutU32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* row = &image.rgb[static_cast<std::size_t>(y) * image.width * 3];
        for (int x = 0; x < image.width; ++x) {
            out.push_back(row[x * 3 + 2]);
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3 + 0]);
        }
        out.resize(out.size() + (rowBytes - static_cast<std::uint32_t>(image.width) * 3), 0);
    }
    return out;
}

std::vector<std::uint8_t> EncodePngRgb(const RgbImage& image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.rgb.data(), 0, nullptr)) {
        return {};
    }
    std::vector<std::uint8_t> bytes(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.rgb.data(), 0, nullptr)) {
        return {};
    }
    bytes.resize(size);
    return bytes;
}

bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

} // namespace platform
