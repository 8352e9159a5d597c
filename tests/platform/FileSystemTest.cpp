#include "platform/FileSystem.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <fstream>

TEST_CASE("data paths normalise backslashes, dots and parent steps")
{
    CHECK(platform::NormalizeDataPath("SOUNDS\\../Sounds/SFX/explosion.wav") == "Sounds/SFX/explosion.wav");
    CHECK(platform::NormalizeDataPath("Maps//./Desert.kvm") == "Maps/Desert.kvm");
    CHECK(platform::NormalizeDataPath("../outside.txt") == "../outside.txt");
    CHECK(platform::NormalizeDataPath("a/b/../../c") == "c");
    CHECK(platform::NormalizeDataPath("/tmp/../x") == "/x");
    CHECK(platform::NormalizeDataPath("") == "");
}

TEST_CASE("data files are found whatever the case of their letters")
{
    testing::TempDirectory dir;
    std::filesystem::create_directories("Interface/Button");
    std::ofstream("Interface/Button/bdown.dds") << "pixels";
    CHECK(platform::ResolveDataPath("INTERFACE\\button\\BDOWN.DDS") == "Interface/Button/bdown.dds");
    std::vector<std::uint8_t> bytes;
    REQUIRE(platform::ReadDataFile("interface/BUTTON/../button/bDown.dds", bytes));
    CHECK(std::string(bytes.begin(), bytes.end()) == "pixels");

    // A missing file comes back normalised and fails to open.
    CHECK(platform::ResolveDataPath("Interface\\Nothing\\here.png") == "Interface/Nothing/here.png");
    CHECK(platform::OpenDataFile("Interface/Nothing/here.png", "rb") == nullptr);
    CHECK_FALSE(platform::ReadDataFile("Interface/Nothing/here.png", bytes));
    CHECK(bytes.empty());
}
