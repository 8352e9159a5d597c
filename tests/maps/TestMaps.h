// Small maps made in memory for the map tests.
#pragma once

#include "world/MapFile.h"
#include "world/Terrain.h"

#include <functional>

namespace testing {

// A columns x rows map of the given size whose ground height at (x, z) is
// height(x, z), with one tree, two starts, one flag and short images.
MapData SmallMap(std::uint32_t columns, std::uint32_t rows, float mapSize,
                 const std::function<float(float x, float z)>& height);

// SmallMap on flat ground at height y.
MapData FlatMap(std::uint32_t columns, std::uint32_t rows, float mapSize, float y);

// A terrain holding map (the test fails if it is refused).
Terrain LoadedTerrain(MapData map);

} // namespace testing
