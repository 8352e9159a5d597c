// Builds the geometry sections of a map (ground vertices with normals, texture
// coordinates and blend, the indices, the edge skirts and the water quad) from
// a height grid, by the rules of TerrainGrid.h. The data generator makes the
// game's maps with it and tests make small maps with it; position lists and
// images are the caller's.
#pragma once

#include "world/MapData.h"

#include <cstdint>
#include <vector>

struct HeightGrid {
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    float mapSize = 0.0f;
    float heightScale = 0.0f;
    float waterLevel = 0.0f;
    std::vector<float> heights;      // columns x rows, row by row from the +z side
    std::vector<std::uint8_t> blend; // per vertex, 0 = ground layer 0, 255 = layer 1; empty = all 0
    float groundRepeats = 16.0f;     // ground texture tiles across the map
    float waterRepeats = 20.0f;      // water texture tiles across the map
};

// The grid position of vertex (c, r) on a map of size mapSize.
Vec3 GridPosition(std::uint32_t columns, std::uint32_t rows, float mapSize, std::uint32_t c, std::uint32_t r, float y);

// Empty lists and images; columns, rows and heights must agree (columns and
// rows at least 2), which the caller can check with ValidateMapData.
MapData BuildMapGeometry(const HeightGrid& grid);
