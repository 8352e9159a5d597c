// fuzz_map_seeds <directory>: writes a few small valid maps for the map
// fuzzer to start from, and the crafted inputs that once got past the parser
// (each a valid map with one header number changed), so every run tries them
// and their neighbours again. One seed embeds real pictures, whose headers
// the parser reads to bound their sizes.
#include "platform/ImageFile.h"
#include "world/MapBuilder.h"
#include "world/MapFile.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

MapData SeedMap(std::uint32_t columns, std::uint32_t rows, std::size_t lists, std::size_t imageBytes)
{
    HeightGrid grid;
    grid.columns = columns;
    grid.rows = rows;
    grid.mapSize = 40.0f;
    grid.heightScale = 20.0f;
    grid.waterLevel = -1.0f;
    for (std::uint32_t i = 0; i < columns * rows; ++i) {
        grid.heights.push_back(2.0f * std::sin(static_cast<float>(i)));
        grid.blend.push_back(static_cast<std::uint8_t>(i * 29));
    }
    MapData map = BuildMapGeometry(grid);
    for (std::size_t i = 0; i < lists; ++i) {
        const Vec3 p{static_cast<float>(i), 0.0f, -static_cast<float>(i)};
        map.trees.push_back(p);
        map.rocks.push_back(p);
        map.flags.push_back(p);
        if (map.starts.size() < 8) {
            map.starts.push_back(p);
        }
    }
    for (std::vector<std::uint8_t>& image : map.groundImages) {
        image.assign(imageBytes, 0x42);
    }
    for (std::vector<std::uint8_t>& image : map.waterImages) {
        image.assign(imageBytes / 2, 0x24);
    }
    return map;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A copy of a map file's bytes with the f32 at offset replaced.
std::vector<std::uint8_t> WithFloatAt(std::vector<std::uint8_t> bytes, std::size_t offset, float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    return bytes;
}

// A small map whose ground images are a BMP and whose water frames a PNG.
MapData SeedWithPictures()
{
    MapData map = SeedMap(3, 3, 2, 0);
    const platform::RgbImage picture{2, 2, std::vector<std::uint8_t>(12, 0x80)};
    map.groundImages.fill(platform::EncodeBmp24(picture));
    map.waterImages.fill(platform::EncodePngRgb(picture));
    return map;
}

// Header offsets of the tree count, the map size and the height scale (MapFile.h).
constexpr std::size_t kTreeCountOffset = 20;
constexpr std::size_t kMapSizeOffset = 44;
constexpr std::size_t kHeightScaleOffset = 48;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_map_seeds <directory>\n");
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    const MapData seeds[] = {SeedMap(2, 2, 1, 8), SeedMap(3, 4, 3, 0), SeedMap(5, 5, 9, 16), SeedWithPictures()};
    int n = 0;
    std::vector<std::uint8_t> last;
    for (const MapData& seed : seeds) {
        last = WriteMapFile(seed);
        if (last.empty()) {
            std::fprintf(stderr, "fuzz_map_seeds: seed %d is not a valid map\n", n);
            return 1;
        }
        WriteFile(directory / ("seed" + std::to_string(n++) + ".kvm"), last);
    }
    // A map size of 3e38 overflowed the grid arithmetic to infinity before
    // the map size was bounded.
    WriteFile(directory / "huge-map-size.kvm", WithFloatAt(last, kMapSizeOffset, 3e38f));
    WriteFile(directory / "huge-height-scale.kvm", WithFloatAt(last, kHeightScaleOffset, 3e38f));
    // Two million trees once cost the game gigabytes before counts were bounded.
    std::vector<std::uint8_t> forest = last;
    constexpr std::uint32_t kForest = 2'000'000;
    for (std::size_t i = 0; i < 4; ++i) {
        forest[kTreeCountOffset + i] = static_cast<std::uint8_t>(kForest >> (8 * i));
    }
    WriteFile(directory / "huge-tree-count.kvm", forest);
    return 0;
}
