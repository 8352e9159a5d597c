// The unit skins by health, "Interface/Textures/LifeTexture0.bmp" to
// "LifeTexture9.bmp". A unit is drawn with the picture of its health level
// (9 whole, 0 nearly destroyed) multiplied by its army's colour, so the
// pictures are grey and light: armour plates with seams and rivets, which
// darken, scorch and crack as the level falls. They tile both ways, as the
// unit meshes repeat them about once per unit.
#include "DataGenerator.h"

#include "Image.h"
#include "Noise.h"

#include <string>

namespace datagen {

namespace {

constexpr int kSize = 128;
constexpr int kPlate = 32; // plates across the picture: 4

float Tile(int x, int y, int cells, int octaves, unsigned seed)
{
    const float perCell = static_cast<float>(kSize) / static_cast<float>(cells);
    return PeriodicFbm(static_cast<float>(x) / perCell, static_cast<float>(y) / perCell, cells, octaves, seed);
}

// Seams between plates and rivets near their corners: 1 on a seam.
float Seam(int x, int y)
{
    const int px = x % kPlate;
    const int py = y % kPlate;
    if (px == 0 || py == 0) {
        return 1.0f;
    }
    const int rx = px < kPlate / 2 ? px - 4 : px - (kPlate - 4);
    const int ry = py < kPlate / 2 ? py - 4 : py - (kPlate - 4);
    return rx * rx + ry * ry <= 2 ? 0.6f : 0.0f;
}

Image PaintLife(int level)
{
    const float damage = static_cast<float>(9 - level) / 9.0f;
    const unsigned seed = 700;
    Image image(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float grain = Tile(x, y, 16, 3, seed);
            float shade = 0.9f + 0.08f * (grain - 0.5f) - 0.25f * Seam(x, y);
            // Scorch spreads from a few blotches as damage grows.
            const float blotch = Tile(x, y, 4, 3, seed + 1);
            shade *= 1.0f - 0.55f * damage * SmoothStep(0.75f - 0.45f * damage, 0.9f, blotch) - 0.3f * damage;
            // Cracks open along ever more of the crease lines.
            const float crease = Crease(Tile(x, y, 4, 4, seed + 2), 10.0f);
            const float crack = damage * SmoothStep(1.0f - 0.6f * damage, 1.0f, crease);
            shade *= 1.0f - 0.8f * crack;
            image.Set(x, y, {shade, shade, shade});
        }
    }
    return image;
}

} // namespace

bool GenerateLifeTextures(const std::filesystem::path& root)
{
    for (int level = 0; level < 10; ++level) {
        const std::vector<std::uint8_t> bmp = PaintLife(level).EncodeBmp();
        if (!WriteDataFile(root, "Interface/Textures/LifeTexture" + std::to_string(level) + ".bmp", bmp)) {
            return false;
        }
    }
    return true;
}

} // namespace datagen
