// New files (the screenshots): made only where nothing is, links never
// followed, and a failed write leaves nothing behind, not even a temporary.
#include "platform/FileSystem.h"

#include "FileSizeLimit.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_CASE("a new file is written whole under its name or not at all, never over or through what is there")
{
    testing::TempDirectory dir;
    fs::create_directory("Shots");
    fs::create_directory("Elsewhere");
    const std::vector<std::uint8_t> bytes(5000, 0x5A);
    std::string why;

    SUBCASE("a free name takes the bytes, and only the named file is left")
    {
        CHECK(platform::WriteNewFile("Shots/a.bmp", bytes, &why) == platform::NewFileResult::kWritten);
        CHECK(testing::ReadTextFile("Shots/a.bmp") == std::string(bytes.begin(), bytes.end()));
        CHECK(Entries("Shots") == std::vector<std::string>{"a.bmp"});
    }
    SUBCASE("a file already there is kept as it was")
    {
        std::ofstream("Shots/a.bmp") << "mine";
        CHECK(platform::WriteNewFile("Shots/a.bmp", bytes, &why) == platform::NewFileResult::kNameTaken);
        CHECK(testing::ReadTextFile("Shots/a.bmp") == "mine");
        CHECK(Entries("Shots") == std::vector<std::string>{"a.bmp"});
    }
    SUBCASE("a link leading out of the folder to nothing is neither followed nor replaced")
    {
        const fs::path outside = fs::absolute("Elsewhere/stolen.bmp");
        fs::create_symlink(outside, "Shots/a.bmp");
        CHECK(platform::PathExists("Shots/a.bmp")); // taken, though it leads nowhere
        CHECK(platform::WriteNewFile("Shots/a.bmp", bytes, &why) == platform::NewFileResult::kNameTaken);
        CHECK_FALSE(fs::exists(outside));
        CHECK(fs::is_symlink("Shots/a.bmp"));
        CHECK(Entries("Shots") == std::vector<std::string>{"a.bmp"});
        CHECK(Entries("Elsewhere").empty());
    }
    SUBCASE("a write the disk refuses leaves nothing, says why, and the name stays free")
    {
        {
            const testing::FileSizeLimitScope full(1000);
            CHECK(platform::WriteNewFile("Shots/a.bmp", bytes, &why) == platform::NewFileResult::kFailed);
            CHECK(why.find("could not write Shots/.a.bmp.part-") == 0);
            CHECK(why.find("File too large") != std::string::npos);
            CHECK(Entries("Shots").empty());
            // Again: no empty file is left either.
            CHECK(platform::WriteNewFile("Shots/a.bmp", bytes, &why) == platform::NewFileResult::kFailed);
            CHECK(Entries("Shots").empty());
        }
        CHECK(platform::WriteNewFile("Shots/a.bmp", bytes, &why) == platform::NewFileResult::kWritten);
        CHECK(fs::file_size("Shots/a.bmp") == bytes.size());
    }
    SUBCASE("a missing folder is a failure that names the file")
    {
        CHECK(platform::WriteNewFile("Nowhere/a.bmp", bytes, &why) == platform::NewFileResult::kFailed);
        CHECK(why.find("Nowhere/.a.bmp.part-") != std::string::npos);
        CHECK(why.find("No such file or directory") != std::string::npos);
    }
}
