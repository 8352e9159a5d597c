// Writes the world models' pictures, "Actors/ObjectTextures/<name>.png",
// opaque RGBA: the game draws world objects blended with depth writes on, so
// any partial alpha would show sorting faults.
#include "DataGenerator.h"

#include "ObjectTextures.h"
#include "world/MeshLibrary.h"

#include <algorithm>

namespace datagen {

namespace {

std::vector<std::uint8_t> OpaquePng(const Image& image)
{
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(image.Width()) * image.Height() * 4);
    const auto byte = [](float v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgb p = image.Get(x, y);
            rgba.insert(rgba.end(), {byte(p.r), byte(p.g), byte(p.b), 255});
        }
    }
    return EncodePngRgba(image.Width(), image.Height(), rgba);
}

} // namespace

bool GenerateObjectTextures(const std::filesystem::path& root)
{
    const struct {
        const char* name;
        Image (*paint)(unsigned seed);
    } textures[] = {{"tree1.png", PaintTreeTexture},
                    {"snowtree.png", PaintSnowTreeTexture},
                    {"rock.png", PaintRockTexture},
                    {"icespire.png", PaintIceTexture},
                    {"flag.png", PaintFlagTexture}};
    unsigned seed = 300;
    for (const auto& texture : textures) {
        const std::vector<std::uint8_t> png = OpaquePng(texture.paint(seed++));
        if (png.empty() || !WriteDataFile(root, std::string(kObjectTextureFolder) + texture.name, png)) {
            return false;
        }
    }
    return true;
}

} // namespace datagen
