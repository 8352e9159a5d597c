#include "TestMaps.h"

#include "world/MapBuilder.h"

#include <doctest/doctest.h>

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

Terrain LoadedTerrain(MapData map)
{
    Terrain terrain;
    REQUIRE(terrain.LoadFromData(std::move(map)));
    return terrain;
}

} // namespace testing
