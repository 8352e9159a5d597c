// The loaded map: height grid, ground layers, water and position lists, and
// the queries the rest of the game asks of the ground.
#pragma once

#include "platform/math/Vector.h"

#include <cstdint>

class Terrain {
public:
    Terrain() = default;

    // Ground height at (x, z); 0 outside the map or with no map loaded.
    float HeightAt(float x, float z) const;
    // Writes the blended ground normal at (x, z) into out; outside the map or
    // with no map loaded, out is left as it was.
    void NormalAt(float x, float z, Vec3& out) const;
    float GetMapSize() const;
    float GetWaterLevel() const;
};
