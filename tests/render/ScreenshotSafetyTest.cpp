// Screenshots where the disk or the folder works against them: a disk that
// refuses the write leaves no cut-short or empty picture and says why, and a
// link in the folder is never written through.
#include "platform/FileSystem.h"
#include "render/Renderer.h"

#include "../platform/FileSizeLimit.h"
#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

std::size_t EntryCount(const fs::path& folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

} // namespace

TEST_CASE("a screenshot the disk refuses leaves nothing behind and says why, and the next one takes its number")
{
    testing::TempDirectory temp;
    testing::NullRenderer null;
    Renderer* renderer = Renderer::Instance();
    fs::create_directory("Screenshots");
    {
        // Room for the log entry, not for the picture.
        const testing::FileSizeLimitScope full(16 * 1024);
        CHECK(renderer->SaveScreenshot().empty());
        CHECK(renderer->SaveScreenshot().empty());
    }
    CHECK(EntryCount("Screenshots") == 0);
    const std::string log = testing::ReadTextFile("Renderer.txt");
    CHECK(log.find("Warning: Could not save the screenshot Screenshots/ScreenShot - 0.bmp (could not write ") !=
          std::string::npos);
    CHECK(log.find("File too large") != std::string::npos);

    const std::string name = renderer->SaveScreenshot();
    CHECK(name == "Screenshots/ScreenShot - 0.bmp");
    platform::RgbImage picture;
    REQUIRE(null.device->ReadPicture(picture));
    CHECK(fs::file_size(name) == 54 + static_cast<std::uintmax_t>(picture.width) * 3 * picture.height);
    CHECK(EntryCount("Screenshots") == 1);
}

TEST_CASE("a link in the screenshot folder that leads out of it is skipped, not written through")
{
    testing::TempDirectory temp;
    testing::NullRenderer null;
    fs::create_directory("Screenshots");
    fs::create_directory("Outside");
    const fs::path target = fs::absolute("Outside/picture.bmp");
    fs::create_symlink(target, "Screenshots/ScreenShot - 0.bmp");

    CHECK(Renderer::Instance()->SaveScreenshot() == "Screenshots/ScreenShot - 1.bmp");
    CHECK_FALSE(fs::exists(target));
    CHECK(fs::is_symlink("Screenshots/ScreenShot - 0.bmp"));
    CHECK(fs::is_regular_file(fs::symlink_status("Screenshots/ScreenShot - 1.bmp")));
    CHECK(EntryCount("Outside") == 0);
}
