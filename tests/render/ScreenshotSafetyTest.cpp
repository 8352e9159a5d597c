// Screenshots where the disk or the folder works against them: a disk that
// refuses the write leaves no cut-short or empty picture and says why, a
// file-size limit does not end the game, a link in the folder is never
// written through, and a folder that cannot be made is reported with why.
#include "platform/FileSystem.h"
#include "platform/StartupSignals.h"
#include "render/Renderer.h"

#include "../platform/FileSizeLimit.h"
#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
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

// F10 in a game started under a file-size limit (ulimit -f) smaller than
// the picture: the signal left at the default a new process has, the game's
// own start-up set-up, then the screenshot. Never returns; exits 0 when the
// screenshot failed without taking the process with it.
[[noreturn]] void ScreenshotUnderFileSizeLimit(rlim_t bytes)
{
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    sigaction(SIGXFSZ, &defaultAction, nullptr);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    platform::InstallStartupSignalHandling();
    const testing::NullRenderer null;
    const std::string name = Renderer::Instance()->SaveScreenshot();
    _exit(name.empty() ? 0 : 1);
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

TEST_CASE("a screenshot past the file-size limit fails as on a full disk instead of ending the game")
{
    testing::TempDirectory temp;
    fs::create_directory("Screenshots");
    const pid_t game = fork();
    REQUIRE(game >= 0);
    if (game == 0) {
        ScreenshotUnderFileSizeLimit(16 * 1024);
    }
    int status = 0;
    while (waitpid(game, &status, 0) < 0) {
        REQUIRE(errno == EINTR);
    }
    // SIGXFSZ (25) here is the write ending the game.
    const int endingSignal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    CHECK(endingSignal == 0);
    // Neither the picture nor its hidden temporary file is left.
    CHECK(EntryCount("Screenshots") == 0);
    const bool exited = WIFEXITED(status);
    REQUIRE(exited);
    CHECK(WEXITSTATUS(status) == 0);
    const std::string log = testing::ReadTextFile("Renderer.txt");
    CHECK(log.find("Warning: Could not save the screenshot Screenshots/ScreenShot - 0.bmp (could not write ") !=
          std::string::npos);
    CHECK(log.find("File too large") != std::string::npos);
}

TEST_CASE("a screenshot folder that cannot be made is reported with the reason")
{
    testing::TempDirectory temp;
    testing::NullRenderer null;
    fs::create_symlink(fs::absolute("Gone"), "Screenshots");
    CHECK(Renderer::Instance()->SaveScreenshot().empty());
    CHECK(fs::is_symlink("Screenshots"));
    CHECK_FALSE(fs::exists("Gone"));
    fs::remove("Screenshots");
    std::ofstream("Screenshots") << "a file where the folder goes";
    CHECK(Renderer::Instance()->SaveScreenshot().empty());
    const std::string log = testing::ReadTextFile("Renderer.txt");
    CHECK(log.find("Warning: Could not make the folder Screenshots for screenshots (it is a link that points "
                   "nowhere).") != std::string::npos);
    CHECK(log.find("Warning: Could not make the folder Screenshots for screenshots (a file is in the way).") !=
          std::string::npos);
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
