// Pictures that claim more pixels than the game takes: a few kilobytes of
// PNG or JPEG can claim 8192 x 8192, which decoded would cost most of a
// gigabyte. Each format's claim is read from its header and refused, with
// both sizes, before the decoder takes memory for it.
#include "platform/FileSystem.h"
#include "platform/ImageFile.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using namespace platform;

namespace {

void PutBigEndian16(std::vector<std::uint8_t>& bytes, std::size_t at, int value)
{
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value);
}

void PutLittleEndian32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The JPEG with its frame header's height and width replaced; the rest (and
// so the file's length) as it was.
std::vector<std::uint8_t> JpegClaiming(std::vector<std::uint8_t> jpeg, int width, int height)
{
    std::size_t at = 2; // past the start-of-image marker
    while (at + 9 < jpeg.size() && jpeg[at] == 0xFF) {
        const std::uint8_t marker = jpeg[at + 1];
        if (marker >= 0xC0 && marker <= 0xC2) { // baseline, extended or progressive frame
            PutBigEndian16(jpeg, at + 5, height);
            PutBigEndian16(jpeg, at + 7, width);
            return jpeg;
        }
        at += 2 + ((static_cast<std::size_t>(jpeg[at + 2]) << 8) | jpeg[at + 3]);
    }
    FAIL("no frame header in the JPEG");
    return {};
}

bool RefusedAsTooLarge(const std::vector<std::uint8_t>& bytes, const std::string& sizes)
{
    RgbaImage image;
    std::string why;
    const bool decoded = DecodeImage(bytes, image, &why);
    INFO(why);
    CHECK(image.rgba.empty());
    return !decoded && why == "the picture is " + sizes + " pixels, larger than the 4096 x 4096 the game takes";
}

} // namespace

TEST_CASE("a picture claiming 8192 x 8192 is refused before decoding in every format, one at the bound is not")
{
    testing::DataDirectoryScope data;
    std::vector<std::uint8_t> jpeg;
    REQUIRE(ReadDataFile("Interface/Textures/SplashLogo.jpg", 4 << 20, jpeg));
    int width = 0;
    int height = 0;
    REQUIRE(ReadImageSize(jpeg, width, height));
    CHECK(width == 1024);
    CHECK(height == 768);

    SUBCASE("a JPEG of a few kilobytes")
    {
        const std::vector<std::uint8_t> huge = JpegClaiming(jpeg, 8192, 8192);
        CHECK(huge.size() == jpeg.size());
        CHECK(RefusedAsTooLarge(huge, "8192 x 8192"));
        CHECK(RefusedAsTooLarge(JpegClaiming(jpeg, 1024, 4097), "1024 x 4097"));
    }
    SUBCASE("a PNG")
    {
        const RgbImage one{1, 1, {10, 20, 30}};
        std::vector<std::uint8_t> png = EncodePngRgb(one);
        REQUIRE(png.size() > 24);
        png[16] = 0; // width 8192, height 8192: big-endian u32 at 16 and 20
        png[17] = 0;
        png[18] = 0x20;
        png[19] = 0;
        png[20] = 0;
        png[21] = 0;
        png[22] = 0x20;
        png[23] = 0;
        REQUIRE(ReadImageSize(png, width, height));
        CHECK(width == 8192);
        CHECK(RefusedAsTooLarge(png, "8192 x 8192"));
        png[16] = 0xFF; // a width past what an int holds reads as the largest
        CHECK(RefusedAsTooLarge(png, "2147483647 x 8192"));
    }
    SUBCASE("a BMP and a DDS, whose sizes lie in their headers")
    {
        std::vector<std::uint8_t> bmp = EncodeBmp24(RgbImage{2, 2, std::vector<std::uint8_t>(12, 0x80)});
        PutLittleEndian32(bmp, 18, 8192);
        PutLittleEndian32(bmp, 22, static_cast<std::uint32_t>(-8192)); // top-down rows
        CHECK(RefusedAsTooLarge(bmp, "8192 x 8192"));
        // At the bound the size passes and the missing pixels refuse it.
        PutLittleEndian32(bmp, 18, kMaxImageSide);
        PutLittleEndian32(bmp, 22, kMaxImageSide);
        RgbaImage image;
        std::string why;
        CHECK_FALSE(DecodeImage(bmp, image, &why));
        CHECK(why.find("cut short") != std::string::npos);

        std::vector<std::uint8_t> dds = EncodeDds32(RgbaImage{1, 1, {1, 2, 3, 4}});
        REQUIRE_FALSE(dds.empty());
        PutLittleEndian32(dds, 12, 8192); // height
        PutLittleEndian32(dds, 16, 16);   // width
        CHECK(RefusedAsTooLarge(dds, "16 x 8192"));
    }
    SUBCASE("bytes that are no picture have no size")
    {
        CHECK_FALSE(ReadImageSize(std::vector<std::uint8_t>{'B', 'M', 1, 2}, width, height));
        CHECK_FALSE(ReadImageSize(std::vector<std::uint8_t>(jpeg.begin(), jpeg.begin() + 4), width, height));
        CHECK_FALSE(ReadImageSize(std::vector<std::uint8_t>(100, 0x42), width, height));
    }
}
