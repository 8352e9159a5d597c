// The pictures the data generator makes for the menus, the statistics screen
// and the in-match frame: each is where the screens look for it, reads
// through the game's own picture loader at the size the screens are laid
// out for, is see-through where it lies over something else and solid where
// it must cover; and the map previews show their map the way up the minimap
// does.
#include "platform/FileSystem.h"
#include "platform/ImageFile.h"
#include "world/MapData.h"
#include "world/MapFile.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <string>
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

const char* const kMapNames[] = {"Desert", "Grassland", "Tundra", "Ex-Cathedra"};

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

const std::uint8_t* PixelAt(const platform::RgbaImage& image, int x, int y)
{
    return image.rgba.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
}

int Alpha(const platform::RgbaImage& image, int x, int y)
{
    return PixelAt(image, x, y)[3];
}

} // namespace

TEST_CASE("Menu and HUD pictures")
{
    SUBCASE("every picture loads at its size, opaque where it covers and clear round lettering")
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

    SUBCASE("a map preview shows its flags where the map has them, +x right and +z up")
    {
        for (const char* name : kMapNames) {
            const std::string mapName = name;
            CAPTURE(mapName);
            const platform::RgbaImage preview = LoadExactly(std::string("Maps/") + name + ".bmp");
            std::vector<std::uint8_t> bytes;
            REQUIRE(platform::ReadDataFile((testing::DataDirectory() / "Maps" / (std::string(name) + ".kvm")).string(),
                                           64u << 20, bytes));
            MapData map;
            REQUIRE(ParseMapFile(bytes, map));
            REQUIRE(map.flags.size() >= 2);
            for (const Vec3& flag : map.flags) {
                const float half = map.mapSize * 0.5f;
                const int x = static_cast<int>((flag.x + half) / map.mapSize * preview.width);
                const int y = static_cast<int>((half - flag.z) / map.mapSize * preview.height);
                const std::uint8_t* p = PixelAt(preview, x, y);
                // The flags are marked in gold: much more red than blue.
                CHECK(p[0] > 200);
                CHECK(p[2] < 140);
            }
        }
    }
}
