#include "TestMaps.h"

#include "platform/MessageBox.h"
#include "render/MapBuilder.h"

#include <filesystem>
#include <fstream>

namespace testing {

MapData SmallMap(std::uint32_t columns, std::uint32_t rows, float mapSize,
                 const std::function<float(float x, float z)>& height)
{
    HeightGrid grid;
    grid.columns = columns;
    grid.rows = rows;
    grid.mapSize = mapSize;
    grid.heightScale = 60.0f;
    grid.waterLevel = -2.0f;
    for (std::uint32_t r = 0; r < rows; ++r) {
        for (std::uint32_t c = 0; c < columns; ++c) {
            const Vec3 p = GridPosition(columns, rows, mapSize, c, r, 0.0f);
            grid.heights.push_back(height(p.x, p.z));
            grid.blend.push_back(static_cast<std::uint8_t>((c * 37 + r * 11) & 0xFF));
        }
    }
    MapData map = BuildMapGeometry(grid);
    map.trees = {{1.0f, 2.0f, 3.0f}};
    map.starts = {{-4.0f, 0.0f, 4.0f}, {4.0f, 0.0f, -4.0f}};
    map.flags = {{0.0f, 0.0f, 0.0f}};
    for (std::size_t i = 0; i < map.groundImages.size(); ++i) {
        map.groundImages[i] = std::vector<std::uint8_t>(10, static_cast<std::uint8_t>(0x10 + i));
    }
    for (std::size_t i = 0; i < map.waterImages.size(); ++i) {
        map.waterImages[i] = std::vector<std::uint8_t>(5, static_cast<std::uint8_t>(0x20 + i));
    }
    return map;
}

MapData FlatMap(std::uint32_t columns, std::uint32_t rows, float mapSize, float y)
{
    return SmallMap(columns, rows, mapSize, [y](float, float) { return y; });
}

MessageCatcher::MessageCatcher()
{
    platform::SetMessageBoxSink([this](const std::string& text, const std::string& title) {
        messages_.push_back({text, title});
    });
}

MessageCatcher::~MessageCatcher()
{
    platform::SetMessageBoxSink(nullptr);
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    const std::filesystem::path p(path);
    if (p.has_parent_path()) {
        std::filesystem::create_directories(p.parent_path());
    }
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace testing
