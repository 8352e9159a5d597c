// A map as held in memory: what a map file holds (MapFile.h has the file
// layout), before the terrain turns it into vertices for drawing.
#pragma once

#include "platform/math/Vector.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

inline constexpr std::uint32_t kMapMaxVertices = 65536; // the reach of a u16 index
inline constexpr std::uint32_t kMapMaxStarts = 8;       // the game's start slots
// Every tree, rock and flag becomes a body the physics steps and the world
// draws each frame. The game's own maps hold at most 75 trees, 65 rocks and
// 6 flags; these leave a wide margin above them while keeping a map's load
// and frames short.
inline constexpr std::uint32_t kMapMaxTrees = 1024;
inline constexpr std::uint32_t kMapMaxRocks = 1024;
inline constexpr std::uint32_t kMapMaxFlags = 64;
inline constexpr std::size_t kMapGroundImages = 3;
inline constexpr std::size_t kMapWaterFrames = 8;

struct MapGroundRecord {
    Vec3 position;
    Vec3 normal;
    float u = 0.0f;
    float v = 0.0f;
    std::uint32_t colour = 0; // only alpha is used: 0 shows layer 0, 255 layer 1
};

// The edge skirts and the water quad.
struct MapEdgeRecord {
    Vec3 position;
    Vec3 normal;
    float u = 0.0f;
    float v = 0.0f;
};

struct MapData {
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    float mapSize = 0.0f;
    float heightScale = 0.0f;
    float waterLevel = 0.0f;
    std::vector<Vec3> trees;
    std::vector<Vec3> rocks;
    std::vector<Vec3> starts;
    std::vector<Vec3> flags;
    std::vector<MapGroundRecord> ground;
    std::vector<std::uint16_t> indices;
    std::vector<MapEdgeRecord> edges;
    std::array<MapEdgeRecord, 4> water{};
    std::array<std::vector<std::uint8_t>, kMapGroundImages> groundImages;
    std::array<std::vector<std::uint8_t>, kMapWaterFrames> waterImages;
};

// A square map on a grid of gridVertices x gridVertices whose ground height
// at (x, z) is height(x, z): ground, skirts and water, with empty lists and
// images. Tests and tools stand bodies and cameras on it.
MapData MakeHeightFieldMap(float mapSize, std::uint32_t gridVertices,
                           const std::function<float(float x, float z)>& height, float waterLevel);
