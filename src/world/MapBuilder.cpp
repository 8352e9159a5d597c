// Map geometry from a height grid; see MapBuilder.h.
#include "world/MapBuilder.h"

#include "world/TerrainGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// Skirt texture u runs along each side in world units, so the four sides meet
// without a jump at the corners they share.
constexpr float kEdgeTexelUnits = 16.0f;

void BuildGround(const HeightGrid& grid, MapData& map)
{
    const std::uint32_t columns = grid.columns;
    const std::uint32_t rows = grid.rows;
    map.ground.resize(static_cast<std::size_t>(columns) * rows);
    for (std::uint32_t r = 0; r < rows; ++r) {
        for (std::uint32_t c = 0; c < columns; ++c) {
            const std::size_t i = static_cast<std::size_t>(r) * columns + c;
            MapGroundRecord& g = map.ground[i];
            g.position = GridPosition(columns, rows, grid.mapSize, c, r, i < grid.heights.size() ? grid.heights[i] : 0);
            g.u = grid.groundRepeats * static_cast<float>(c) / static_cast<float>(columns - 1);
            g.v = grid.groundRepeats * static_cast<float>(r) / static_cast<float>(rows - 1);
            const std::uint32_t alpha = i < grid.blend.size() ? grid.blend[i] : 0;
            g.colour = (alpha << 24) | 0x00FFFFFFu;
        }
    }
    const std::span<const MapGroundRecord> vertices(map.ground);
    for (std::uint32_t r = 0; r < rows; ++r) {
        for (std::uint32_t c = 0; c < columns; ++c) {
            map.ground[static_cast<std::size_t>(r) * columns + c].normal =
                terrain_grid::VertexNormal(vertices, columns, rows, c, r);
        }
    }
    map.indices.resize(6 * static_cast<std::size_t>(columns - 1) * (rows - 1));
    for (std::uint32_t r = 0; r + 1 < rows; ++r) {
        for (std::uint32_t c = 0; c + 1 < columns; ++c) {
            terrain_grid::WriteCellIndices(std::span<std::uint16_t>(map.indices), vertices, columns, c, r);
        }
    }
}

// One top/bottom pair of a skirt: top on the border vertex, bottom straight
// below it at the floor of the height range.
void SetEdgePair(MapData& map, std::uint32_t top, std::uint32_t bottom, const Vec3& border, const Vec3& normal,
                 float along)
{
    const float floor = -map.heightScale / 2.0f;
    const float u = along / kEdgeTexelUnits;
    map.edges[top] = {border, normal, u, terrain_grid::EdgeTopV(map.heightScale, border.y)};
    map.edges[bottom] = {{border.x, floor, border.z}, normal, u, 0.0f};
}

void BuildEdges(MapData& map)
{
    const std::uint32_t columns = map.columns;
    const std::uint32_t rows = map.rows;
    const float half = map.mapSize / 2.0f;
    map.edges.resize(4 * static_cast<std::size_t>(columns) + 4 * static_cast<std::size_t>(rows));
    const auto border = [&](std::uint32_t c, std::uint32_t r) { return map.ground[r * columns + c].position; };
    for (std::uint32_t c = 0; c < columns; ++c) {
        const Vec3 north = border(c, 0);
        const std::uint32_t top = terrain_grid::EdgeTopOfFirstRow(c);
        SetEdgePair(map, top, top + 1, north, {0, 0, 1}, north.x + half);
        const Vec3 south = border(c, rows - 1);
        const std::uint32_t southTop = terrain_grid::EdgeTopOfLastRow(columns, c);
        SetEdgePair(map, southTop, southTop + 1, south, {0, 0, -1}, half - south.x);
    }
    for (std::uint32_t r = 0; r < rows; ++r) {
        const Vec3 west = border(0, r);
        const std::uint32_t westTop = terrain_grid::EdgeTopOfFirstColumn(columns, r);
        SetEdgePair(map, westTop, westTop - 1, west, {-1, 0, 0}, half - west.z);
        const Vec3 east = border(columns - 1, r);
        const std::uint32_t eastTop = terrain_grid::EdgeTopOfLastColumn(columns, rows, r);
        SetEdgePair(map, eastTop, eastTop + 1, east, {1, 0, 0}, half - east.z);
    }
}

// Two triangles facing up: (-h, +h), (+h, +h), (-h, -h), (+h, -h) in x, z.
void BuildWater(const HeightGrid& grid, MapData& map)
{
    const float h = grid.mapSize / 2.0f;
    const float y = grid.waterLevel;
    const float t = grid.waterRepeats;
    const Vec3 up{0, 1, 0};
    map.water = {MapEdgeRecord{{-h, y, h}, up, 0, 0}, MapEdgeRecord{{h, y, h}, up, t, 0},
                 MapEdgeRecord{{-h, y, -h}, up, 0, t}, MapEdgeRecord{{h, y, -h}, up, t, t}};
}

} // namespace

Vec3 GridPosition(std::uint32_t columns, std::uint32_t rows, float mapSize, std::uint32_t c, std::uint32_t r, float y)
{
    const float h = mapSize / 2.0f;
    return {-h + static_cast<float>(c) * mapSize / static_cast<float>(columns - 1), y,
            h - static_cast<float>(r) * mapSize / static_cast<float>(rows - 1)};
}

MapData BuildMapGeometry(const HeightGrid& grid)
{
    MapData map;
    map.columns = grid.columns;
    map.rows = grid.rows;
    map.mapSize = grid.mapSize;
    map.heightScale = grid.heightScale;
    map.waterLevel = grid.waterLevel;
    if (grid.columns < 2 || grid.rows < 2) {
        return map;
    }
    BuildGround(grid, map);
    BuildEdges(map);
    BuildWater(grid, map);
    return map;
}

MapData MakeHeightFieldMap(float mapSize, std::uint32_t gridVertices,
                           const std::function<float(float x, float z)>& height, float waterLevel)
{
    HeightGrid grid;
    grid.columns = gridVertices;
    grid.rows = gridVertices;
    grid.mapSize = mapSize;
    grid.waterLevel = waterLevel;
    float reach = 0.0f;
    for (std::uint32_t r = 0; r < gridVertices; ++r) {
        for (std::uint32_t c = 0; c < gridVertices; ++c) {
            const Vec3 p = GridPosition(gridVertices, gridVertices, mapSize, c, r, 0.0f);
            grid.heights.push_back(height(p.x, p.z));
            reach = std::max(reach, std::fabs(grid.heights.back()));
        }
    }
    // The height range holds the ground with room below it for craters.
    grid.heightScale = 2.0f * reach + 40.0f;
    return BuildMapGeometry(grid);
}
