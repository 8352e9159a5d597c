#include "platform/FileSystem.h"
#include "platform/ImageFile.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <utility>
#include <vector>

using namespace platform;

TEST_CASE("pictures decode from the game's formats and the screenshot BMP reads back as written")
{
    // A 24-bit BMP round trip keeps rows, order and padding.
    RgbImage image{3, 2, {}};
    for (int i = 0; i < 18; ++i) {
        image.rgb.push_back(static_cast<std::uint8_t>(i * 13));
    }
    const std::vector<std::uint8_t> bmp = EncodeBmp24(image);
    REQUIRE(bmp.size() == 54 + 2 * 12); // 9 bytes a row padded to 12
    // Bottom-up rows, BGR: the file's first pixel is the lower left one.
    CHECK(bmp[54] == image.rgb[9 + 2]);
    RgbaImage decoded;
    REQUIRE(DecodeImage(bmp, decoded));
    REQUIRE(decoded.width == 3);
    REQUIRE(decoded.height == 2);
    for (int p = 0; p < 6; ++p) {
        CHECK(decoded.rgba[p * 4 + 0] == image.rgb[p * 3 + 0]);
        CHECK(decoded.rgba[p * 4 + 3] == 255);
    }
    std::vector<std::uint8_t> cut(bmp.begin(), bmp.end() - 1);
    std::string why;
    CHECK_FALSE(DecodeImage(cut, decoded, &why));
    CHECK(why.find("cut short") != std::string::npos);
    // A width that would ask for gigabytes is refused before any allocation.
    std::vector<std::uint8_t> huge = bmp;
    std::fill_n(huge.begin() + 18, 3, 0xFF);
    huge[21] = 0x7F;
    CHECK_FALSE(DecodeImage(huge, decoded));

    // An uncompressed DDS reads its channels by their masks.
    std::vector<std::uint8_t> dds(128 + 8, 0);
    // "DDS ", height 1, width 2, RGB with alpha, 32 bits, then the R G B A masks.
    const std::pair<std::size_t, std::uint32_t> fields[] = {
        {0, 0x20534444u},   {12, 1},           {16, 2}, {80, 0x41}, {88, 32}, {92, 0x00FF0000u}, {96, 0x0000FF00u},
        {100, 0x000000FFu}, {104, 0xFF000000u}};
    for (const auto& [at, value] : fields) {
        for (std::size_t b = 0; b < 4; ++b) {
            dds[at + b] = static_cast<std::uint8_t>(value >> (8 * b));
        }
    }
    const std::uint8_t pixels[8] = {0x30, 0x20, 0x10, 0x80, 1, 2, 3, 4}; // B G R A
    std::copy(std::begin(pixels), std::end(pixels), dds.begin() + 128);
    REQUIRE(DecodeImage(dds, decoded));
    CHECK(decoded.width == 2);
    CHECK(decoded.rgba == std::vector<std::uint8_t>{0x10, 0x20, 0x30, 0x80, 3, 2, 1, 4});
    dds.pop_back();
    CHECK_FALSE(DecodeImage(dds, decoded));

    // The generated JPEG and PNG pictures decode, other bytes do not.
    testing::DataDirectoryScope data;
    std::vector<std::uint8_t> bytes;
    REQUIRE(ReadDataFile("Interface/Textures/SplashLogo.jpg", 4 << 20, bytes));
    REQUIRE(DecodeImage(bytes, decoded));
    CHECK(decoded.width == 1024);
    CHECK(decoded.height == 768);
    bytes.resize(600);
    CHECK_FALSE(DecodeImage(bytes, decoded));
    REQUIRE(ReadDataFile("Maps/shadow.png", 4 << 20, bytes));
    CHECK(DecodeImage(bytes, decoded));
    bytes.resize(bytes.size() / 2);
    CHECK_FALSE(DecodeImage(bytes, decoded));
    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    CHECK_FALSE(DecodeImage(text, decoded));
}
