#include "render/RendererCanvas.h"
#include "render/TextManager.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <string>

TEST_CASE("the renderer's canvas shares pictures while they are held and queues its text")
{
    testing::TempDirectory logs;
    const std::filesystem::path data = testing::DataDirectory();
    const testing::NullRenderer null;
    RendererCanvas canvas;
    const std::string logo = (data / "Interface/Textures/SplashLogo.jpg").string();
    std::string upper = logo;
    upper.replace(upper.size() - 3, 3, "JPG");

    // One texture for one file whatever the case of its name, a new one once it was let go.
    TextureHandle first = canvas.LoadTexture(logo);
    REQUIRE(first);
    CHECK(canvas.LoadTexture(upper) == first);
    first.reset();
    TextureHandle again = canvas.LoadTexture(logo);
    REQUIRE(again);
    CHECK(again.use_count() == 1);

    // A missing picture is null and reported once.
    CHECK(canvas.LoadTexture("Interface/none.png") == nullptr);
    CHECK(canvas.LoadTexture("Interface/none.png") == nullptr);
    const std::string log = testing::ReadTextFile("Renderer.txt");
    CHECK(log.find("none.png") != std::string::npos);
    CHECK(log.find("Could not load the picture") == log.rfind("Could not load the picture"));

    // Text goes to the frame's queue as it is.
    canvas.DrawText("100% %s", 3, 4, "Default", kDefaultTextColor);
    REQUIRE(TextManager::Instance()->GetQueue().size() == 1);
    CHECK(TextManager::Instance()->GetQueue()[0].text == "100% %s");
}
