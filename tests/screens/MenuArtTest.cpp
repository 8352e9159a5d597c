// The pictures the data generator makes for the menus, the statistics screen
// and the in-match frame: each is where the screens look for it, reads
// through the game's own picture loader at the size the screens are laid
// out for, is see-through where it lies over something else and solid where
// it must cover. The unit names keep clear of the counts drawn over them, and
// the check boxes' checked faces carry a tick.
#include "platform/FileSystem.h"
#include "platform/ImageFile.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kMaxPictureBytes = 8u << 20;

// Opaque pictures cover what is behind them; lettering lies on a clear
// background; panels let the live battle show a little.
enum class Cover { Opaque, ClearBackground, Any };

struct Picture {
    const char* path;
    int width;
    int height;
    Cover cover;
};

// One picture of each kind and size, and the names most easily got wrong:
// spaces, mixed case, the map file names.
const Picture kPictures[] = {
    {"Interface/Button/KVTitle.png", 1024, 768, Cover::Opaque},
    {"Interface/Textures/UnitSelectBack.png", 768, 576, Cover::Any},
    {"Interface/Textures/whiteTexture.png", 16, 16, Cover::Opaque},
    {"Interface/Textures/Border.dds", 1024, 768, Cover::ClearBackground},
    {"Interface/Textures/Last Man on the Hill.png", 512, 128, Cover::ClearBackground},
    {"Interface/Textures/Dedagon.dds", 256, 256, Cover::Opaque},
    {"Maps/Ex-Cathedra.png", 256, 64, Cover::ClearBackground},
    {"Maps/Ex-Cathedra.bmp", 256, 256, Cover::Opaque},
};

// Looked up by the exact name: the screens name files with spaces and mixed
// case, and a wrong letter must not pass through the lookup's case folding.
platform::RgbaImage LoadExactly(const std::string& path)
{
    const bool present = std::filesystem::is_regular_file(testing::DataDirectory() / path);
    REQUIRE_MESSAGE(present, path);
    std::vector<std::uint8_t> bytes;
    REQUIRE(platform::ReadDataFile((testing::DataDirectory() / path).string(), kMaxPictureBytes, bytes));
    platform::RgbaImage image;
    std::string why;
    const bool decoded = platform::DecodeImage(bytes, image, &why);
    REQUIRE_MESSAGE(decoded, why);
    return image;
}

int Alpha(const platform::RgbaImage& image, int x, int y)
{
    return image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4 + 3];
}

} // namespace

TEST_CASE("every menu and HUD picture loads at its size, opaque where it covers and clear round lettering")
{
    for (const Picture& picture : kPictures) {
        const std::string path = picture.path;
        CAPTURE(path);
        const platform::RgbaImage image = LoadExactly(picture.path);
        CHECK(image.width == picture.width);
        CHECK(image.height == picture.height);
        int least = 255;
        int most = 0;
        for (std::size_t i = 3; i < image.rgba.size(); i += 4) {
            least = std::min<int>(least, image.rgba[i]);
            most = std::max<int>(most, image.rgba[i]);
        }
        if (picture.cover == Cover::Opaque) {
            CHECK(least == 255);
        }
        if (picture.cover == Cover::ClearBackground) {
            CHECK(Alpha(image, 0, 0) == 0);
            CHECK(Alpha(image, image.width - 1, image.height - 1) == 0);
            CHECK(most == 255); // something is drawn, and solidly
        }
    }
}

TEST_CASE("the unit names leave the right end of their pictures clear for the counts drawn there")
{
    // Unit selection draws a type's count from about 231 of the 256 texels
    // on, level with the name: nothing of the lettering, outline and shadow
    // included, may reach in there.
    const char* const names[] = {"Interface/Textures/1Smashtor1.png", "Interface/Textures/1Trajectagon1.png",
                                 "Interface/Textures/1Triangoloid1.png", "Interface/Textures/1Artillerator1.png",
                                 "Interface/Textures/Dedagon.png"};
    for (const std::string name : names) {
        CAPTURE(name);
        const platform::RgbaImage image = LoadExactly(name);
        REQUIRE(image.width == 256);
        int countPlace = 0;
        int lettering = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                int& most = x >= 226 ? countPlace : lettering;
                most = std::max(most, Alpha(image, x, y));
            }
        }
        CHECK(countPlace == 0);
        CHECK(lettering == 255);
    }
}

TEST_CASE("a checked box's faces are the up and hover faces with a gold tick across the middle")
{
    const std::pair<const char*, const char*> faces[] = {
        {"Interface/Button/bcheck.dds", "Interface/Button/bup.dds"},
        {"Interface/Button/bcheckhover.dds", "Interface/Button/bhover.dds"},
    };
    for (const auto& [checkedPath, plainPath] : faces) {
        const std::string checkedName = checkedPath;
        CAPTURE(checkedName);
        const platform::RgbaImage checked = LoadExactly(checkedPath);
        const platform::RgbaImage plain = LoadExactly(plainPath);
        REQUIRE(checked.width == plain.width);
        REQUIRE(checked.height == plain.height);
        const auto at = [](const platform::RgbaImage& image, int x, int y) {
            return &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
        };
        // Shown at 78 x 23 pixels, the tick's long stroke crosses (42, 11):
        // texel (138, 31) of the 256 x 64 face. Gold there, not slate.
        const std::uint8_t* tick = at(checked, 138, 31);
        CHECK(tick[0] > 200);
        CHECK(tick[1] > 160);
        CHECK(tick[2] < 150);
        // Away from the tick the face is the plain one, no darker: a box that
        // is on does not look pressed.
        for (const auto& [x, y] : {std::pair{20, 32}, {230, 20}, {128, 58}}) {
            CAPTURE(x);
            CHECK(std::equal(at(checked, x, y), at(checked, x, y) + 4, at(plain, x, y)));
        }
    }
}
