// A picture file claiming more pixels than the game takes is not loaded, and
// the log says which file and how large it claimed to be.
#include "platform/ImageFile.h"
#include "render/RendererCanvas.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

TEST_CASE("a picture file claiming 8192 x 8192 is not loaded and the log names the file and the size")
{
    testing::TempDirectory temp;
    testing::NullRenderer null;
    // A real PNG of one pixel whose header then claims 8192 x 8192.
    std::vector<std::uint8_t> png = platform::EncodePngRgb(platform::RgbImage{1, 1, {1, 2, 3}});
    REQUIRE(png.size() > 24);
    png[18] = 0x20;
    png[19] = 0;
    png[22] = 0x20;
    png[23] = 0;
    testing::WriteBinaryFile("Interface/Huge.png", png);

    RendererCanvas canvas;
    CHECK(canvas.LoadTexture("Interface/Huge.png") == nullptr);
    const std::string log = testing::ReadTextFile("Renderer.txt");
    CHECK(log.find("Interface/Huge.png") != std::string::npos);
    CHECK(log.find("8192 x 8192 pixels, larger than the 4096 x 4096") != std::string::npos);
}
