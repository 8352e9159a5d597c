#include "platform/FileSystem.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <fstream>

TEST_CASE("data paths normalise, and data files are found whatever their case and read only if regular and small")
{
    CHECK(platform::NormalizeDataPath("SOUNDS\\../Sounds/SFX/explosion.wav") == "Sounds/SFX/explosion.wav");
    CHECK(platform::NormalizeDataPath("../outside.txt") == "../outside.txt");
    CHECK(platform::NormalizeDataPath("a/b/../../c") == "c");
    CHECK(platform::NormalizeDataPath("/tmp/.//../x") == "/x");

    // Data files are found whatever the case of their letters.
    testing::TempDirectory dir;
    std::filesystem::create_directories("Interface/Button");
    std::ofstream("Interface/Button/bdown.dds") << "pixels";
    CHECK(platform::ResolveDataPath("INTERFACE\\button\\BDOWN.DDS") == "Interface/Button/bdown.dds");
    std::vector<std::uint8_t> bytes;
    REQUIRE(platform::ReadDataFile("interface/BUTTON/../button/bDown.dds", 6, bytes));
    CHECK(std::string(bytes.begin(), bytes.end()) == "pixels");
    // A missing file comes back normalised (and fails to open, below).
    CHECK(platform::ResolveDataPath("Interface\\Nothing\\here.png") == "Interface/Nothing/here.png");

    // Only an existing regular file within its size limit is read, without
    // waiting, and a refusal names the file.
    std::filesystem::create_directories("Maps");
    testing::MakePipe("Maps/Pipe.kvm");
    std::filesystem::create_symlink("/dev/zero", "Maps/Zero.kvm");
    std::ofstream("Maps/Ten.kvm") << "0123456789";
    bytes = {1, 2, 3};
    std::string error;

    CHECK(platform::ReadDataFile("maps/ten.KVM", 10, bytes, &error));
    CHECK(bytes.size() == 10);
    const struct {
        const char* name;
        std::size_t limit;
        const char* error;
    } kRefused[] = {
        {"Maps/Ten.kvm", 9, "Maps/Ten.kvm: 10 bytes, more than the 9 a file of its kind may have"},
        {"Maps/Pipe.kvm", 64 << 20, "Maps/Pipe.kvm: not a regular file"},
        {"Maps/Zero.kvm", 64 << 20, "Maps/Zero.kvm: not a regular file"},
        {"Maps/Nothing.kvm", 64 << 20, "Maps/Nothing.kvm: No such file or directory"},
    };
    for (const auto& refused : kRefused) {
        CAPTURE(refused.name);
        bytes = {1, 2, 3};
        CHECK_FALSE(platform::ReadDataFile(refused.name, refused.limit, bytes, &error));
        CHECK(bytes.empty());
        CHECK(error == refused.error);
    }
}

TEST_CASE("a folder is made once, and what stands in its way is named in plain words")
{
    namespace fs = std::filesystem;
    testing::TempDirectory dir;
    std::string error = "untouched";
    REQUIRE(platform::MakeFolder("Shots", &error));
    CHECK(fs::is_directory("Shots"));
    CHECK(platform::MakeFolder("Shots", &error));
    CHECK(error == "untouched");
    fs::create_directory("Elsewhere");
    fs::create_directory_symlink(fs::absolute("Elsewhere"), "ToElsewhere");
    CHECK(platform::MakeFolder("ToElsewhere")); // a link to a folder serves

    // The system would say "No such file or directory" of a link that leads
    // nowhere, and "File exists" of a file.
    fs::create_symlink(fs::absolute("Gone"), "Dangling");
    CHECK_FALSE(platform::MakeFolder("Dangling", &error));
    CHECK(error == "it is a link that points nowhere");
    CHECK(fs::is_symlink("Dangling"));
    CHECK_FALSE(fs::exists("Gone"));
    std::ofstream("Plain") << "not a folder";
    CHECK_FALSE(platform::MakeFolder("Plain", &error));
    CHECK(error == "a file is in the way");
    fs::create_symlink(fs::absolute("Plain"), "ToPlain");
    CHECK_FALSE(platform::MakeFolder("ToPlain", &error));
    CHECK(error == "a file is in the way");
    fs::create_symlink("Loop", "Loop");
    CHECK_FALSE(platform::MakeFolder("Loop", &error));
    CHECK(error == "Too many levels of symbolic links");
    // Otherwise the system's reason.
    CHECK_FALSE(platform::MakeFolder("Missing/Shots", &error));
    CHECK(error == "No such file or directory");
    CHECK_FALSE(platform::MakeFolder("Plain/Shots", &error));
    CHECK(error == "Not a directory");
}
